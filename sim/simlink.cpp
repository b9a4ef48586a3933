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
        throw SerialError(SerialError::Kind::IsOpen, QStringLiteral("the port is open"));
    }
    name_ = name;
}

void SimLink::open() {
    if (open_) {
        throw SerialError(SerialError::Kind::IsOpen, QStringLiteral("the port is open"));
    }
    if (!device_.isPresent()) {
        throw SerialError(SerialError::Kind::NotFound,
                          QStringLiteral("the simulated device is not plugged in"));
    }
    if (busy_) {
        throw SerialError(SerialError::Kind::Busy,
                          QStringLiteral("the simulated device is in use by another program"));
    }
    open_ = true;
}

void SimLink::write(const QByteArray& bytes) {
    if (!open_) {
        throw SerialError(SerialError::Kind::NotOpen, QStringLiteral("the port is not open"));
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
    reportLoss(QStringLiteral("the simulated device went away"));
}
