#include "sim/simlink.h"

#include "serial/portlister.h"
#include "sim/simulateddevice.h"

SimLink::SimLink(SimulatedDevice& device, Clock& clock)
    : device_(device), name_(kSimPortName), line_(device, clock) {
    device_.setSender([this](const QByteArray& bytes) { fromDevice(bytes); });
    device_.setGoneHandler([this] { deviceGone(); });
}

SimLink::~SimLink() {
    device_.setSender({});
    device_.setGoneHandler({});
}

void SimLink::setPortName(const QString& name) {
    if (open_) {
        throw SerialError(SerialError::Kind::IsOpen);
    }
    name_ = name;
}

void SimLink::open() {
    if (open_) {
        throw SerialError(SerialError::Kind::IsOpen);
    }
    if (!device_.isPresent()) {
        throw SerialError(SerialError::Kind::NotFound);
    }
    if (busy_) {
        throw SerialError(SerialError::Kind::Busy);
    }
    open_ = true;
}

void SimLink::write(const QByteArray& bytes) {
    if (!open_) {
        throw SerialError(SerialError::Kind::NotOpen);
    }
    line_.carry(bytes);
}

void SimLink::fromDevice(const QByteArray& bytes) {
    if (open_) {
        deliver(bytes);
    }
}

void SimLink::deviceGone() {
    if (!open_) {
        return;
    }
    open_ = false;
    reportLoss();
}
