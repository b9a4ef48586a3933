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
#include "support/printers.h"
#include "support/receivelog.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"

#include <QByteArrayList>
#include <QTemporaryDir>

// The program's session on a virtual clock: its Form, a scripted prompter, a
// temporary folder that holds the remembered port and the test's files, and
// the port selector on SIM, the simulated device. Any other port name is a
// real port of this machine.
struct SessionRig {
    explicit SessionRig(SimKnobs knobs = {}, Language language = Language::English)
        : device(clock, std::move(knobs)) {
        form.setLanguage(language);
        form.setText(Ctl::Combo1, kSimPortName);
    }

    // Lets the bytes written last, already on their way, reach the device.
    void deliverPendingBytes() { clock.advance(0); }

    QString status() const { return form.text(Ctl::Text29); }

    // Makes the bytes a file in the rig's folder; the file's path.
    QString writeFile(const QString& name, const QByteArray& bytes) const {
        const QString path = dir.filePath(name);
        return writeBytes(path, bytes) ? path : QString();
    }

    QByteArray bytesReceived() const { return received.bytes(); }

    // The command lines the device received, without their line ends.
    QByteArrayList commands() const {
        QByteArrayList texts;
        for (const SimCommand& command : received.commands()) {
            texts << command.text;
        }
        return texts;
    }

    // When each command line arrived, in virtual milliseconds.
    QList<quint32> commandTimes() const {
        QList<quint32> times;
        for (const SimCommand& command : received.commands()) {
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

    VirtualClock clock;
    QTemporaryDir dir;
    Form form;
    ScriptedPrompter prompter;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    SimulatedDevice device;
    ReceiveLog received{device};
    SimLink simLink{device, clock};
    QtSerialLink realLink;
    PortRouter link{realLink, simLink};
    Session session{form, link, clock, prompter, store};
};
