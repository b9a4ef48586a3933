#pragma once

#include "app/portwatch.h"
#include "backup/settingskeeper.h"
#include "gui/controller.h"
#include "gui/mainwindow.h"
#include "protocol/session.h"
#include "update/updater.h"

class Clock;
class Form;
class PortLister;
class Prompter;
class SerialLink;
class SerialSettingsStore;

// The window and everything behind its buttons, put together as the program
// does it: the Session over the port, the firmware Updater (whose timer runs
// from here on), the settings kept across an update, the port list following
// the cable, the MainWindow and the Controller. Tests build the same on a
// virtual clock or a fake port.
struct ProgramWindow {
    ProgramWindow(Form& form, SerialLink& link, Clock& clock, Prompter& prompter,
                  const SerialSettingsStore& store, const PortLister& ports,
                  const QString& backupFolder);

    // Keeps the window's choices in file and shows the ones kept there; the
    // adapter of the port each read stores is kept there too.
    void rememberChoicesIn(const QString& file);

    const PortLister& portLister;
    Session session;
    Updater updater;
    SettingsKeeper keeper;
    PortWatch portWatch;
    MainWindow window;
    Controller controller;
};
