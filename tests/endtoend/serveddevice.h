#pragma once

#include "serial/qtclock.h"
#include "sim/pseudoterminal.h"
#include "sim/simulateddevice.h"

#include <QFile>

#include <gtest/gtest.h>

// A simulated KV120 served on a pseudo-terminal in the test's own process,
// in real time: the program under test opens slavePath() as its serial port,
// so the whole real serial path (QSerialPort, the terminal driver) is used.
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
    PseudoTerminal terminal;
};

// A 64 KiB firmware image of varied bytes, written to path; what the device's
// flash holds after the update: the image padded with FF to whole blocks.
inline QByteArray writeImage(const QString& path) {
    QByteArray image(64 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(i * 13 + i / 4096);
    }
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    return image + QByteArray(2048, '\xFF');
}
