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
#include "settingsfile/settingsfilebuttons.h"
#include "update/updater.h"

Controller::Controller(Session& session, Updater& updater, SettingsKeeper& keeper,
                       MainWindow& window)
    : session_(session), updater_(updater), keeper_(keeper) {
    connect(&window, &MainWindow::buttonClicked, this, &Controller::onButton);
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

void Controller::onButton(Ctl id) {
    switch (id) {
        case Ctl::Command6:
            readExchange(session_);
            break;
        case Ctl::Command7:
            confirmedWriteExchange(session_);
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

bool Controller::mayClose() {
    // Closing during a transfer leaves the device in its loader.
    if (!updater_.isTransferring()) {
        return true;
    }
    askingToClose_ = true;
    const bool close = session_.prompter().confirm(session_.tr(Msg::CloseDuringUpdate));
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
