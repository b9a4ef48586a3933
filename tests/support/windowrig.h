#pragma once

#include "app/controls.h"
#include "app/form.h"
#include "app/rememberedport.h"
#include "gui/programwindow.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/receivelog.h"
#include "support/scriptedprompter.h"

#include <QComboBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// What a test varies about the machine the window starts on.
struct Machine {
    int lcid = 1033;
    QList<PortInfo> ports{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("CP2102 USB to UART")},
                          {QStringLiteral("/dev/ttyACM0"), QString()}};
    QString storedPort = kSimPortName;  // empty: no RUVAdev.ini
    RememberedAdapter remembered{};     // in the window's choices file
};

// The program as it runs: start-up, the window and its controller, and the
// ports it opens (SIM is the simulated device at the wire's line rate), all
// on a virtual clock. Buttons are clicked as the user clicks them, so a
// disabled button does nothing.
class WindowRig {
public:
    explicit WindowRig(const Machine& machine = {});

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
    QString status() const { return form.text(Ctl::Text29); }
    QByteArray bytesReceived() const { return received.bytes(); }
    // Makes the bytes a file in the rig's folder; the file's path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    // The window's choices file.
    QString choicesFile() const { return choicesFileBeside(store_); }
    // Runs the clock in steps until done() or until limitMs have passed; true
    // when done() came first.
    bool runUntil(const std::function<bool()>& done, qint64 limitMs, int stepMs = 5);

private:
    QTemporaryDir dir_;
    SerialSettingsStore store_;

public:
    VirtualClock clock{5};
    ProgramPorts ports{clock};
    ReceiveLog received{ports.device};
    FakePortLister lister;
    ScriptedPrompter prompter;
    Form form;
    std::unique_ptr<ProgramWindow> program;
    MainWindow* window = nullptr;
};

// Picks an item the way a user does: opens the drop-down, moves to the item
// and presses Return.
void pickItem(QComboBox* box, const QString& item);
// The items a combo box's list holds, in order.
QStringList itemsOf(const QComboBox* box);
