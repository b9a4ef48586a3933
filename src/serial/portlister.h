#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The built-in simulated device, listed after the real ports.
inline const QString kSimPortName = QStringLiteral("SIM");

// Paths, separated as PATH is, that are listed as ports whenever they exist.
// The system lists no pseudo-terminal, so a kv120-sim started with --link
// shows up, and goes away, as an adapter plugged in and pulled out.
inline constexpr char kWatchedPortsVariable[] = "KV120_WATCHED_PORTS";

struct PortInfo {
    QString name;         // what the port selector shows and the link opens
    QString description;  // the adapter's product name, when the system reports one
    // What names the adapter whatever path it gets: its serial number, else
    // its vendor and product with its place on the bus; empty when the
    // system tells nothing of it (a pseudo-terminal, a built-in port).
    QString identity{};
    // Named in KV120_WATCHED_PORTS: it stands in for a plugged-in adapter.
    bool watched = false;

    friend bool operator==(const PortInfo&, const PortInfo&) = default;
};

// What tells one port from another across runs: the adapter's identity when
// the system reports one, else the port's name.
QString portIdentity(const QList<PortInfo>& ports, const QString& name);

// The same for the port named now, asking the system without opening any
// port: the identity of the adapter the name leads to (a link such as
// /dev/serial/by-id/... leads to its adapter), else the name.
QString identityOfPort(const QString& name);

// A port with an adapter behind it (a USB serial adapter, or a watched path):
// where a KV120 may be plugged in, unlike a computer's built-in port.
bool isAdapterPort(const PortInfo& port);

// Finds the serial ports of the machine.
class PortLister {
public:
    virtual ~PortLister() = default;
    // The ports that can be opened now; each one is opened to find out.
    virtual QList<PortInfo> openablePorts() const = 0;
    // The ports the system reports now, none of them opened: cheap enough to
    // ask every second, and nothing reaches any device (opening a port
    // raises its DTR line, which resets some boards).
    virtual QList<PortInfo> presentPorts() const = 0;
};

// The ports offered to the user: those that open now and, last, the
// simulated device, described as simulatedNote says.
QList<PortInfo> offeredPorts(const PortLister& ports, const QString& simulatedNote);

// The ports of this machine: "COM1" to "COM16" on Windows, device paths
// elsewhere, and the watched paths that exist.
class SystemPortLister : public PortLister {
public:
    explicit SystemPortLister(QStringList watchedPaths = watchedPathsFromEnvironment());

    QList<PortInfo> openablePorts() const override;
    QList<PortInfo> presentPorts() const override;

    static QStringList watchedPathsFromEnvironment();

private:
    QStringList watchedPaths_;
};
