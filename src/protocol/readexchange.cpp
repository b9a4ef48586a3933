#include "protocol/readexchange.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "app/settingssnapshot.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "protocol/session.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

namespace {

namespace ds = DeviceSettings;

constexpr int kAttempts = 20;
constexpr int kAttemptMs = 1000;

void blankSettings(Form& form) {
    for (const Ctl box : {Ctl::Text29, Ctl::Text30, ds::callsign, ds::comment, ds::passcode,
                          ds::firmwareVersion, ds::position, ds::sendInterval, ds::filter}) {
        form.setText(box, QString());
    }
    for (const Ctl box : ds::addressBoxes) {
        form.setText(box, QString());
    }
    for (const Ctl box : {ds::frequency, ds::modulation, ds::txPath, ds::digiAlias}) {
        form.setText(box, QString());
    }
    for (const Ctl combo :
         {ds::addressMode, ds::server, ds::distanceUnit, ds::callSsid, ds::backlight}) {
        form.setText(combo, QStringLiteral(" "));
    }
    form.setValue(ds::digipeat, 0);
}

bool isCancelled(Session& session) {
    return session.form().text(Ctl::Command6) == session.tr(Msg::ReadButtonPortOpen);
}

// Asks for set-up mode until the device answers. The answer is looked for
// right after each request and before the wait, so a device that answers
// promptly is seen at the second attempt. A device that never answers is
// asked for its settings all the same.
void connect(Session& session) {
    Form& form = session.form();
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        form.setStatus(session.tr(Msg::ConnectionAttempt).arg(attempt));
        if (session.link().isOpen()) {
            session.link().write(Commands::setup());
        }
        if (isCancelled(session)) {
            form.setText(Ctl::Text3, session.tr(Msg::TestFail));
            closePortIfOpen(session);
            return;
        }
        if (session.flags().connectSeen) {
            form.setText(Ctl::Text3, session.tr(Msg::ConnectionSuccessfulBox));
            form.appendStatusLine(session.tr(Msg::ConnectionSuccessful));
            return;
        }
        session.waitOnPort(kAttemptMs);
    }
}

// Asks for the settings until "READ END"; true when it came.
bool readSettings(Session& session) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        session.link().write(Commands::read());
        session.waitOnPort(kAttemptMs, [&session] { return session.flags().readEndSeen; });
        session.form().setStatus(session.tr(Msg::ReadingAttempt).arg(attempt));
        if (session.flags().readEndSeen) {
            return true;
        }
    }
    return false;
}

void finishRead(Session& session) {
    Form& form = session.form();
    form.appendStatusLine(session.tr(Msg::ReadOk));
    form.setEnabled(Ctl::Command7, true);
    form.setText(Ctl::Command6, session.tr(Msg::ReadButtonIdle));
    closePortIfOpen(session);
}

// The device sent no "READ END": a partial set of lines is no reading of the
// device, so the window shows again what the user had, edits included. No
// failure is reported, as users of the device have always seen it.
void giveUp(Session& session, const SettingsSnapshot& before) {
    session.waitOnPort(500);
    closePortIfOpen(session);
    before.restore(session.form());
    session.form().setText(Ctl::Command6, session.tr(Msg::ReadButtonIdleEnglish));
    session.receivePath().setReplyLine({});
}

void fail(Session& session, const SettingsSnapshot& before, const SerialError& error) {
    closePortIfOpen(session);
    before.restore(session.form());
    session.form().setText(Ctl::Command6, session.tr(Msg::ReadButtonIdle));
    session.prompter().message(session.portFailureText(session.tr(Msg::PortIsOpenOrNo), error));
}

void readSteps(Session& session) {
    Form& form = session.form();
    const SettingsSnapshot before(form);
    blankSettings(form);
    session.flags().connectSeen = false;
    session.flags().readEndSeen = false;
    if (session.link().isOpen()) {
        // A cancel leaves the settings as they were: it puts back what the
        // read cleared, before the cancel makes "Write data" usable (the
        // snapshot would disable it again).
        before.restore(form);
        cancelledRunningExchange(session);
        return;
    }
    form.setText(Ctl::Command6, session.tr(Msg::ReadButtonReading));
    form.setEnabled(Ctl::Command7, false);
    try {
        session.clock().delay(100);
        session.openPort();
        session.storePort();
        connect(session);
        session.flags().readEndSeen = false;
        if (readSettings(session)) {
            finishRead(session);
        } else {
            giveUp(session, before);
        }
    } catch (const SerialError& error) {
        fail(session, before, error);
    }
}

}  // namespace

void readExchange(Session& session) {
    runExchange(session, [&session] { readSteps(session); });
}
