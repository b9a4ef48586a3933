#pragma once

#include "serial/clock.h"
#include "sim/configcommands.h"
#include "sim/linepacer.h"
#include "sim/simconfig.h"
#include "sim/simflash.h"
#include "sim/simknobs.h"
#include "sim/simloader.h"

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

// The KV120 as the tool meets it on the serial line: its configuration
// firmware, which answers the commands and keeps the settings, and the loader
// it restarts into. Driven by a Clock: what it sends reaches the host through
// the sender after the answer delay and the line's transmission time.
class SimulatedDevice {
public:
    using Sender = std::function<void(const QByteArray& bytes)>;
    using Notice = std::function<void()>;

    explicit SimulatedDevice(Clock& clock, SimKnobs knobs = {});
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    SimKnobs& knobs() { return knobs_; }
    // The stored settings; tests read them and preset them.
    SimConfig& config() { return config_; }
    const SimConfig& config() const { return config_; }
    // What the loader last flashed; a new transfer starts it afresh.
    const SimFlash& flash() const { return flash_; }
    void setFlash(SimFlash flash) { flash_ = std::move(flash); }

    // Between "REBOOT#" and booting the firmware again.
    bool inLoader() const { return loader_.has_value(); }
    // Sits in the loader as a device whose update did not finish: there is
    // no firmware to boot, so it answers only the loader until an image is
    // flashed whole.
    void startInLoader() { loader_.emplace(knobs_, flash_); }

    // Called with every chunk the device takes in and the time its last byte
    // arrived, for a test to keep; the device itself keeps none of it.
    using ReceiveWatcher = std::function<void(quint32 atMs, const QByteArray& bytes)>;
    void setReceiveWatcher(ReceiveWatcher watcher) { receiveWatcher_ = std::move(watcher); }

    // Where the device's bytes go: the wire to the host.
    void setSender(Sender sender) { sender_ = std::move(sender); }
    // Called when the device goes away from the host.
    void setGoneHandler(Notice handler) { goneHandler_ = std::move(handler); }
    // Called when the stored settings or the flash change, so they can be kept.
    void setChangeHandler(Notice handler) { changeHandler_ = std::move(handler); }

    // Bytes from the host, as they arrive.
    void receive(const QByteArray& bytes);

    // Bytes on the line that answer nothing (a babbling firmware, a noisy
    // cable), sent after whatever is queued, as an answer is.
    void sendNoise(const QByteArray& bytes) { send(bytes); }

    // Whether the device is there for the host to talk to (its adapter plugged in).
    bool isPresent() const { return present_; }
    void unplug();
    // Comes back; the disconnect knob counts bytes from here.
    void plugIn();

private:
    // A loader answer repeated while the host sends nothing.
    static constexpr int kRepeatAnswerMs = 1000;

    void receiveByte(char byte);
    // Sends the chatter line, and again after its interval.
    void chatter();
    void repeatAnswer();
    void runLine();
    void answer(const ConfigAnswer& answer);
    // Sends lines one after the other, each ended by CR LF.
    void sendLines(const QList<QByteArray>& lines);
    void send(const QByteArray& bytes);
    void restart();
    // Gives up a transfer once the host has sent nothing for the idle time.
    void watchLoaderIdle();
    void boot();
    void notifyChange();

    Clock& clock_;
    SimKnobs knobs_;
    SimConfig config_;
    SimFlash flash_;
    std::optional<SimLoader> loader_;
    int restarts_ = 0;
    quint32 loaderHeardMs_ = 0;  // the last byte from the host in the loader
    bool idleWatched_ = false;
    bool answerRepeated_ = false;  // a repeat of the loader's answer is on its way
    ReceiveWatcher receiveWatcher_;
    Sender sender_;
    Notice goneHandler_;
    Notice changeHandler_;
    bool present_ = true;
    qint64 receivedSincePlugIn_ = 0;
    QByteArray line_;
    bool lineOverflowed_ = false;
    LinePacer output_;
    // Lets actions still queued on the clock see that the device is gone.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};
