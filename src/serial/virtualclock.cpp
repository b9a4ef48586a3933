#include "serial/virtualclock.h"

void VirtualClock::delayUntil(int ms, const Condition& answered) {
    throwIfAborted();
    const quint32 start = nowMs();
    // The counter is read in whole milliseconds: a wait of ms ends on the first
    // tick after ms have passed, as it does on the real clock.
    const qint64 deadline = now_ + ms + 1;
    while (!hasElapsed(start, nowMs(), ms) && !(answered && answered())) {
        if (!runNextUntil(deadline)) {
            now_ = deadline;
        }
        throwIfAborted();
    }
}

Clock::TimerId VirtualClock::startTimer(int intervalMs, Callback tick) {
    const TimerId id = ++lastTimer_;
    liveTimers_.insert(id);
    schedule(now_ + intervalMs, Event{std::move(tick), id, intervalMs});
    return id;
}

void VirtualClock::stopTimer(TimerId id) {
    liveTimers_.erase(id);
}

void VirtualClock::post(int afterMs, Callback action) {
    schedule(now_ + afterMs, Event{std::move(action), 0, 0});
}

void VirtualClock::advance(qint64 ms) {
    const qint64 target = now_ + ms;
    while (runNextUntil(target)) {
    }
    // An event that waited inside itself has taken the time past the target
    // already; time never runs back.
    now_ = std::max(now_, target);
}

void VirtualClock::runUntilIdle(qint64 maxMs) {
    const qint64 limit = now_ + maxMs;
    while (runNextUntil(limit)) {
    }
}

bool VirtualClock::runNextUntil(qint64 limit) {
    while (!queue_.empty()) {
        auto first = queue_.begin();
        const qint64 due = std::get<0>(first->first);
        if (due > limit) {
            return false;
        }
        Event event = std::move(first->second);
        queue_.erase(first);
        if (event.timer != 0 && !liveTimers_.contains(event.timer)) {
            continue;  // a tick of a timer stopped since it was queued
        }
        now_ = std::max(now_, due);
        if (event.timer != 0) {
            // Queue the next tick before this one runs, so a tick may stop its timer.
            schedule(due + event.interval, Event{event.action, event.timer, event.interval});
        }
        event.action();
        return true;
    }
    return false;
}

void VirtualClock::schedule(qint64 due, Event event) {
    queue_.emplace(Key{due, sequence_++}, std::move(event));
}
