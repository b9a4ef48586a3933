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

private:
    void onButton(Ctl id);
    bool mayClose();
    void onClosing();

    Session& session_;
    Updater& updater_;
    SettingsKeeper& keeper_;
    // The window's one file dialog starts with the name last chosen in it.
    QString dialogFileName_;
    // The question whether to close during a transfer is open.
    bool askingToClose_ = false;
};
