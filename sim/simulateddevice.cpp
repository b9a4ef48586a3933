#include "sim/simulateddevice.h"

#include <algorithm>

namespace {

// The firmware's line buffer: a longer line is not a command and is dropped.
constexpr qsizetype kMaxLineBytes = 512;

}  // namespace

SimulatedDevice::SimulatedDevice(Clock& clock, SimKnobs knobs)
    : clock_(clock), knobs_(std::move(knobs)) {
    if (knobs_.chatterEveryMs > 0) {
        chatter();
    }
}

void SimulatedDevice::chatter() {
    clock_.post(knobs_.chatterEveryMs, [this, alive = std::weak_ptr<char>(alive_)] {
        if (alive.expired()) {
            return;
        }
        // The running firmware talks; its loader does not.
        if (!loader_) {
            send(knobs_.chatterLine + "\r\n");
        }
        chatter();
    });
}

void SimulatedDevice::receive(const QByteArray& bytes) {
    if (!present_) {
        return;
    }
    QByteArray accepted = bytes;
    bool goesAway = false;
    if (knobs_.disconnectAfterBytes >= 0 &&
        receivedSincePlugIn_ + bytes.size() >= knobs_.disconnectAfterBytes) {
        accepted.truncate(knobs_.disconnectAfterBytes - receivedSincePlugIn_);
        goesAway = true;
    }
    receivedSincePlugIn_ += accepted.size();
    if (receiveWatcher_ && !accepted.isEmpty()) {
        receiveWatcher_(clock_.nowMs(), accepted);
    }
    for (const char byte : accepted) {
        receiveByte(byte);
    }
    if (loader_ && !accepted.isEmpty()) {
        loaderHeardMs_ = clock_.nowMs();
        watchLoaderIdle();
    }
    if (goesAway) {
        unplug();
    }
}

void SimulatedDevice::unplug() {
    if (!present_) {
        return;
    }
    present_ = false;
    if (goneHandler_) {
        goneHandler_();
    }
}

void SimulatedDevice::plugIn() {
    present_ = true;
    receivedSincePlugIn_ = 0;
}

void SimulatedDevice::receiveByte(char byte) {
    if (loader_) {
        const SimLoader::Step step = loader_->receive(byte);
        if (!step.answer.isEmpty()) {
            send(step.answer);
        }
        if (step.flashChanged) {
            notifyChange();
        }
        if (loader_->isDone()) {
            boot();
        } else if (!loader_->repeatedAnswer().isEmpty()) {
            repeatAnswer();
        }
        return;
    }
    if (byte != '\r' && byte != '\n') {
        if (line_.size() < kMaxLineBytes) {
            line_ += byte;
        } else {
            lineOverflowed_ = true;
        }
        return;
    }
    if (!line_.isEmpty() && !lineOverflowed_) {
        runLine();
    }
    line_.clear();
    lineOverflowed_ = false;
}

void SimulatedDevice::repeatAnswer() {
    if (answerRepeated_) {
        return;
    }
    answerRepeated_ = true;
    clock_.post(kRepeatAnswerMs, [this, alive = std::weak_ptr<char>(alive_)] {
        if (alive.expired()) {
            return;
        }
        answerRepeated_ = false;
        if (loader_ && !loader_->repeatedAnswer().isEmpty()) {
            send(loader_->repeatedAnswer());
            repeatAnswer();
        }
    });
}

void SimulatedDevice::runLine() {
    if (!knobs_.ignoreCommand.isEmpty() && line_.startsWith("AT+" + knobs_.ignoreCommand + ',')) {
        return;
    }
    ConfigAnswer result = runCommand(config_, line_);
    if (result.ack == SimAck::ReadEnd && knobs_.settingLines >= 0) {
        result.lines =
            result.lines.first(std::min<qsizetype>(knobs_.settingLines, result.lines.size()));
    }
    if (result.changed) {
        notifyChange();
    }
    answer(result);
    if (result.reboot) {
        restart();
    }
}

void SimulatedDevice::answer(const ConfigAnswer& result) {
    QList<QByteArray> lines = result.lines;
    const bool suppressed = (result.ack == SimAck::Connect && knobs_.noConnect) ||
                            (result.ack == SimAck::ReadEnd && knobs_.noReadEnd) ||
                            (result.ack == SimAck::FreqSave && knobs_.noFreqSave) ||
                            (result.ack == SimAck::WifiWritten && knobs_.noWifiAck) ||
                            (result.ack == SimAck::EeramReset && knobs_.noEeramReset);
    if (result.ack != SimAck::None && !suppressed) {
        lines.append(ackText(result.ack));
    }
    sendLines(lines);
}

void SimulatedDevice::sendLines(const QList<QByteArray>& lines) {
    for (const QByteArray& line : lines) {
        if (!knobs_.garbage.isEmpty()) {
            send(knobs_.garbage);
        }
        send(line + "\r\n");
    }
}

void SimulatedDevice::send(const QByteArray& bytes) {
    if (knobs_.silent) {
        return;
    }
    const int doneInMs =
        output_.finishIn(clock_.nowMs(), knobs_.answerDelayMs, bytes.size(), knobs_.bytesPerSecond);
    clock_.post(doneInMs, [this, alive = std::weak_ptr<char>(alive_), bytes] {
        if (!alive.expired() && present_ && sender_) {
            sender_(bytes);
        }
    });
}

void SimulatedDevice::restart() {
    loader_.emplace(knobs_, flash_);
    const int restart = ++restarts_;
    // Without a probe in time the loader boots the firmware it has.
    clock_.post(knobs_.loaderListenMs, [this, alive = std::weak_ptr<char>(alive_), restart] {
        if (!alive.expired() && restart == restarts_ && loader_ && !loader_->hasAnswered()) {
            boot();
        }
    });
}

void SimulatedDevice::watchLoaderIdle() {
    if (idleWatched_ || !loader_ || !loader_->isTransferring() || knobs_.loaderIdleMs <= 0) {
        return;
    }
    idleWatched_ = true;
    const auto quietMs = static_cast<qint64>(static_cast<quint32>(clock_.nowMs() - loaderHeardMs_));
    const int dueInMs = static_cast<int>(std::max<qint64>(knobs_.loaderIdleMs - quietMs, 0));
    clock_.post(dueInMs, [this, alive = std::weak_ptr<char>(alive_)] {
        if (alive.expired()) {
            return;
        }
        idleWatched_ = false;
        const quint32 quietMs = clock_.nowMs() - loaderHeardMs_;
        if (loader_ && loader_->isTransferring() && quietMs >= quint32(knobs_.loaderIdleMs)) {
            loader_->giveUpTransfer();
        } else {
            watchLoaderIdle();
        }
    });
}

void SimulatedDevice::boot() {
    loader_.reset();
    line_.clear();
    lineOverflowed_ = false;
}

void SimulatedDevice::notifyChange() {
    if (changeHandler_) {
        changeHandler_();
    }
}
