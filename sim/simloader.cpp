#include "sim/simloader.h"

#include <utility>

namespace {

const QByteArray kProbe("\x5F\x00\x00\xF5", 4);
constexpr qsizetype kLengthPacketBytes = 5;
constexpr qsizetype kPacketBytes = SimFlash::kBlockBytes + 1;

char xorOf(QByteArrayView bytes) {
    char sum = 0;
    for (const char byte : bytes) {
        sum = static_cast<char>(sum ^ byte);
    }
    return sum;
}

}  // namespace

SimLoader::Step SimLoader::receive(char byte) {
    switch (phase_) {
        case Phase::Listening:
        case Phase::AwaitingLength:
            return listen(byte);
        case Phase::Receiving:
            if (pending_ == 0) {
                return {};  // nothing asked for: the loader does not listen
            }
            packet_ += byte;
            return packet_.size() == kPacketBytes ? takePacket() : Step{};
        case Phase::Done:
            return {};
    }
    return {};
}

SimLoader::Step SimLoader::listen(char byte) {
    recent_ += byte;
    if (recent_.size() > kLengthPacketBytes) {
        recent_.remove(0, 1);
    }
    if (recent_.endsWith(kProbe)) {
        ++probes_;
        if (knobs_.answerProbeFrom > 0 && probes_ >= knobs_.answerProbeFrom) {
            phase_ = Phase::AwaitingLength;
            answered_ = true;
            return {QByteArray(1, kProbeAnswer)};
        }
        return {};
    }
    if (phase_ == Phase::AwaitingLength && recent_.size() == kLengthPacketBytes) {
        return takeLength();
    }
    return {};
}

void SimLoader::giveUpTransfer() {
    phase_ = Phase::Listening;
    recent_.clear();
    packet_.clear();
    pending_ = 0;
    lastRequest_ = 0;
    askAgain_ = false;
    answersReady_ = false;
}

SimLoader::Step SimLoader::takeLength() {
    const auto at = [this](int i) { return static_cast<quint8>(recent_[i]); };
    // The partial block's length is below 2048: its high byte is at most 7.
    if (at(0) != 0x5E || at(4) != 0xE5 || at(1) > 7) {
        return {};
    }
    flash_ = SimFlash{};
    flash_.length = at(3) * SimFlash::kBlockBytes + at(1) * 256 + at(2);
    phase_ = Phase::Receiving;
    return {request(), true};
}

SimLoader::Step SimLoader::takePacket() {
    const char answered = pending_;
    pending_ = 0;
    const QByteArray packet = std::exchange(packet_, {});
    if (answered == kSameBlock) {
        ++flash_.discarded;
    } else if (checksumHolds(packet)) {
        flash_.image += packet.left(SimFlash::kBlockBytes);
        ++flash_.blocks;
    } else {
        ++flash_.rejected;
        askAgain_ = true;
    }
    if (flash_.blocks == flash_.blockCount()) {
        if (knobs_.imageNotTaken) {
            giveUpTransfer();
            return {{}, true};
        }
        flash_.complete = true;
        phase_ = Phase::Done;
        return {{}, true};
    }
    return {request(), true};
}

bool SimLoader::checksumHolds(const QByteArray& packet) {
    if (flash_.blocks == knobs_.corruptChecksumOfBlock && !corrupted_) {
        corrupted_ = true;
        return false;
    }
    return xorOf(QByteArrayView(packet).first(SimFlash::kBlockBytes)) == packet.back();
}

QByteArray SimLoader::request() {
    const auto reached = [this](int knob) { return knob >= 0 && flash_.blocks >= knob; };
    if (reached(knobs_.stallAfterBlock)) {
        return {};
    }
    if (reached(knobs_.readyAfterBlock)) {
        answersReady_ = true;
        return repeatedAnswer();
    }
    ++requests_;
    if (reached(knobs_.repeatAfterBlock)) {
        pending_ = kSameBlock;
        lastRequest_ = pending_;
        return QByteArray(1, pending_);
    }
    const bool everyNth = knobs_.askAgainEvery > 0 && requests_ % knobs_.askAgainEvery == 0;
    if (lastRequest_ != kSameBlock && (askAgain_ || everyNth)) {
        askAgain_ = false;
        pending_ = kSameBlock;
    } else {
        pending_ = kNextBlock;
    }
    lastRequest_ = pending_;
    return QByteArray(1, pending_);
}
