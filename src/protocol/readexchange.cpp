#include "protocol/readexchange.h"

#include "app/devicesettings.h"
#include "app/form.h"
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
    for (const Ctl box : {ds::callsign, ds::comment, ds::passcode, ds::firmwareVersion,
                          ds::position, ds::sendInterval, ds::filter}) {
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

// One run of the read: the window it reports in, the Form the settings go
// into, and both as they were before it, to put back when it does not finish.
class Read {
public:
    Read(Session& session, const ReadPurpose& purpose)
        : session_(session),
          window_(session.form()),
          into_(session.settingsForm()),
          purpose_(purpose),
          settingsBefore_(into_),
          windowBefore_(window_) {}

    void run();

private:
    void showProgress(const QString& text) { window_.setStatus(purpose_.statusHead + text); }
    void connect();
    bool readSettings();
    void finish();
    void giveUp();
    void putBack();

    Session& session_;
    Form& window_;
    Form& into_;
    const ReadPurpose& purpose_;
    const SettingsSnapshot settingsBefore_;
    const SettingsSnapshot windowBefore_;
};

void Read::run() {
    session_.flags().readEndSeen = false;
    // A click that cancels leaves the settings and the status box as they
    // are: the exchange it cancels puts them back and says so.
    if (cancelledRunningExchange(session_)) {
        return;
    }
    blankSettings(into_);
    window_.setStatus(purpose_.statusHead);
    window_.setText(Ctl::Text30, QString());
    session_.flags().connectSeen = false;
    window_.setText(Ctl::Command6, session_.tr(Msg::ReadButtonReading));
    window_.setEnabled(Ctl::Command7, false);
    try {
        session_.clock().delay(100);
        session_.openPort();
        session_.storePort();
        connect();
        session_.flags().readEndSeen = false;
        if (readSettings()) {
            finish();
        } else {
            giveUp();
        }
    } catch (const SerialError& error) {
        closePortIfOpen(session_);
        putBack();
        window_.setText(Ctl::Command6, session_.tr(Msg::ReadButtonIdle));
        tellPortFailure(session_, error, purpose_.cancelled);
    }
}

// Asks for set-up mode until the device answers. The answer is looked for
// right after each request and before the wait, so a device that answers
// promptly is seen at the second attempt. A device that never answers is
// asked for its settings all the same.
void Read::connect() {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        showProgress(session_.tr(Msg::ConnectionAttempt).arg(attempt));
        session_.link().write(Commands::setup());
        if (session_.flags().connectSeen) {
            window_.setText(Ctl::Text3, session_.tr(Msg::ConnectionSuccessfulBox));
            window_.appendStatusLine(session_.tr(Msg::ConnectionSuccessful));
            return;
        }
        session_.waitOnPort(kAttemptMs);
    }
}

// Asks for the settings until "READ END"; true when it came. "Connection OK"
// heads the count only once the device has answered.
bool Read::readSettings() {
    const Msg progress =
        session_.flags().connectSeen ? Msg::ReadingAttempt : Msg::ReadingAttemptNotConnected;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        session_.link().write(Commands::read());
        session_.waitOnPort(kAttemptMs, [this] { return session_.flags().readEndSeen; });
        showProgress(session_.tr(progress).arg(attempt));
        if (session_.flags().readEndSeen) {
            return true;
        }
    }
    return false;
}

void Read::finish() {
    window_.appendStatusLine(session_.tr(Msg::ReadOk));
    if (&into_ == &window_) {
        window_.setEnabled(Ctl::Command7, true);
    } else {
        // The window's own settings did not change, nor does what may be done with them.
        windowBefore_.restoreEnabled(window_);
    }
    window_.setText(Ctl::Command6, session_.tr(Msg::ReadButtonIdle));
    closePortIfOpen(session_);
}

// The device sent no "READ END": a partial set of lines is no reading of the
// device, so the settings are put back as they were, edits included, and
// one line says why, naming the port.
void Read::giveUp() {
    session_.waitOnPort(500);
    closePortIfOpen(session_);
    putBack();
    window_.setText(Ctl::Command6, session_.tr(Msg::ReadButtonIdleEnglish));
    session_.receivePath().setReplyLine({});
    window_.appendOwnStatusLine(session_.deviceAnswered()
                                    ? session_.tr(Msg::ReadNoReadEnd).arg(window_.text(Ctl::Combo1))
                                    : session_.silentDeviceText());
}

void Read::putBack() {
    settingsBefore_.restoreSettings(into_);
    windowBefore_.restoreEnabled(window_);
}

}  // namespace

void readExchange(Session& session, const ReadPurpose& purpose) {
    runExchange(session, [&session, &purpose] { Read(session, purpose).run(); });
}
