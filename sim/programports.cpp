#include "sim/programports.h"

namespace {

// 115200 baud, 8N1: ten bits on the wire per byte.
SimKnobs wireSpeed() {
    SimKnobs knobs;
    knobs.bytesPerSecond = 11520;
    return knobs;
}

}  // namespace

ProgramPorts::ProgramPorts(Clock& clock) : device(clock, wireSpeed()), simulated(device, clock) {}
