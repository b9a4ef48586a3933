#pragma once

#include "app/controls.h"

#include <QObject>
#include <QString>

class MainWindow;
class Session;
class SettingsKeeper;
class Updater;

// What the window's buttons do, and what happens when it closes. Each button
// runs its operation on the Session; an operation that waits lets further
// clicks run inside its wait, which is how a second click cancels. "update"
// goes through the keeper, which keeps the device's settings across it.
class Controller : public QObject {
    Q_OBJECT
public:
    Controller(Session& session, Updater& updater, SettingsKeeper& keeper, MainWindow& window);

    // No button's operation runs (its questions included), no update holds
    // the window and the port is closed: the port in use may change.
    bool isIdle() const;

private:
    // Runs the button's operation; a write that completed is then read back
    // and compared when "Verify after write" is ticked.
    void onButton(Ctl id);
    // Compares the window with the device, changing nothing unless the user
    // asks to see the device's settings.
    void compare();
    bool mayClose();
    void onClosing();

    Session& session_;
    Updater& updater_;
    SettingsKeeper& keeper_;
    MainWindow& window_;
    // The window's one file dialog starts with the name last chosen in it.
    QString dialogFileName_;
    // The question whether to close during a transfer is open.
    bool askingToClose_ = false;
    // Operations running, one inside another's wait included.
    int running_ = 0;
};
