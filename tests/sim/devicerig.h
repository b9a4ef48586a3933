#pragma once

#include "serial/virtualclock.h"
#include "sim/receivelog.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"

// What AT+READ# gets from a device with the factory settings.
inline const QByteArray kFactoryRead =
    "CALLSIGN:NOCALL-10\r\nPASS:40663\r\nDHCP:1\r\nIP:192,168,1,99\r\nMASK:255,255,255,0\r\n"
    "GATE:192,168,1,1\r\nDNS:8,8,8,8\r\nPOSITION:!3035.00N/11417.00ErPHG1010\r\n"
    "COMMENT TEXT:KORVA 144.640MHz\r\nSERVER:china.aprs2.net\r\nSENT TIME:0600\r\n"
    "FILTER:b/KORVA\r\nBACKLIGHT:00\r\nFREQ:144.6400\r\nUNIT:1\r\nDIGI:1\r\nMOD:3\r\n"
    "PATH:1\r\nALIAS:3\r\nVER:KV120 V1.0\r\nREAD END\r\n";

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
