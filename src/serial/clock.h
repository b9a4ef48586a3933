#pragma once

#include <QtGlobal>

#include <functional>
#include <stdexcept>

// Everything that waits goes through a Clock: the exchanges' pauses, the two
// timers of the firmware update and the simulated device's answers. The program
// runs on QtClock; tests run on VirtualClock, where a 41-second read takes no
// wall time at all.

// Thrown out of delay() once the clock has been told to abort, for example
// because the window is closing while an exchange waits. Exchanges let it pass
// through their "skip the failing step" zones, so it ends them at once.
struct ExchangeAborted : std::runtime_error {
    ExchangeAborted() : std::runtime_error("exchange aborted") {}
};

class Clock {
public:
    using Callback = std::function<void()>;
    using TimerId = int;
    using Condition = std::function<bool()>;

    virtual ~Clock() = default;

    // A 32-bit millisecond counter; it wraps every 49.7 days.
    virtual quint32 nowMs() const = 0;

    // Returns once more than ms milliseconds have passed on nowMs(), counted
    // modulo 2^32, running pending events meanwhile: replies, timer ticks and
    // clicks all happen inside a wait. Throws ExchangeAborted after abort().
    void delay(int ms) { delayUntil(ms, {}); }

    // delay(), ended early once answered() holds: it is tested when the wait
    // begins and each time events have run, so an awaited reply ends the wait
    // as soon as it has been handled. For waits after which the exchange sends
    // nothing it would not send at any moment of the wait.
    virtual void delayUntil(int ms, const Condition& answered) = 0;

    // A repeating timer; its callback runs every intervalMs until stopped.
    virtual TimerId startTimer(int intervalMs, Callback tick) = 0;
    virtual void stopTimer(TimerId id) = 0;

    // Runs action once, afterMs milliseconds from now (0: as soon as events run).
    virtual void post(int afterMs, Callback action) = 0;

    // Ends every wait in progress and every later one with ExchangeAborted.
    void abort() { aborted_ = true; }
    bool isAborted() const { return aborted_; }

protected:
    void throwIfAborted() const {
        if (aborted_) {
            throw ExchangeAborted();
        }
    }

    // True once more than ms milliseconds lie between start and now on the
    // wrapping 32-bit counter.
    static bool hasElapsed(quint32 start, quint32 now, int ms) {
        return static_cast<quint32>(now - start) > static_cast<quint32>(ms);
    }

private:
    bool aborted_ = false;
};
