#include "protocol/readexchange.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "exchangebench.h"
#include "support/printers.h"
#include "support/texthistory.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

// A wait of n ms lasts until more than n ms have passed on the clock.
constexpr quint32 kAttempt = 1001;
constexpr quint32 kFirstRequest = 101;

void presetDevice(SimConfig& config) {
    config.callsign = "BH4XYZ";
    config.path = "2";
}

TEST(ReadExchange, APromptDeviceIsSeenAtTheSecondAttemptAndReadInOne) {
    ExchangeBench bench;
    presetDevice(bench.device.config());
    TextHistory status(bench.form, Ctl::Text29);
    readExchange(bench.session);

    EXPECT_EQ(bench.commands(), QByteArrayList({"SETUP#", "SETUP#", "AT+READ#"}));
    EXPECT_EQ(bench.commandTimes(),
              QList<quint32>({kFirstRequest, kFirstRequest + kAttempt, kFirstRequest + kAttempt}));
    EXPECT_TRUE(bench.bytesReceived().startsWith("\r\nSETUP#\r\n\r\nSETUP#\r\nAT+READ#\r\n"));
    EXPECT_TRUE(status.texts.contains(
        "Please restart KORVA......Connection 2/20Times......\r\nConnection is successful"));
    EXPECT_EQ(bench.status(), "Connection OK\r\nReading 1/20Times......\r\nread ok");
    EXPECT_EQ(bench.form.text(Ctl::Text3), "Connection is successful\r\n");
    EXPECT_EQ(bench.form.text(ds::callsign), "BH4XYZ");
    EXPECT_EQ(bench.form.text(ds::txPath), "WIDE1-1WIDE2-1");
    EXPECT_EQ(bench.form.text(Ctl::Command6), "read data");
    EXPECT_TRUE(bench.form.isEnabled(Ctl::Command7));
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_TRUE(bench.prompter.messages.empty());
    // The port is remembered as the selector shows it, not replaced by "COM1".
    EXPECT_EQ(bench.store.portName(), kSimPortName);
    EXPECT_EQ(bench.form.text(Ctl::Combo1), kSimPortName);
}

TEST(ReadExchange, ChineseInterfaceTexts) {
    ExchangeBench bench(Language::Chinese);
    TextHistory status(bench.form, Ctl::Text29);
    readExchange(bench.session);
    EXPECT_TRUE(status.texts.contains(
        QStringLiteral("Please restart KORVA......Connection 2/20Times......\r\n连接就绪")));
    EXPECT_EQ(bench.status(),
              QStringLiteral("Connection OK\r\nReading 1/20Times......\r\n读取成功"));
    EXPECT_EQ(bench.form.text(Ctl::Command6), QStringLiteral("读取数据"));
}

TEST(ReadExchange, ADeviceThatNeverAnswersIsAskedFortyTimesAndLeftWithoutAnError) {
    ExchangeBench bench(Language::Chinese);
    bench.device.knobs().silent = true;
    fillDefaults(bench.form);
    // An end of data that comes while connecting does not end the read.
    bench.clock.post(5000, [&] { bench.session.receivePath().receive("READ END\r\n"); });
    // Half a line that never ends; the next read must not build on it.
    bench.clock.post(30'000, [&] { bench.session.receivePath().receive("CALLS"); });
    bool readingShown = false;
    bench.clock.post(5000, [&] {
        readingShown = bench.form.text(Ctl::Command6) == QStringLiteral("读取中") &&
                       !bench.form.isEnabled(Ctl::Command7);
    });
    readExchange(bench.session);

    const QByteArrayList commands = bench.commands();
    EXPECT_EQ(commands.count("SETUP#"), 20);
    EXPECT_EQ(commands.count("AT+READ#"), 20);
    EXPECT_EQ(commands.indexOf("AT+READ#"), 20);
    EXPECT_EQ(bench.gaps(), QList<quint32>(39, kAttempt));
    EXPECT_EQ(bench.clock.elapsedMs(), kFirstRequest + 40 * kAttempt + 501);
    EXPECT_TRUE(readingShown);
    EXPECT_EQ(bench.status(), "Connection OK\r\nReading 20/20Times......");
    // This caption is English in both interfaces.
    EXPECT_EQ(bench.form.text(Ctl::Command6), "read data");
    EXPECT_TRUE(bench.form.isEnabled(Ctl::Command7));
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_TRUE(bench.prompter.messages.empty());
    EXPECT_EQ(bench.session.receivePath().replyLine(), "");
}

TEST(ReadExchange, ADeviceThatOnlyAnswersTheReadRequestIsReadAfterTheConnectionAttempts) {
    ExchangeBench bench;
    presetDevice(bench.device.config());
    bench.device.knobs().noConnect = true;
    // Acknowledgements left from before this read do not count.
    bench.session.flags().connectSeen = true;
    bench.session.flags().readEndSeen = true;
    readExchange(bench.session);
    const QByteArrayList commands = bench.commands();
    EXPECT_EQ(commands.count("SETUP#"), 20);
    EXPECT_EQ(commands.mid(20), QByteArrayList({"AT+READ#"}));
    EXPECT_EQ(bench.status(), "Connection OK\r\nReading 1/20Times......\r\nread ok");
    EXPECT_EQ(bench.form.text(ds::callsign), "BH4XYZ");
    EXPECT_EQ(bench.form.text(Ctl::Text3), "0/10");
    EXPECT_FALSE(bench.link.isOpen());
}

TEST(ReadExchange, ASecondClickCancelsInEitherLoop) {
    struct Case {
        const char* what;
        bool noConnect;
        int clickAtMs;
        QByteArrayList sent;
        const char* progress;
    };
    const Case cases[] = {
        {"connecting", true, 2500, {"SETUP#", "SETUP#", "SETUP#"}, "test fail"},
        // The setting lines came in, "READ END" never does.
        {"reading", false, 1500, {"SETUP#", "SETUP#", "AT+READ#"}, "Connection is successful\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExchangeBench bench;
        presetDevice(bench.device.config());
        bench.device.knobs().noConnect = c.noConnect;
        bench.device.knobs().noReadEnd = true;
        bench.clock.post(c.clickAtMs, [&] {
            readExchange(bench.session);
            EXPECT_EQ(bench.form.text(Ctl::Command6), "Port is open");
            EXPECT_TRUE(bench.form.isEnabled(Ctl::Command7));
        });
        readExchange(bench.session);
        EXPECT_EQ(bench.commands(), c.sent);
        EXPECT_EQ(bench.form.text(Ctl::Text3), c.progress);
        EXPECT_EQ(bench.prompter.messageTexts(),
                  QStringList{"Port is open or no\nthe port is not open"});
        EXPECT_EQ(bench.form.text(Ctl::Command6), "read data");
        EXPECT_FALSE(bench.link.isOpen());
    }
}

// Every control's text, value and enabled state, one entry each, but for
// those that tell of the read: the status box, the progress boxes and the
// Read button's caption.
QStringList windowState(const Form& form) {
    QStringList state;
    for (const ControlDesign& design : kControls) {
        const Ctl id = design.id;
        const bool tells =
            id == Ctl::Text29 || id == Ctl::Text3 || id == Ctl::Text30 || id == Ctl::Command6;
        state << QStringLiteral("%1=%2 %3 %4")
                     .arg(QString::fromLatin1(design.name), tells ? QString() : form.text(id))
                     .arg(form.value(id))
                     .arg(form.isEnabled(id) ? "on" : "off");
    }
    return state;
}

// Blanking the fields comes first, but a read that ends without "READ END"
// is no reading of the device: the window shows again what the user had,
// typed edits and the enabled states included.
TEST(ReadExchange, AReadThatDoesNotFinishPutsBackTheFieldsAndEnabledStates) {
    struct Case {
        const char* what;
        std::function<void(ExchangeBench&)> prepare;
        int messages;  // how many messages the user is shown
    };
    const Case cases[] = {
        {"silent device", [](ExchangeBench& b) { b.device.knobs().silent = true; }, 0},
        {"setting lines without READ END",
         [](ExchangeBench& b) { b.device.knobs().noReadEnd = true; }, 0},
        {"cancelled while connecting",
         [](ExchangeBench& b) {
             b.device.knobs().noConnect = true;
             b.device.knobs().noReadEnd = true;
             b.clock.post(2500, [&b] { readExchange(b.session); });
         },
         1},
        {"cancelled while reading",
         [](ExchangeBench& b) {
             b.device.knobs().noReadEnd = true;
             b.clock.post(3500, [&b] { readExchange(b.session); });
         },
         1},
        {"port lost while reading",
         [](ExchangeBench& b) {
             b.device.knobs().noReadEnd = true;
             b.device.knobs().disconnectAfterBytes = 40;
         },
         1},
        {"no such port",
         [](ExchangeBench& b) {
             b.form.setText(Ctl::Combo1, QStringLiteral("/dev/kv120-no-such-port"));
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExchangeBench bench;
        presetDevice(bench.device.config());
        // "北京" in GB18030: the comment's text and its encoding are put back.
        bench.device.config().comment = "\xB1\xB1\xBE\xA9";
        fillDefaults(bench.form);
        bench.form.setText(ds::callsign, QStringLiteral("DL1AB"));
        bench.form.setText(ds::addressMode, ds::kStaticIp);
        bench.form.setText(ds::firmwareVersion, QStringLiteral("KV120 V2.1"));
        bench.form.setEnabled(Ctl::Command7, false);
        c.prepare(bench);
        const QStringList before = windowState(bench.form);
        readExchange(bench.session);
        EXPECT_EQ(windowState(bench.form), before);
        EXPECT_EQ(bench.form.encoding(ds::comment), TextEncoding::Utf8);
        EXPECT_EQ(bench.prompter.messages.size(), size_t(c.messages));
        EXPECT_FALSE(bench.link.isOpen());
    }
}

}  // namespace
