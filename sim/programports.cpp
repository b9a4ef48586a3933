#include "sim/programports.h"

ProgramPorts::ProgramPorts(Clock& clock)
    : device(clock, SimKnobs{.bytesPerSecond = kLineRate115200}), simulated(device, clock) {}
