#pragma once

#include <QList>
#include <QString>

// The built-in simulated device, listed after the real ports.
inline const QString kSimPortName = QStringLiteral("SIM");

struct PortInfo {
    QString name;         // what the port selector shows and the link opens
    QString description;  // the adapter's product name, when the system reports one
    // What names the adapter whatever path it gets: its serial number, else
    // its vendor and product with its place on the bus; empty when the
    // system tells nothing of it (a pseudo-terminal, a built-in port).
    QString identity{};
};

// What tells one port from another across runs: the adapter's identity when
// the system reports one, else the port's name.
QString portIdentity(const QList<PortInfo>& ports, const QString& name);

// Finds the serial ports that can be opened now.
class PortLister {
public:
    virtual ~PortLister() = default;
    virtual QList<PortInfo> openablePorts() const = 0;
};

// The ports offered to the user: those that open now and, last, the
// simulated device, described as simulatedNote says.
QList<PortInfo> offeredPorts(const PortLister& ports, const QString& simulatedNote);

// The ports of this machine: "COM1" to "COM16" on Windows, device paths
// elsewhere; each is tried and listed only when it opens.
class SystemPortLister : public PortLister {
public:
    QList<PortInfo> openablePorts() const override;
};
