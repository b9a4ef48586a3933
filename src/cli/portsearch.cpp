#include "cli/portsearch.h"

#include "cli/clicontext.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "serial/portlister.h"
#include "serial/seriallink.h"

namespace {

constexpr int kProbeAttempts = 3;
constexpr int kProbeAttemptMs = 1000;

QString portLine(const PortInfo& port) {
    return port.name + u'\t' + port.description + u'\t' + port.identity;
}

// True when the device on the port answered the set-up request. A port that
// does not open is told about on standard error and counts as no answer.
bool answersAsKv120(CliContext& context, const QString& port) {
    Session& session = context.session;
    context.form.setText(Ctl::Combo1, port);
    context.err << session.tr(Msg::Probing).arg(port) << Qt::endl;
    session.flags().connectSeen = false;
    try {
        session.openPort();
        for (int attempt = 0; attempt < kProbeAttempts && !session.flags().connectSeen; ++attempt) {
            session.link().write(Commands::setup());
            session.waitOnPort(kProbeAttemptMs, [&session] { return session.flags().connectSeen; });
        }
    } catch (const SerialError& error) {
        context.err << session.portFailureText(session.tr(Msg::ProbeNotOpened).arg(port), error)
                    << Qt::endl;
    }
    closePortIfOpen(session);
    return session.flags().connectSeen;
}

}  // namespace

int listPorts(CliContext& context, const PortLister& ports, bool probe) {
    const QList<PortInfo> offered =
        offeredPorts(ports, context.session.tr(Msg::SimulatedDeviceNote));
    if (probe) {
        context.deviceWorkStarts();
    }
    QByteArray list;
    for (const PortInfo& port : offered) {
        QString line = portLine(port);
        if (probe) {
            line += u'\t';
            if (isAdapterPort(port) && answersAsKv120(context, port.name)) {
                line += QStringLiteral("KV120");
            }
        }
        list += (line + u'\n').toUtf8();
    }
    return context.writeData({}, list) ? kSucceeded : kFailed;
}

QString onlyAdapterPort(CliContext& context, const PortLister& ports) {
    QList<PortInfo> adapters;
    for (const PortInfo& port : ports.presentPorts()) {
        if (isAdapterPort(port)) {
            adapters.append(port);
        }
    }
    if (adapters.size() == 1) {
        return adapters.first().name;
    }
    context.err << "kv120ctl: "
                << context.session.tr(adapters.isEmpty() ? Msg::AutoPortNone : Msg::AutoPortSeveral)
                << Qt::endl;
    for (const PortInfo& port : adapters) {
        context.err << portLine(port) << Qt::endl;
    }
    return {};
}
