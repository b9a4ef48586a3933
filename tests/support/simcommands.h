#pragma once

#include "sim/simulateddevice.h"

#include <QByteArrayList>

// The command lines the simulated device received, without their line ends.
inline QByteArrayList commandTexts(const SimulatedDevice& device) {
    QByteArrayList texts;
    for (const SimCommand& command : device.receivedCommands()) {
        texts << command.text;
    }
    return texts;
}
