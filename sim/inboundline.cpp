#include "sim/inboundline.h"

#include "sim/simulateddevice.h"

InboundLine::InboundLine(SimulatedDevice& device, Clock& clock) : device_(device), clock_(clock) {}

void InboundLine::carry(const QByteArray& bytes) {
    const int arrivesInMs =
        pacer_.finishIn(clock_.nowMs(), 0, bytes.size(), device_.knobs().bytesPerSecond);
    clock_.post(arrivesInMs, [this, alive = std::weak_ptr<char>(alive_), bytes] {
        if (!alive.expired()) {
            device_.receive(bytes);
        }
    });
}
