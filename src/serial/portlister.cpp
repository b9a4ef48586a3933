#include "serial/portlister.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
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

QString identityOfPort(const QString& name) {
    if (name == kSimPortName) {
        return name;
    }
    const QString path = QFileInfo(name).canonicalFilePath();
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName() == name || info.systemLocation() == name ||
            (!path.isEmpty() && info.systemLocation() == path)) {
            const QString identity = adapterIdentity(info);
            if (!identity.isEmpty()) {
                return identity;
            }
        }
    }
    return name;
}

bool isAdapterPort(const PortInfo& port) {
    return !port.identity.isEmpty() || port.watched;
}

QList<PortInfo> offeredPorts(const PortLister& ports, const QString& simulatedNote) {
    return ports.openablePorts() << PortInfo{kSimPortName, simulatedNote};
}

SystemPortLister::SystemPortLister(QStringList watchedPaths)
    : watchedPaths_(std::move(watchedPaths)) {}

QStringList SystemPortLister::watchedPathsFromEnvironment() {
    return qEnvironmentVariable(kWatchedPortsVariable)
        .split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

QList<PortInfo> SystemPortLister::presentPorts() const {
    // In the order of their names, as the system's own order varies.
    std::map<QString, PortInfo> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString name = info.portName();
#else
        const QString name = info.systemLocation();
#endif
        found[name] = {name, info.description(), adapterIdentity(info)};
    }
    QList<PortInfo> ports;
    for (const auto& [name, port] : found) {
        ports.append(port);
    }
    // A link to a terminal that is gone (kv120-sim killed) does not exist.
    for (const QString& path : watchedPaths_) {
        const QFileInfo file(path);
        if (file.exists()) {
            const QString target = file.canonicalFilePath();
            ports.append({path, target == file.absoluteFilePath() ? QString() : target, {}, true});
        }
    }
    return ports;
}

QList<PortInfo> SystemPortLister::openablePorts() const {
    const QList<PortInfo> present = presentPorts();
    QList<PortInfo> ports;
#ifdef Q_OS_WIN
    // The device's users know their port as a COM number: try them in order,
    // whether the system lists them or not.
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (opens(name)) {
            const auto listed = std::find_if(present.begin(), present.end(),
                                             [&name](const PortInfo& p) { return p.name == name; });
            ports.append(listed == present.end() ? PortInfo{name, {}} : *listed);
        }
    }
    for (const PortInfo& port : present) {
        if (port.watched && opens(port.name)) {
            ports.append(port);
        }
    }
#else
    for (const PortInfo& port : present) {
        if (opens(port.name)) {
            ports.append(port);
        }
    }
#endif
    return ports;
}
