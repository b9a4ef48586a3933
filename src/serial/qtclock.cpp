#include "serial/qtclock.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QTimer>

QtClock::QtClock(QObject* parent) : QObject(parent) {
    sinceStart_.start();
}

QtClock::~QtClock() = default;

quint32 QtClock::nowMs() const {
    return static_cast<quint32>(sinceStart_.elapsed());
}

void QtClock::delayUntil(int ms, const Condition& answered) {
    throwIfAborted();
    const quint32 start = nowMs();
    while (!hasElapsed(start, nowMs(), ms) && !(answered && answered())) {
        const quint32 passed = nowMs() - start;
        QEventLoop loop;
        QTimer::singleShot(static_cast<int>(ms + 1 - passed), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        // The loop is about to sleep once it has handled what arrived, so a
        // reply that answers the wait ends it right after being handled, and
        // so does an abort (a signal, the window closing), at once rather
        // than when the wait has run its time.
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
                &loop, [this, &loop, &answered] {
                    if (isAborted() || (answered && answered())) {
                        loop.quit();
                    }
                });
        loop.exec();
        // The loop also ends early when the application quits; abort() is
        // what turns that into the end of the exchange.
        throwIfAborted();
    }
}

Clock::TimerId QtClock::startTimer(int intervalMs, Callback tick) {
    const TimerId id = ++lastTimer_;
    auto* timer = new QTimer(this);
    timer->setInterval(intervalMs);
    // A coarse timer may fire up to 5% early: the update's last-block check
    // would then miss its moment and wait for the next tick.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, std::move(tick));
    timer->start();
    timers_[id] = timer;
    return id;
}

void QtClock::stopTimer(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end()) {
        return;
    }
    found->second->stop();
    found->second->deleteLater();
    timers_.erase(found);
}

void QtClock::post(int afterMs, Callback action) {
    QTimer::singleShot(afterMs, Qt::PreciseTimer, this, std::move(action));
}
