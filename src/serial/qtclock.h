#pragma once

#include "serial/clock.h"

#include <QElapsedTimer>
#include <QObject>

#include <map>

class QTimer;

// The program's clock. delay() runs a nested event loop until its deadline, so
// a waiting exchange uses no processor time while replies, timer ticks and
// clicks are handled.
class QtClock : public QObject, public Clock {
    Q_OBJECT
public:
    explicit QtClock(QObject* parent = nullptr);
    ~QtClock() override;

    quint32 nowMs() const override;
    void delayUntil(int ms, const Condition& answered) override;
    TimerId startTimer(int intervalMs, Callback tick) override;
    void stopTimer(TimerId id) override;
    void post(int afterMs, Callback action) override;

private:
    QElapsedTimer sinceStart_;
    TimerId lastTimer_ = 0;
    std::map<TimerId, QTimer*> timers_;
};
