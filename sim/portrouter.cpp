#include "sim/portrouter.h"

#include "serial/portlister.h"

PortRouter::PortRouter(SerialLink& real, SerialLink& simulated)
    : real_(real), simulated_(simulated), name_(real.portName()) {
    for (SerialLink* link : {&real_, &simulated_}) {
        link->setReceiver([this](const QByteArray& bytes) { deliver(bytes); });
        link->setLossHandler([this] { reportLoss(); });
    }
}

void PortRouter::setPortName(const QString& name) {
    if (isOpen()) {
        throw SerialError(SerialError::Kind::IsOpen);
    }
    name_ = name;
    active().setPortName(name);
}

SerialLink& PortRouter::active() const {
    return name_ == kSimPortName ? simulated_ : real_;
}
