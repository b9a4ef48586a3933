#include "serial/portlister.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#include <map>

namespace {

bool opens(const QString& name) {
    QSerialPort port(name);
    if (!port.open(QIODevice::ReadWrite)) {
        return false;
    }
    port.close();
    return true;
}

}  // namespace

QList<PortInfo> offeredPorts(const PortLister& ports) {
    return ports.openablePorts() << PortInfo{kSimPortName, QStringLiteral("simulated KV120")};
}

QList<PortInfo> SystemPortLister::openablePorts() const {
    std::map<QString, QString> descriptions;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        descriptions[info.systemLocation()] = info.description();
    }
    QList<PortInfo> ports;
#ifdef Q_OS_WIN
    // The device's users know their port as a COM number: try them in order.
    for (int n = 1; n <= 16; ++n) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (opens(name)) {
            const auto found = descriptions.find(QStringLiteral("\\\\.\\") + name);
            ports.append({name, found == descriptions.end() ? QString() : found->second});
        }
    }
#else
    for (const auto& [path, description] : descriptions) {
        if (opens(path)) {
            ports.append({path, description});
        }
    }
#endif
    return ports;
}
