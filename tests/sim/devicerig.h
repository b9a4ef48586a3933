#pragma once

#include "serial/virtualclock.h"
#include "sim/receivelog.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"

// A simulated device on an open in-process link, in virtual time, with what
// the host heard kept chunk by chunk.
struct DeviceRig {
    explicit DeviceRig(SimKnobs knobs = {}) : device(clock, std::move(knobs)) {
        link.setReceiver([this](const QByteArray& bytes) { heard.append({clock.nowMs(), bytes}); });
        link.open();
    }

    // Writes bytes and lets waitMs of virtual time pass; what the host heard meanwhile.
    QByteArray exchange(const QByteArray& bytes, int waitMs = 1000) {
        heard.clear();
        link.write(bytes);
        clock.advance(waitMs);
        return receivedBytes(heard);
    }

    VirtualClock clock;
    SimulatedDevice device;
    SimLink link{device, clock};
    QList<SimReceived> heard;
};
