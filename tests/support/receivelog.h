#pragma once

#include "sim/simulateddevice.h"

#include <QByteArray>
#include <QList>

// One chunk of bytes the device received, with the time its last byte arrived.
struct SimReceived {
    quint32 atMs;
    QByteArray bytes;
};

// One command line as the device received it, without its line end, with the
// time its last byte arrived.
struct SimCommand {
    quint32 atMs;
    QByteArray text;

    bool operator==(const SimCommand&) const = default;
};

// What a simulated device receives from the moment this is made.
struct ReceiveLog {
    explicit ReceiveLog(SimulatedDevice& device) {
        device.setReceiveWatcher([this](quint32 atMs, const QByteArray& bytes) {
            chunks.append({atMs, bytes});
        });
    }
    // Every byte received, in order.
    QByteArray bytes() const;
    // The bytes split into lines at CR and LF, empty lines left out (the
    // leading CR LF of some commands makes one). A last line without its line
    // end is included, so a command that lost its end shows up.
    QList<SimCommand> commands() const;

    QList<SimReceived> chunks;
};
