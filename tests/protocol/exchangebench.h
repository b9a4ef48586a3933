#pragma once

#include "app/form.h"
#include "protocol/session.h"
#include "serial/portlister.h"
#include "serial/qtseriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/portrouter.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"
#include "support/scriptedprompter.h"
#include "support/simcommands.h"

#include <QByteArrayList>
#include <QTemporaryDir>

// The window, in virtual time, talking to a simulated device through the same
// kind of link the program uses: the port selector names "SIM", any other
// name is a real port of this machine.
struct ExchangeBench {
    VirtualClock clock;
    SimulatedDevice device{clock};
    SimLink simLink{device, clock};
    QtSerialLink realLink;
    PortRouter link{realLink, simLink};
    Form form;
    ScriptedPrompter prompter;
    QTemporaryDir dir;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    Session session{form, link, clock, prompter, store};

    explicit ExchangeBench(Language language = Language::English) {
        form.setLanguage(language);
        form.setText(Ctl::Combo1, kSimPortName);
    }

    // Lets the bytes written last, already on their way, reach the device.
    void deliverPendingBytes() { clock.advance(0); }

    // The command lines the device received, without their line ends.
    QByteArrayList commands() const { return commandTexts(device); }

    // When each command line arrived, in virtual milliseconds.
    QList<quint32> commandTimes() const {
        QList<quint32> times;
        for (const SimCommand& command : device.receivedCommands()) {
            times << command.atMs;
        }
        return times;
    }

    // The milliseconds between one command's arrival and the next one's.
    QList<quint32> gaps() const {
        const QList<quint32> times = commandTimes();
        QList<quint32> between;
        for (qsizetype i = 1; i < times.size(); ++i) {
            between << times[i] - times[i - 1];
        }
        return between;
    }

    QByteArray bytesReceived() const { return receivedBytes(device.received()); }

    QString status() const { return form.text(Ctl::Text29); }
};
