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

// Sends the commands and waits for the confirmation; the port is open.
void write(Session& session, const QList<WriteStep>& steps) {
    for (const WriteStep& step : steps) {
        session.link().write(step.command);
        if (step.pauseMs > 0) {
            session.waitOnPort(step.pauseMs);
        }
    }
    if (awaitAcknowledgement(session, AckFlag::FreqSave, kConfirmationSteps, kConfirmationStepMs)) {
        session.form().appendStatusLine(session.tr(Msg::WriteComplete));
    } else {
        session.form().appendOwnStatusLine(session.tr(Msg::WriteFail));
        // A device that sent nothing at all is named, with what to check.
        if (!session.deviceAnswered()) {
            session.form().appendOwnStatusLine(session.silentDeviceText());
        }
    }
    session.waitOnPort(100);
}

void writeSteps(Session& session) {
    Form& form = session.form();
    // A click that cancels leaves the status box to the exchange it cancels.
    if (cancelledRunningExchange(session)) {
        return;
    }
    session.flags().freqSaveSeen = false;
    form.setStatus(QString());
    form.setText(Ctl::Text30, QString());
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
        write(session, steps);
    } catch (const SerialError& error) {
        if (error.kind() != SerialError::Kind::NotOpen) {
            // The message box tells what became of the write; the status
            // box no longer says it is under way.
            form.setStatus(QString());
        }
        tellPortFailure(session, error, Msg::WriteCancelled);
    }
    form.setText(Ctl::Command7, session.tr(Msg::WriteButtonIdle));
    closePortIfOpen(session);
}

}  // namespace

void writeExchange(Session& session) {
    runExchange(session, [&session] { writeSteps(session); });
}
