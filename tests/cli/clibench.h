#pragma once

#include "cli/clicontext.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/programports.h"
#include "sim/receivelog.h"
#include "support/printers.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// kv120ctl's context on a virtual clock, talking to the simulated device on
// the port SIM, with what it prints kept.
struct CliBench {
    CliBench() {
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        context.form.setText(Ctl::Combo1, kSimPortName);
        context.backupFolder = dir.filePath(QStringLiteral("backups"));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray deviceReceived() const { return receivedBytes(ports.device.received()); }
    QString out() const { return QString::fromUtf8(outBuffer.data()); }
    QString err() {
        context.err.flush();
        return QString::fromUtf8(errBuffer.data());
    }
    void clearOut() {
        outBuffer.buffer().clear();
        outBuffer.seek(0);
    }

    QTemporaryDir dir;
    VirtualClock clock;
    ProgramPorts ports{clock};
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    QBuffer outBuffer;
    QBuffer errBuffer;
    CliContext context{clock, ports.link, store, Language::English, outBuffer, errBuffer};
};
