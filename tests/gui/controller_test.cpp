#include "windowfixture.h"

#include <QTest>

namespace {

TEST(Controller, ClosingTheWindowEndsAWaitingExchangeAndClosesThePort) {
    WindowFixture fixture;
    fixture.link.open();
    fixture.clock.post(300, [&] { fixture.window->close(); });

    EXPECT_THROW(fixture.clock.delay(1000), ExchangeAborted);
    EXPECT_EQ(fixture.clock.elapsedMs(), 300);
    EXPECT_FALSE(fixture.link.isOpen());
    EXPECT_EQ(fixture.link.closes, 1);
    EXPECT_FALSE(fixture.window->isVisible());
    EXPECT_THROW(fixture.clock.delay(100), ExchangeAborted) << "a later wait of the same exchange";
}

}  // namespace
