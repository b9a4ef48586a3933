#include "protocol/writeexchange.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "exchangebench.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

// A wait of n ms lasts until more than n ms have passed on the clock.
constexpr quint32 kPause = 201;

const QByteArray kHead = "AT+CALL,NOCALL-10#\r\nAT+PASS,40663#\r\n";
const QByteArray kTail =
    "AT+POSI,!3035.00N/11417.00ErPHG1010#\r\nAT+COMMENT,KORVA 144.640MHz#\r\n"
    "AT+SERVER,china.aprs2.net#\r\nAT+TIME,0600#\r\nAT+FILTER,b/KORVA#\r\n"
    "AT+BACKLIGHT,00#\r\nAT+UNIT,1#\r\nAT+DIGI,1#\r\nAT+MOD,3#\r\nAT+PATH,1#\r\n"
    "AT+ALIAS,3#\r\n\r\nAT+FREQ,144.6400#\r\n";

// After the alias command the frequency command follows at once.
const QList<quint32> kTailGaps{kPause, kPause, kPause, kPause, kPause, kPause,
                               kPause, kPause, kPause, kPause, 0};

TEST(WriteExchange, SendsEverySettingWithItsPausesAndReportsTheConfirmation) {
    struct Case {
        bool staticIp;
        QByteArray addressCommands;
        QList<quint32> gaps;  // from the first of them to the position command
    };
    const Case cases[] = {
        {false, "AT+DHCP,1#\r\n", {kPause}},
        // 400 ms after the last address.
        {true,
         "AT+DHCP,0#\r\nAT+IP,192,168,1,99#\r\nAT+SUB,255,255,255,0#\r\nAT+GW,192,168,1,1#\r\n"
         "AT+DNS,8,8,8,8#\r\n",
         {kPause, kPause, kPause, kPause, 2 * kPause - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.staticIp ? "static" : "DHCP");
        ExchangeBench bench;
        fillDefaults(bench.form);
        if (c.staticIp) {
            bench.form.setText(ds::addressMode, ds::kStaticIp);
        }
        writeExchange(bench.session);
        EXPECT_EQ(bench.bytesReceived(), kHead + c.addressCommands + kTail);
        EXPECT_EQ(bench.gaps(), QList<quint32>({kPause, kPause}) + c.gaps + kTailGaps);
        EXPECT_EQ(bench.commandTimes().first(), 101u);
        EXPECT_EQ(bench.status(), "Writing......\r\nWrite complete");
        EXPECT_EQ(bench.form.text(Ctl::Command7), "Write data");
        EXPECT_FALSE(bench.link.isOpen());
        EXPECT_TRUE(bench.prompter.messages.empty());
    }
}

// When the confirmation ends the wait is checked with the other exchanges'.
TEST(WriteExchange, OnlyAConfirmationOfThisWriteCompletesIt) {
    struct Case {
        const char* what;
        Language language;
        bool confirmed;
        QString status;
        bool confirmedBefore = false;  // a "freq save" left from an earlier write
    };
    const Case cases[] = {
        {"never", Language::English, false, "Writing......Write fail，Please try again.\r\n"},
        {"never, after an earlier confirmation", Language::English, false,
         "Writing......Write fail，Please try again.\r\n", true},
        {"confirmed, Chinese", Language::Chinese, true, "写入中......\r\n写入完成"},
        {"never, Chinese", Language::Chinese, false, "写入中......写入失败.请重试一遍\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExchangeBench bench(c.language);
        fillDefaults(bench.form);
        bench.device.knobs().noFreqSave = !c.confirmed;
        bench.session.flags().freqSaveSeen = c.confirmedBefore;
        writeExchange(bench.session);
        EXPECT_EQ(bench.status(), c.status);
        EXPECT_EQ(bench.form.text(Ctl::Command7),
                  c.language == Language::Chinese ? QStringLiteral("写入数据") : "Write data");
        EXPECT_FALSE(bench.link.isOpen());
    }
}

TEST(WriteExchange, ASecondClickClosesThePortAndTheFirstRunsOutToItsFailure) {
    ExchangeBench bench;
    fillDefaults(bench.form);
    bool secondClickFoundPortOpen = false;
    bench.clock.post(1000, [&] {
        secondClickFoundPortOpen = bench.link.isOpen();
        writeExchange(bench.session);
        EXPECT_TRUE(bench.form.isEnabled(Ctl::Command7));
    });
    writeExchange(bench.session);
    EXPECT_TRUE(secondClickFoundPortOpen);
    // Five commands went out before the click at 1000 ms; nothing after it.
    EXPECT_EQ(
        bench.commands(),
        QByteArrayList({"AT+CALL,NOCALL-10#", "AT+PASS,40663#", "AT+DHCP,1#",
                        "AT+POSI,!3035.00N/11417.00ErPHG1010#", "AT+COMMENT,KORVA 144.640MHz#"}));
    EXPECT_EQ(bench.form.text(Ctl::Command6), "Port is open");
    EXPECT_EQ(bench.status(), "Write fail，Please try again.\r\n");
    EXPECT_EQ(bench.form.text(Ctl::Command7), "Write data");
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_TRUE(bench.prompter.messages.empty());
}

TEST(WriteExchange, WhatWasCheckedIsWhatIsSent) {
    ExchangeBench bench;
    fillDefaults(bench.form);
    bench.clock.post(300, [&] { bench.form.setText(ds::comment, "late\nAT+RESET#"); });
    writeExchange(bench.session);
    EXPECT_TRUE(bench.commands().contains("AT+COMMENT,KORVA 144.640MHz#"));
    EXPECT_FALSE(bench.commands().contains("AT+RESET#"));
}

TEST(WriteExchange, AWriteRightAfterAFileLoadStillSeesTheConfirmation) {
    // A settings-file load leaves its last line as the reply line; the
    // device's "freq save" must not be read as the rest of that line.
    ExchangeBench bench;
    fillDefaults(bench.form);
    bench.session.receivePath().setReplyLine("ALIAS:3");

    writeExchange(bench.session);

    EXPECT_TRUE(bench.status().endsWith(u"\r\nWrite complete")) << bench.status().toStdString();
}

}  // namespace
