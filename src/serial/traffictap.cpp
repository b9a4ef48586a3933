#include "serial/traffictap.h"

TrafficTap::TrafficTap(SerialLink& inner) : inner_(inner) {
    inner_.setReceiver([this](const QByteArray& bytes) {
        if (recorder_) {
            recorder_(Direction::Received, bytes);
        }
        deliver(bytes);
    });
    inner_.setLossHandler([this] { reportLoss(); });
}

void TrafficTap::write(const QByteArray& bytes) {
    inner_.write(bytes);
    if (recorder_) {
        recorder_(Direction::Sent, bytes);
    }
}
