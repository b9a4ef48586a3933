#pragma once

#include "serial/clock.h"
#include "sim/linepacer.h"

#include <QByteArray>

#include <memory>

class SimulatedDevice;

// The line from the host to the device. Whatever the host hands over reaches
// the device one byte after another at the device's line rate, so a chunk is
// delivered when its last byte would have arrived. The in-process link and
// kv120-sim, whose pseudo-terminal takes a whole block packet at once, both
// carry the host's bytes this way.
class InboundLine {
public:
    InboundLine(SimulatedDevice& device, Clock& clock);
    InboundLine(const InboundLine&) = delete;
    InboundLine& operator=(const InboundLine&) = delete;

    void carry(const QByteArray& bytes);

private:
    SimulatedDevice& device_;
    Clock& clock_;
    LinePacer pacer_;
    // Lets deliveries still queued on the clock see that the line is gone.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};
