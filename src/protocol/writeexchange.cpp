#include "protocol/writeexchange.h"

#include "app/form.h"
#include "app/prompter.h"
#include "protocol/exchange.h"
#include "protocol/fieldchecks.h"
#include "protocol/session.h"
#include "protocol/writesequence.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

namespace {

constexpr int kConfirmationSteps = 16;
constexpr int kConfirmationStepMs = 500;

void sendSkippingFailure(Session& session, const QByteArray& command) {
    try {
        session.link().write(command);
    } catch (const SerialError&) {
        // A command the closed port refuses is skipped: the write goes on and
        // reports the missing confirmation at its end.
    }
}

void reportFailure(Session& session) {
    session.form().appendText(Ctl::Text29, session.tr(Msg::WriteFail) + QStringLiteral("\r\n"));
}

void finish(Session& session) {
    session.form().setText(Ctl::Command7, session.tr(Msg::WriteButtonIdle));
    closePortIfOpen(session);
}

// Sends the commands and waits for the confirmation; the port is open.
void write(Session& session, const QList<WriteStep>& steps) {
    for (const WriteStep& step : steps) {
        sendSkippingFailure(session, step.command);
        if (step.pauseMs > 0) {
            session.waitOnPort(step.pauseMs);
        }
    }
    if (awaitAcknowledgement(session, AckFlag::FreqSave, kConfirmationSteps, kConfirmationStepMs)) {
        session.form().appendStatusLine(session.tr(Msg::WriteComplete));
    } else {
        reportFailure(session);
    }
    session.waitOnPort(100);
    finish(session);
}

void writeSteps(Session& session) {
    Form& form = session.form();
    session.flags().freqSaveSeen = false;
    form.setStatus(QString());
    form.setText(Ctl::Text30, QString());
    if (cancelledRunningExchange(session)) {
        return;
    }
    if (const auto refusal = writeRefusal(form)) {
        session.prompter().message(*refusal);
        return;
    }
    // What was checked is what is sent, whatever changes in the window meanwhile.
    const QList<WriteStep> steps = writeSequence(form);
    session.clock().delay(100);
    form.setText(Ctl::Command7, session.tr(Msg::WriteButtonWriting));
    form.setStatus(session.tr(Msg::WriteStatusWriting));
    try {
        session.openPort();
    } catch (const SerialError& error) {
        session.prompter().message(session.portFailureText(session.tr(Msg::PortIsOpenOrNo), error));
        reportFailure(session);
        finish(session);
        return;
    }
    write(session, steps);
}

}  // namespace

void writeExchange(Session& session) {
    runExchange(session, [&session] { writeSteps(session); });
}
