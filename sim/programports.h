#pragma once

#include "serial/qtseriallink.h"
#include "sim/portrouter.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"

class Clock;

// The ports the window and kv120ctl open: the machine's serial ports, and
// SIM, a simulated KV120 running in the program itself on the program's clock
// at the line rate of the real wire.
struct ProgramPorts {
    explicit ProgramPorts(Clock& clock);

    QtSerialLink real;
    SimulatedDevice device;
    SimLink simulated;
    PortRouter link{real, simulated};
};
