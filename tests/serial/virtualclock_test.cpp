#include "serial/virtualclock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(VirtualClock, DelayLastsMoreThanItsArgumentAcrossTheCounterWrap) {
    struct Case {
        quint32 start;
        int ms;
    };
    for (const Case c : {Case{0, 100}, Case{0xFFFFFF00u, 1000}, Case{0xFFFFFFFFu, 1}}) {
        VirtualClock clock(c.start);
        clock.delay(c.ms);
        EXPECT_EQ(clock.elapsedMs(), c.ms + 1) << "start " << c.start;
    }
}

TEST(VirtualClock, EventsRunInsideAWaitInTimeOrder) {
    VirtualClock clock;
    std::vector<std::pair<int, qint64>> ran;
    clock.post(300, [&] { ran.push_back({3, clock.elapsedMs()}); });
    clock.post(100, [&] { ran.push_back({1, clock.elapsedMs()}); });
    clock.post(100, [&] { ran.push_back({2, clock.elapsedMs()}); });
    clock.post(900, [&] { ran.push_back({4, clock.elapsedMs()}); });
    clock.delay(500);
    EXPECT_EQ(ran, (std::vector<std::pair<int, qint64>>{{1, 100}, {2, 100}, {3, 300}}));
    EXPECT_EQ(clock.elapsedMs(), 501);
}

TEST(VirtualClock, AWaitInsideAnEventEndsTheOuterWaitWhenItsTimeHasPassed) {
    VirtualClock clock;
    qint64 innerEnded = 0;
    clock.post(100, [&] {
        clock.delay(1000);
        innerEnded = clock.elapsedMs();
    });
    clock.delay(200);
    EXPECT_EQ(innerEnded, 1101);
    EXPECT_EQ(clock.elapsedMs(), 1101);
}

TEST(VirtualClock, TimersTickUntilStoppedEvenFromTheirOwnTick) {
    VirtualClock clock;
    std::vector<qint64> ticks;
    Clock::TimerId id = 0;
    id = clock.startTimer(1000, [&] {
        ticks.push_back(clock.elapsedMs());
        if (ticks.size() == 3) {
            clock.stopTimer(id);
        }
    });
    clock.advance(10'000);
    EXPECT_EQ(ticks, (std::vector<qint64>{1000, 2000, 3000}));
}

TEST(VirtualClock, AbortEndsTheWaitInProgressAndEveryLaterOne) {
    VirtualClock clock;
    clock.post(50, [&] { clock.abort(); });
    EXPECT_THROW(clock.delay(1000), ExchangeAborted);
    EXPECT_LT(clock.elapsedMs(), 1000);
    EXPECT_THROW(clock.delay(1), ExchangeAborted);
}

}  // namespace
