#pragma once

#include "app/controls.h"
#include "app/form.h"
#include "app/startup.h"
#include "gui/programwindow.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A port that only remembers whether it is open.
class FakeLink : public SerialLink {
public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override { open_ = true; }
    void close() override {
        open_ = false;
        ++closes;
    }
    bool isOpen() const override { return open_; }
    void write(const QByteArray&) override {}

    int closes = 0;

private:
    QString name_;
    bool open_ = false;
};

// What a test varies about the machine the window starts on.
struct Machine {
    int lcid = 1033;
    QList<PortInfo> ports{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("CP2102 USB to UART")},
                          {QStringLiteral("/dev/ttyACM0"), QString()}};
    QString storedPort;  // empty: no RUVAdev.ini
};

// Start-up on a scripted machine, then the window and its controller, as the
// program does it, on a virtual clock and a fake port.
class WindowFixture {
public:
    explicit WindowFixture(const Machine& machine = {})
        : store_(SerialSettingsStore::defaultPath(dir_.path())) {
        if (!machine.storedPort.isEmpty()) {
            store_.writeCommSet(machine.storedPort);
        }
        lister.ports = machine.ports;
        runStartup(form, {machine.lcid, store_, lister, prompter});
        program = std::make_unique<ProgramWindow>(form, link, clock, prompter, store_, lister,
                                                  dir_.filePath("backups"));
        window = &program->window;
        window->show();
    }

    // The one widget named as the control; fails the test when there is not
    // exactly one.
    template <class W = QWidget>
    W* widget(Ctl id) const {
        const QList<QWidget*> found = window->findChildren<QWidget*>(nameOf(id));
        EXPECT_EQ(found.size(), 1) << nameOf(id).toStdString();
        W* typed = found.isEmpty() ? nullptr : qobject_cast<W*>(found.first());
        EXPECT_NE(typed, nullptr) << nameOf(id).toStdString();
        return typed;
    }

    void click(Ctl button) const;
    // What a box shows, whichever kind of box it is.
    QString shown(Ctl box) const;

private:
    QTemporaryDir dir_;
    SerialSettingsStore store_;

public:
    FakePortLister lister;
    ScriptedPrompter prompter;
    Form form;
    VirtualClock clock;
    FakeLink link;
    std::unique_ptr<ProgramWindow> program;
    MainWindow* window = nullptr;
};

// Picks an item the way a user does: opens the drop-down, moves to the item
// and presses Return.
void pickItem(QComboBox* box, const QString& item);

// The items a combo box's list holds, in order.
QStringList itemsOf(const QComboBox* box);
