#include "protocol/wifiwrite.h"

#include "app/devicesettings.h"
#include "exchangebench.h"
#include "protocol/restart.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

constexpr quint32 kOpenPause = 201;
constexpr quint32 kConfirmStep = 801;

void setCredentials(Form& form, const QString& ssid, const QString& password) {
    form.setText(ds::wifiSsid, ssid);
    form.setText(ds::wifiPassword, password);
}

TEST(WifiWrite, AConfirmedWriteRestartsTheDeviceOnce) {
    ExchangeBench bench(Language::Chinese);
    setCredentials(bench.form, "home net", "secret");
    wifiWrite(bench.session);
    bench.deliverPendingBytes();
    EXPECT_EQ(bench.bytesReceived(), "AT+WIFI,home net,secret#\r\nREBOOT#\r\n");
    // These texts are English in both interfaces.
    EXPECT_EQ(bench.status(), "WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n");
    EXPECT_EQ(bench.form.text(Ctl::Command8), "Apply");
    EXPECT_FALSE(bench.session.flags().wifiWriteSeen);
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_TRUE(bench.prompter.messages.empty());
}

TEST(WifiWrite, WithoutConfirmationNothingMoreIsSent) {
    // A "WIFI Write success" left from earlier does not count.
    for (const bool confirmedBefore : {false, true}) {
        SCOPED_TRACE(confirmedBefore ? "confirmed before" : "never confirmed");
        ExchangeBench bench;
        bench.device.knobs().noWifiAck = true;
        bench.session.flags().wifiWriteSeen = confirmedBefore;
        setCredentials(bench.form, "home", "secret");
        wifiWrite(bench.session);
        bench.deliverPendingBytes();
        EXPECT_EQ(bench.bytesReceived(), "AT+WIFI,home,secret#\r\n");
        EXPECT_EQ(bench.status(), "WIFI Writing.....\r\nWIFI Write Fail\r\n");
        EXPECT_EQ(bench.clock.elapsedMs(), kOpenPause + 16 * kConfirmStep);
        EXPECT_EQ(bench.form.text(Ctl::Command8), "Apply");
        EXPECT_FALSE(bench.link.isOpen());
    }
}

TEST(WifiWrite, FailuresLeaveThePortClosedAndTheButtonRestored) {
    struct Case {
        const char* what;
        std::function<void(ExchangeBench&)> arrange;
        QByteArray sent;
        QStringList messages;
    };
    const Case cases[] = {
        {"line break in the password",
         [](ExchangeBench& b) { b.form.setText(ds::wifiPassword, "sec\nREBOOT#"); }, "",
         {"The field \"pass\" holds a line break; nothing was written."}},
        // The restart button, clicked during the wait, closes the port before
        // the confirmation comes, so nothing more goes out.
        {"port closed during the wait",
         [](ExchangeBench& b) {
             b.device.knobs().answerDelayMs = 1000;
             b.clock.post(500, [&b] { restartDevice(b.session); });
         },
         "AT+WIFI,home,secret#\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExchangeBench bench;
        setCredentials(bench.form, "home", "secret");
        c.arrange(bench);
        wifiWrite(bench.session);
        bench.deliverPendingBytes();
        EXPECT_EQ(bench.bytesReceived(), c.sent);
        EXPECT_EQ(bench.prompter.messageTexts(), c.messages);
        EXPECT_EQ(bench.form.text(Ctl::Command8), "Apply");
        EXPECT_FALSE(bench.link.isOpen());
    }
}

TEST(Restart, SendsTwoRestartCommandsHalfASecondApart) {
    ExchangeBench bench(Language::Chinese);
    bench.form.setText(Ctl::Command9, QStringLiteral("重启"));
    restartDevice(bench.session);
    bench.deliverPendingBytes();
    EXPECT_EQ(bench.bytesReceived(), "REBOOT#\r\nREBOOT#\r\n");
    EXPECT_EQ(bench.commandTimes(), QList<quint32>({101, 602}));
    // English in both interfaces once the button has been used.
    EXPECT_EQ(bench.form.text(Ctl::Command9), "restart");
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_EQ(bench.status(), "");
    EXPECT_TRUE(bench.prompter.messages.empty());
}

}  // namespace
