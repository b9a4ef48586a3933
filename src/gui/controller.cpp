#include "gui/controller.h"

#include "app/defaults.h"
#include "app/form.h"
#include "app/prompter.h"
#include "backup/settingskeeper.h"
#include "gui/mainwindow.h"
#include "protocol/readexchange.h"
#include "protocol/restart.h"
#include "protocol/session.h"
#include "protocol/wifiwrite.h"
#include "protocol/writewarnings.h"
#include "serial/clock.h"
#include "serial/seriallink.h"
#include "settingsfile/devicecompare.h"
#include "settingsfile/settingsfilebuttons.h"
#include "update/updater.h"

namespace {

// One line a setting, each filled in from format: name, expected, actual.
QString listed(const std::vector<SettingDifference>& differences, const QString& format) {
    QStringList lines;
    for (const SettingDifference& difference : differences) {
        lines << format.arg(difference.name, difference.expected, difference.actual);
    }
    return lines.join(u'\n');
}

// Counts an operation from its start to its end, however it ends.
class Running {
public:
    explicit Running(int& count) : count_(count) { ++count_; }
    ~Running() { --count_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

private:
    int& count_;
};

}  // namespace

Controller::Controller(Session& session, Updater& updater, SettingsKeeper& keeper,
                       MainWindow& window)
    : session_(session), updater_(updater), keeper_(keeper), window_(window) {
    connect(&window, &MainWindow::buttonClicked, this, &Controller::onButton);
    connect(&window, &MainWindow::compareClicked, this, &Controller::compare);
    connect(&window, &MainWindow::closing, this, &Controller::onClosing);
    window.setCloseGuard([this] { return mayClose(); });
    // The question about closing asks about the transfer; once that has
    // ended its answer would act on a state that is gone.
    updater_.setOnTransferEnd([this] {
        if (askingToClose_) {
            session_.prompter().withdrawQuestion();
        }
    });
}

bool Controller::isIdle() const {
    // The update locks the port list from its click to its end, the settings
    // it keeps written back.
    return running_ == 0 && !session_.link().isOpen() && session_.form().isEnabled(Ctl::Combo1);
}

void Controller::onButton(Ctl id) {
    const Running running(running_);
    switch (id) {
        case Ctl::Command6:
            readExchange(session_);
            break;
        case Ctl::Command7:
            // Only this write's confirmation counts, not one left from before
            // a write the user then declined.
            session_.flags().freqSaveSeen = false;
            confirmedWriteExchange(session_);
            if (window_.verifiesAfterWrite() && session_.flags().freqSaveSeen) {
                verifyWrite(session_);
            }
            break;
        case Ctl::Command0:
            fillDefaults(session_.form());
            break;
        case Ctl::Command4:
            loadSettingsFile(session_, dialogFileName_);
            break;
        case Ctl::Command5:
            saveSettingsFile(session_.form(), session_.prompter(), dialogFileName_);
            break;
        case Ctl::Command1:
            updater_.imageOpen();
            break;
        case Ctl::Command2:
            keeper_.updateClicked();
            break;
        case Ctl::Command8:
            wifiWrite(session_);
            break;
        case Ctl::Command9:
            restartDevice(session_);
            break;
        default:
            break;
    }
}

void Controller::compare() {
    const Running running(running_);
    const std::optional<DeviceComparison> comparison =
        compareWithDevice(session_, {{}, Msg::CompareCancelled});
    if (!comparison) {
        return;  // the read has said why
    }
    Form& window = session_.form();
    if (comparison->differences.empty()) {
        session_.prompter().message(session_.tr(Msg::CompareSame));
    } else if (session_.prompter().confirm(session_.tr(Msg::CompareDiffers)
                                               .arg(comparison->differences.size())
                                               .arg(listed(comparison->differences,
                                                           session_.tr(Msg::CompareDifference))))) {
        comparison->device.restoreSettings(window);
        // The window holds a device's settings, as after "Read data".
        window.setEnabled(Ctl::Command7, true);
    }
}

bool Controller::mayClose() {
    // Closing during a transfer leaves the device in its loader.
    if (!updater_.isTransferring()) {
        return true;
    }
    askingToClose_ = true;
    // Where the settings the update keeps are, for the run that finishes it.
    const QString kept = keeper_.pendingNote();
    const bool close = session_.prompter().confirm(session_.tr(Msg::CloseDuringUpdate) +
                                                   (kept.isEmpty() ? QString() : u'\n' + kept));
    askingToClose_ = false;
    // A question withdrawn when the transfer ended was answered No; the window
    // stays, showing how the update ended.
    return close;
}

void Controller::onClosing() {
    // An exchange waiting on the clock ends at once, before the window it
    // acts on goes away; the port is closed with every queued byte sent.
    session_.clock().abort();
    session_.link().close();
}
