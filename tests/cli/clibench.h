#pragma once

#include "cli/clicontext.h"
#include "serial/portlister.h"
#include "serial/virtualclock.h"
#include "sim/receivelog.h"
#include "support/printers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// kv120ctl's context on a virtual clock, talking to the simulated device,
// with what it prints kept.
struct CliBench {
    CliBench() {
        context.out.setString(&out);
        context.err.setString(&err);
        context.form.setText(Ctl::Combo1, kSimPortName);
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QByteArray deviceReceived() const { return receivedBytes(context.ports.device.received()); }

    QTemporaryDir dir;
    VirtualClock clock;
    CliContext context{clock, dir.path(), Language::English};
    QString out;
    QString err;
};
