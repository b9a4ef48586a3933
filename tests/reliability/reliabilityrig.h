#pragma once

#include "app/controls.h"
#include "app/defaults.h"
#include "app/form.h"
#include "app/startup.h"
#include "gui/programwindow.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"

#include <QByteArray>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The program as it runs: start-up, the window and its controller, the ports
// it opens (SIM is the simulated device at the wire's line rate), all on a
// virtual clock. Buttons are clicked as the user clicks them, so a disabled
// button does nothing.
class ReliabilityRig {
public:
    // Three blocks, the last one padded.
    static QByteArray imageFile() { return patternBytes(5000); }

    ReliabilityRig() : store_(SerialSettingsStore::defaultPath(dir_.path())) {
        store_.writeCommSet(kSimPortName);
        runStartup(form, {1033, store_, lister, prompter});
        program = std::make_unique<ProgramWindow>(form, ports.link, clock, prompter, store_, lister,
                                                  dir_.filePath(QStringLiteral("backups")));
        session = &program->session;
        updater = &program->updater;
        keeper = &program->keeper;
        window = &program->window;
        controller = &program->controller;
        window->show();
        fillDefaults(form);
        form.setText(Ctl::Text34, QStringLiteral("home"));
        form.setText(Ctl::Text33, QStringLiteral("secret"));
        settingsFile = writeFile(QStringLiteral("saved.txt"), kSavedSettings);
        prompter.files.push_back(writeFile(QStringLiteral("image.bin"), imageFile()));
        click(Ctl::Command1);
    }

    void click(Ctl button) { window->findChild<QPushButton*>(nameOf(button))->click(); }

    // Runs the clock in steps until done() or until limitMs have passed; true
    // when done() came first.
    bool runUntil(const std::function<bool()>& done, qint64 limitMs, int stepMs = 5) {
        const qint64 end = clock.elapsedMs() + limitMs;
        while (!done()) {
            if (clock.elapsedMs() >= end) {
                return false;
            }
            clock.advance(stepMs);
        }
        return true;
    }

    static inline const QByteArray kSavedSettings = "CALLSIGN:NOCALL-10\r\nPASS:40663\r\n";

private:
    QString writeFile(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(writeBytes(path, bytes)) << path.toStdString();
        return path;
    }

    QTemporaryDir dir_;
    SerialSettingsStore store_;

public:
    VirtualClock clock{5};
    ProgramPorts ports{clock};
    FakePortLister lister;
    ScriptedPrompter prompter;
    Form form;
    QString settingsFile;
    std::unique_ptr<ProgramWindow> program;
    Session* session = nullptr;
    Updater* updater = nullptr;
    SettingsKeeper* keeper = nullptr;
    MainWindow* window = nullptr;
    Controller* controller = nullptr;
};
