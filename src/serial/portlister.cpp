#include "serial/portlister.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <map>

namespace {

// Where the adapter is plugged in: the USB port path ("1-1.2"), which stays
// when the system hands out its device names in another order.
QString usbLocation(const QSerialPortInfo& info) {
#ifdef Q_OS_LINUX
    const QString device =
        QFileInfo(QStringLiteral("/sys/class/tty/%1/device").arg(info.portName()))
            .canonicalFilePath();
    static const QRegularExpression usbPort(QStringLiteral("/(\\d+-[\\d.]+)(?=:|/|$)"));
    QString location;
    for (auto match = usbPort.globalMatch(device); match.hasNext();) {
        location = match.next().captured(1);
    }
    if (!location.isEmpty()) {
        return location;
    }
#endif
    return info.portName();
}

QString adapterIdentity(const QSerialPortInfo& info) {
    if (!info.serialNumber().isEmpty()) {
        return QStringLiteral("serial:") + info.serialNumber();
    }
    if (!info.hasVendorIdentifier()) {
        return {};
    }
    // Two adapters of one make without serial numbers differ only in where
    // they are plugged in.
    return QStringLiteral("usb:%1:%2@%3")
        .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'))
        .arg(usbLocation(info));
}

bool opens(const QString& name) {
    QSerialPort port(name);
    if (!port.open(QIODevice::ReadWrite)) {
        return false;
    }
    port.close();
    return true;
}

}  // namespace

QString portIdentity(const QList<PortInfo>& ports, const QString& name) {
    for (const PortInfo& port : ports) {
        if (port.name == name && !port.identity.isEmpty()) {
            return port.identity;
        }
    }
    return name;
}

QList<PortInfo> offeredPorts(const PortLister& ports, const QString& simulatedNote) {
    return ports.openablePorts() << PortInfo{kSimPortName, simulatedNote};
}

QList<PortInfo> SystemPortLister::openablePorts() const {
    std::map<QString, QSerialPortInfo> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        found[info.systemLocation()] = info;
    }
    QList<PortInfo> ports;
#ifdef Q_OS_WIN
    // The device's users know their port as a COM number: try them in order.
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (opens(name)) {
            const auto info = found.find(QStringLiteral("\\\\.\\") + name);
            ports.append(info == found.end() ? PortInfo{name, {}, {}}
                                             : PortInfo{name, info->second.description(),
                                                        adapterIdentity(info->second)});
        }
    }
#else
    for (const auto& [path, info] : found) {
        if (opens(path)) {
            ports.append({path, info.description(), adapterIdentity(info)});
        }
    }
#endif
    return ports;
}
