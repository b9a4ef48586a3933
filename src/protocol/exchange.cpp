#include "protocol/exchange.h"

#include "app/form.h"
#include "protocol/session.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

void runExchange(Session& session, const std::function<void()>& steps) {
    try {
        steps();
    } catch (const ExchangeAborted&) {
        // The window is closing: the only thing left to do is let go of the port.
        closePortIfOpen(session);
    }
}

bool cancelledRunningExchange(Session& session) {
    if (!session.link().isOpen()) {
        return false;
    }
    session.form().setText(Ctl::Command6, session.tr(Msg::ReadButtonPortOpen));
    session.link().close();
    session.form().setEnabled(Ctl::Command7, true);
    return true;
}

void closePortIfOpen(Session& session) {
    if (session.link().isOpen()) {
        session.link().close();
    }
}

bool awaitAcknowledgement(Session& session, AckFlag flag, int steps, int stepMs) {
    const auto arrived = [&session, flag] { return session.flags()[flag]; };
    for (int step = 0; step < steps; ++step) {
        session.waitOnPort(stepMs, arrived);
        if (arrived()) {
            return true;
        }
    }
    return false;
}
