#include "protocol/wifiwrite.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "protocol/fieldchecks.h"
#include "protocol/session.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

namespace {

namespace ds = DeviceSettings;

constexpr int kConfirmationSteps = 16;
constexpr int kConfirmationStepMs = 800;

void appendStatus(Session& session, const QString& line) {
    session.form().appendText(Ctl::Text29, line + QStringLiteral("\r\n"));
}

// The first pause runs its whole length whatever the device says: a device
// may print its confirmation before its flash write has finished, and
// "REBOOT#" must not cut that write short. The later pauses end at the
// confirmation, so a slow device is restarted as soon as it has answered.
bool awaitConfirmation(Session& session) {
    session.waitOnPort(kConfirmationStepMs);
    return session.flags().wifiWriteSeen ||
           awaitAcknowledgement(session, AckFlag::WifiWrite, kConfirmationSteps - 1,
                                kConfirmationStepMs);
}

// The port is open.
void sendCredentials(Session& session) {
    Form& form = session.form();
    // Only a confirmation of this write counts, not one left from earlier.
    session.flags().wifiWriteSeen = false;
    session.link().write(Commands::wifi(form.text(ds::wifiSsid), form.text(ds::wifiPassword)));
    form.setStatus(session.tr(Msg::WifiWriting) + QStringLiteral("\r\n"));
    const bool confirmed = awaitConfirmation(session);
    session.flags().wifiWriteSeen = false;
    if (confirmed) {
        appendStatus(session, session.tr(Msg::WifiWriteComplete));
        session.link().write(Commands::reboot());
        appendStatus(session, session.tr(Msg::WifiReset));
    } else {
        appendStatus(session, session.tr(Msg::WifiWriteFail));
        // A device that sent nothing at all is named, with what to check.
        if (!session.deviceAnswered()) {
            form.appendOwnStatusLine(session.silentDeviceText());
        }
    }
}

void wifiSteps(Session& session) {
    Form& form = session.form();
    if (cancelledRunningExchange(session)) {
        return;
    }
    if (const auto refusal = wifiWriteRefusal(form)) {
        session.prompter().message(*refusal);
        return;
    }
    // The device takes an empty name as no network at all, and restarts on it.
    if (form.text(ds::wifiSsid).isEmpty() &&
        !session.prompter().confirm(session.tr(Msg::WifiNameEmptyQuestion))) {
        return;
    }
    form.setText(Ctl::Command8, session.tr(Msg::WifiButtonWriting));
    try {
        session.openPort();
        session.waitOnPort(200);
        sendCredentials(session);
    } catch (const SerialError& error) {
        tellPortFailure(session, error, Msg::WifiCancelled);
    }
    closePortIfOpen(session);
    form.setText(Ctl::Command8, session.tr(Msg::WifiButtonIdle));
}

}  // namespace

void wifiWrite(Session& session) {
    runExchange(session, [&session] { wifiSteps(session); });
}
