#include "app/defaults.h"
#include "app/devicesettings.h"
#include "exchangebench.h"
#include "protocol/readexchange.h"
#include "protocol/restart.h"
#include "protocol/wifiwrite.h"
#include "protocol/writeexchange.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <algorithm>

// How each exchange ends: as soon as the device's answer has come, or when it
// must not go on: the window closes during a wait, its button is clicked while
// the port is open, or the port does not open.

namespace {

namespace ds = DeviceSettings;

using Exchange = void (*)(Session&);

// Settings that every exchange may send.
struct Bench : ExchangeBench {
    Bench() {
        fillDefaults(form);
        form.setText(ds::wifiSsid, "home");
        form.setText(ds::wifiPassword, "secret");
    }
};

// The answer an exchange waits for ends the wait it arrives in, and the
// exchange goes on as it would have at that wait's end: "read ok" at once,
// the write's 100 ms before closing, the WiFi write's restart. An answer that
// comes after one or more whole waits still counts; none at all runs every
// wait out. The answer comes this long after its command has arrived.
TEST(ExchangeEnds, TheAwaitedAnswerEndsTheWaitItArrivesIn) {
    const QByteArray frequency = "AT+FREQ,144.6400#";
    const QByteArray wifi = "AT+WIFI,home,secret#";
    constexpr int kNever = -1;
    struct Case {
        Exchange exchange;
        QByteArray awaited;  // the command answered
        int answerMs;
        qint64 endsAfterMs;  // from the awaited command's first arrival
        QByteArray last;     // the last command the device received
        const char* statusEnd;
    };
    const Case cases[] = {
        {readExchange, "AT+READ#", 30, 30, "AT+READ#", "read ok"},
        // Answered in the second request's wait, after the first ran out.
        {readExchange, "AT+READ#", 1500, 1500, "AT+READ#", "read ok"},
        {writeExchange, frequency, 250, 250 + 101, frequency, "Write complete"},
        // In the third and in the last of sixteen waits of 500 ms.
        {writeExchange, frequency, 201 + 2 * 501 + 250, 201 + 2 * 501 + 250 + 101, frequency,
         "Write complete"},
        {writeExchange, frequency, 201 + 15 * 501 + 250, 201 + 15 * 501 + 250 + 101, frequency,
         "Write complete"},
        {writeExchange, frequency, kNever, 201 + 16 * 501 + 101, frequency,
         "Write fail，Please try again.\r\n"},
        {wifiWrite, wifi, 250, 250, "REBOOT#", "WIFI reset...\r\n"},
        {wifiWrite, wifi, 2000, 2000, "REBOOT#", "WIFI reset...\r\n"},
        {wifiWrite, wifi, kNever, 16 * 801, wifi, "WIFI Write Fail\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.awaited.toStdString() + " answered after " + std::to_string(c.answerMs));
        Bench bench;
        bench.device.knobs().answerDelayMs = std::max(c.answerMs, 0);
        bench.device.knobs().noFreqSave = c.answerMs == kNever;
        bench.device.knobs().noWifiAck = c.answerMs == kNever;
        c.exchange(bench.session);
        bench.deliverPendingBytes();
        const QByteArrayList commands = bench.commands();
        const qint64 awaitedAt = bench.commandTimes()[commands.indexOf(c.awaited)];
        EXPECT_EQ(bench.clock.elapsedMs() - awaitedAt, c.endsAfterMs);
        EXPECT_EQ(commands.last(), c.last);
        EXPECT_TRUE(bench.status().endsWith(QString::fromUtf8(c.statusEnd)))
            << bench.status().toStdString();
        EXPECT_FALSE(bench.link.isOpen());
    }
}

// Closing the window aborts the clock: the exchange waiting in it ends at
// once with the port closed, and nothing else in the window changes.
TEST(ExchangeEnds, ClosingTheWindowEndsAWaitingExchangeAtOnceWithThePortClosed) {
    struct Case {
        Exchange exchange;
        int closeAtMs;
        QByteArray sent;  // the commands, joined by "|"; empty: not compared
        Ctl button;
        const char* caption;  // the button's caption when the window closed
        const char* status;
    };
    const QByteArray twentySetUpsFiveReads =
        (QByteArrayList(20, "SETUP#") + QByteArrayList(5, "AT+READ#")).join('|');
    const Case cases[] = {
        {readExchange, 1500, "SETUP#|SETUP#", Ctl::Command6, "reading",
         "Please restart KORVA......Connection 2/20Times......"},
        {readExchange, 25'000, twentySetUpsFiveReads, Ctl::Command6, "reading",
         "Connection OK\r\nReading 4/20Times......"},
        {writeExchange, 450, "AT+CALL,NOCALL-10#|AT+PASS,40663#", Ctl::Command7, "Writing",
         "Writing......"},
        // Awaiting the confirmation.
        {writeExchange, 6000, "", Ctl::Command7, "Writing", "Writing......"},
        {wifiWrite, 1000, "AT+WIFI,home,secret#", Ctl::Command8, "Write", "WIFI Writing.....\r\n"},
        {restartDevice, 300, "REBOOT#", Ctl::Command9, "restart", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.button).toStdString() + " at " + std::to_string(c.closeAtMs));
        Bench bench;
        bench.device.knobs().silent = true;
        bench.clock.post(c.closeAtMs, [&] { bench.clock.abort(); });
        c.exchange(bench.session);
        EXPECT_EQ(bench.clock.elapsedMs(), c.closeAtMs);
        EXPECT_FALSE(bench.link.isOpen());
        if (!c.sent.isEmpty()) {
            EXPECT_EQ(bench.commands().join('|'), c.sent);
        }
        EXPECT_EQ(bench.form.text(c.button), c.caption);
        EXPECT_EQ(bench.status(), c.status);
        EXPECT_TRUE(bench.prompter.messages.empty());
    }
}

TEST(ExchangeEnds, AClickWhileThePortIsOpenOnlyClosesItAndTheNextClickRuns) {
    struct Case {
        Exchange exchange;
        Ctl saysPortIsOpen;
        QStringList messages;
        bool enablesWrite;
    };
    const Case cases[] = {
        {readExchange, Ctl::Command6, {}, true},
        {writeExchange, Ctl::Command6, {}, true},
        {wifiWrite, Ctl::Command6, {"Port is open or no"}, false},
        {restartDevice, Ctl::Command9, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.saysPortIsOpen).toStdString() + " " + std::to_string(c.enablesWrite));
        Bench bench;
        bench.form.setEnabled(Ctl::Command7, false);
        bench.session.openPort();
        c.exchange(bench.session);
        bench.deliverPendingBytes();
        EXPECT_TRUE(bench.device.received().isEmpty());
        EXPECT_FALSE(bench.link.isOpen());
        EXPECT_EQ(bench.clock.elapsedMs(), 0);
        EXPECT_EQ(bench.form.text(c.saysPortIsOpen), "Port is open");
        EXPECT_EQ(bench.prompter.messageTexts(), c.messages);
        EXPECT_EQ(bench.form.isEnabled(Ctl::Command7), c.enablesWrite);

        c.exchange(bench.session);
        bench.deliverPendingBytes();
        EXPECT_FALSE(bench.device.received().isEmpty());
    }
}

TEST(ExchangeEnds, APortThatDoesNotOpenIsReportedWithItsReasonAndTheButtonRestored) {
    enum class Fault { Unplugged, Busy, NoSuchPort };
    using enum Fault;
    const QString writeFailed = "Writing......Write fail，Please try again.\r\n";
    struct Case {
        Exchange exchange;
        Fault fault;
        Ctl button;
        const char* caption;
        QString status;
    };
    const Case cases[] = {
        {readExchange, Unplugged, Ctl::Command6, "read data", ""},
        {readExchange, NoSuchPort, Ctl::Command6, "read data", ""},
        {writeExchange, Unplugged, Ctl::Command7, "Write data", writeFailed},
        {writeExchange, Busy, Ctl::Command7, "Write data", writeFailed},
        {writeExchange, NoSuchPort, Ctl::Command7, "Write data", writeFailed},
        {wifiWrite, Unplugged, Ctl::Command8, "Apply", ""},
        {restartDevice, Busy, Ctl::Command9, "restart", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.button).toStdString() + " " + std::to_string(int(c.fault)));
        Bench bench;
        QString reason;  // empty: the system's words, whatever they are
        switch (c.fault) {
            case Unplugged:
                bench.device.unplug();
                reason = "the simulated device is not plugged in";
                break;
            case Busy:
                bench.simLink.setBusy(true);
                reason = "the simulated device is in use by another program";
                break;
            case NoSuchPort:
                bench.form.setText(Ctl::Combo1, "/dev/kv120-no-such-port");
                break;
        }
        const QString port = bench.form.text(Ctl::Combo1);
        c.exchange(bench.session);
        bench.deliverPendingBytes();
        EXPECT_TRUE(bench.device.received().isEmpty());
        ASSERT_EQ(bench.prompter.messages.size(), 1u);
        const QString shown = bench.prompter.messages.front().text;
        EXPECT_GT(shown.size(), 19);
        EXPECT_EQ(reason.isEmpty() ? shown.left(19) : shown, "Port is open or no\n" + reason);
        EXPECT_EQ(bench.form.text(c.button), c.caption);
        EXPECT_EQ(bench.status(), c.status);
        EXPECT_FALSE(bench.link.isOpen());
        // A port that did not open is neither remembered nor replaced.
        EXPECT_EQ(bench.store.portName(), "");
        EXPECT_EQ(bench.form.text(Ctl::Combo1), port);
        // A failed read puts "Write data" back as it was before the click.
        EXPECT_TRUE(bench.form.isEnabled(Ctl::Command7));
    }
}

}  // namespace
