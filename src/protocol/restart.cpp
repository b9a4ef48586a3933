#include "protocol/restart.h"

#include "app/form.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "protocol/session.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

namespace {

void restartSteps(Session& session) {
    if (cancelledRunningExchange(session)) {
        return;
    }
    session.clock().delay(100);
    try {
        session.openPort();
        session.link().write(Commands::reboot());
        session.waitOnPort(500);
        session.link().write(Commands::reboot());
        session.link().close();
    } catch (const SerialError& error) {
        closePortIfOpen(session);
        tellPortFailure(session, error, Msg::RestartCancelled);
    }
    session.form().setText(Ctl::Command9, session.tr(Msg::RestartButtonIdle));
}

}  // namespace

void restartDevice(Session& session) {
    runExchange(session, [&session] { restartSteps(session); });
}
