#pragma once

#include "serial/clock.h"

#include <map>
#include <set>
#include <tuple>

// Virtual time for tests and for running the simulated device without a
// screen: nothing waits on the wall clock. Events (posted actions and timer
// ticks) run in time order, and in the order they were queued when due at the
// same moment. delay() advances time to the next due event until its deadline
// has passed, so nested waits (a click handled inside another exchange's wait)
// work as they do in the program.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(quint32 startMs = 0) : now_(startMs) {}

    quint32 nowMs() const override { return static_cast<quint32>(now_); }
    void delayUntil(int ms, const Condition& answered) override;
    TimerId startTimer(int intervalMs, Callback tick) override;
    void stopTimer(TimerId id) override;
    void post(int afterMs, Callback action) override;

    // Advances time by ms, running everything that falls due on the way.
    void advance(qint64 ms);
    // Runs events until none is left or until maxMs have passed.
    void runUntilIdle(qint64 maxMs = 24LL * 3600 * 1000);
    // Virtual milliseconds since the clock was made, without wrapping.
    qint64 elapsedMs() const { return now_ - startMs_; }
    bool hasPendingEvents() const { return !queue_.empty(); }

private:
    struct Event {
        Callback action;
        TimerId timer = 0;  // 0 for a one-shot action
        int interval = 0;
    };
    using Key = std::tuple<qint64, quint64>;  // due time, sequence

    // Runs the earliest event if it is due at or before limit; false if none is.
    bool runNextUntil(qint64 limit);
    void schedule(qint64 due, Event event);

    qint64 now_;
    qint64 startMs_ = now_;
    quint64 sequence_ = 0;
    TimerId lastTimer_ = 0;
    std::map<Key, Event> queue_;
    std::set<TimerId> liveTimers_;
};
