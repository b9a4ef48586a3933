#include "protocol/exchange.h"

#include "app/form.h"
#include "app/prompter.h"
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

void tellPortFailure(Session& session, const SerialError& error, Msg cancelled, Msg headline) {
    if (error.kind() != SerialError::Kind::NotOpen) {
        session.prompter().message(session.portFailureText(session.tr(headline), error));
    } else if (!session.portLost()) {
        session.form().appendOwnStatusLine(session.tr(cancelled));
    }
}
