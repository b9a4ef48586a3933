#include "app/defaults.h"
#include "exchangebench.h"
#include "protocol/readexchange.h"
#include "protocol/restart.h"
#include "protocol/wifiwrite.h"
#include "protocol/writeexchange.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Closing the window aborts the clock: the exchange waiting in it ends at
// once with the port closed, and nothing else in the window changes.
TEST(WindowClosing, EndsAWaitingExchangeAtOnceWithThePortClosed) {
    struct Case {
        const char* what;
        std::function<void(Session&)> exchange;
        int closeAtMs;
        QByteArrayList sent;
        Ctl button;
        const char* caption;  // the button's caption when the window closed
        const char* status;
    };
    const Case cases[] = {
        {"read, connecting",
         readExchange,
         1500,
         {"SETUP#", "SETUP#"},
         Ctl::Command6,
         "reading",
         "Please restart KORVA......Connection 2/20Times......"},
        {"read, reading", readExchange, 25'000,
         QByteArrayList(20, "SETUP#") + QByteArrayList(5, "AT+READ#"), Ctl::Command6, "reading",
         "Connection OK\r\nReading 4/20Times......"},
        {"write, sending",
         writeExchange,
         450,
         {"AT+CALL,NOCALL-10#", "AT+PASS,40663#"},
         Ctl::Command7,
         "Writing",
         "Writing......"},
        {"write, awaiting confirmation",
         writeExchange,
         6000,
         {},
         Ctl::Command7,
         "Writing",
         "Writing......"},
        {"WiFi",
         wifiWrite,
         1000,
         {"AT+WIFI,home,secret#"},
         Ctl::Command8,
         "Write",
         "WIFI Writing.....\r\n"},
        {"restart", restartDevice, 300, {"REBOOT#"}, Ctl::Command9, "restart", ""},
    };
    for (const Case& c : cases) {
        ExchangeBench bench;
        bench.device.knobs().silent = true;
        fillDefaults(bench.form);
        bench.form.setText(Ctl::Text34, "home");
        bench.form.setText(Ctl::Text33, "secret");
        bench.clock.post(c.closeAtMs, [&] { bench.clock.abort(); });
        c.exchange(bench.session);
        EXPECT_EQ(bench.clock.elapsedMs(), c.closeAtMs) << c.what;
        EXPECT_FALSE(bench.link.isOpen()) << c.what;
        if (!c.sent.isEmpty()) {
            EXPECT_EQ(bench.commands(), c.sent) << c.what;
        }
        EXPECT_EQ(bench.form.text(c.button), c.caption) << c.what;
        EXPECT_EQ(bench.status(), c.status) << c.what;
        EXPECT_TRUE(bench.prompter.messages.empty()) << c.what;
    }
}

}  // namespace
