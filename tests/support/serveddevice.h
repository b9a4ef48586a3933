#pragma once

#include "serial/qtclock.h"
#include "sim/pseudoterminal.h"
#include "sim/simulateddevice.h"
#include "support/receivelog.h"

// A simulated KV120 served on a pseudo-terminal in the test's own process,
// in real time: the program under test opens path() as its serial port, so
// the whole real serial path (QSerialPort, the terminal driver) is used.
struct ServedDevice {
    explicit ServedDevice(SimKnobs knobs = {.bytesPerSecond = kLineRate115200})
        : device(clock, knobs) {
        terminal.open();
        terminal.setReceiver([this](const QByteArray& bytes) { device.receive(bytes); });
        device.setSender([this](const QByteArray& bytes) { terminal.write(bytes); });
    }

    QString path() const { return terminal.slavePath(); }

    QtClock clock;
    SimulatedDevice device;
    ReceiveLog received{device};
    PseudoTerminal terminal;
};
