#include "app/defaults.h"
#include "app/devicesettings.h"
#include "protocol/readexchange.h"
#include "protocol/restart.h"
#include "protocol/wifiwrite.h"
#include "protocol/writeexchange.h"
#include "protocol/writewarnings.h"
#include "support/sessionrig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

using Exchange = void (*)(Session&);

// A wait of n ms lasts until more than n ms have passed on the clock.
constexpr quint32 kPause = 201;
constexpr quint32 kAttempt = 1001;

// The default settings and a WiFi network; the device has BH4XYZ, WIDE1-1WIDE2-1.
struct Rig : SessionRig {
    explicit Rig(Language language = Language::English) : SessionRig({}, language) {
        fillDefaults(form);
        form.setText(ds::wifiSsid, "home");
        form.setText(ds::wifiPassword, "secret");
        device.config().callsign = "BH4XYZ";
        device.config().path = "2";
    }
};

// The awaited answer ends the wait it arrives in, even after whole waits have
// passed. Acknowledgements left from before the exchange do not count.
TEST(ExchangeEnds, TheAwaitedAnswerEndsTheWaitItArrivesIn) {
    struct Case {
        Exchange exchange;
        int answerMs;        // after each command
        qint64 endsAfterMs;  // from the first command's arrival
        QByteArray sent;     // from the first command on, joined by "|"
        Ctl button;
        QString caption;
        QString status;
    };
    const Case cases[] = {
        // The third request sees the connection; two read requests go out.
        {readExchange, 1500, 2 * kAttempt + 1500, "SETUP#|SETUP#|SETUP#|AT+READ#|AT+READ#",
         Ctl::Command6, "读取数据", "Connection OK\r\nReading 2/20Times......\r\n读取成功"},
        {writeExchange, 250, 351, "AT+FREQ,144.6400#", Ctl::Command7, "写入数据",
         "写入中......\r\n写入完成"},
        // These texts are English in both interfaces.
        {wifiWrite, 2000, 2000, "AT+WIFI,home,secret#|REBOOT#", Ctl::Command8, "Apply",
         "WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n"},
        // Two restart requests half a second apart.
        {restartDevice, 0, 501, "REBOOT#|REBOOT#", Ctl::Command9, "restart", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.toStdString() + " answered after " + std::to_string(c.answerMs));
        Rig rig(Language::Chinese);
        rig.device.knobs().answerDelayMs = c.answerMs;
        rig.session.flags() = {true, true, true, true, true};
        rig.form.setText(c.button, "old");
        c.exchange(rig.session);
        rig.deliverPendingBytes();
        const QByteArrayList commands = rig.commands();
        const qsizetype first = commands.indexOf(c.sent.split('|').first());
        ASSERT_GE(first, 0);
        EXPECT_EQ(rig.clock.elapsedMs() - rig.commandTimes()[first], c.endsAfterMs);
        EXPECT_EQ(commands.mid(first).join('|'), c.sent);
        EXPECT_EQ(rig.form.text(c.button), c.caption);
        EXPECT_EQ(rig.status(), c.status);
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_TRUE(rig.prompter.messages.empty());
    }
}

// An exchange that cannot go on ends with the port closed: the window closes
// during a wait (nothing else changes), its click finds the port open (it only
// closes it), the port does not open, another click closes it, a field cannot
// be sent.
TEST(ExchangeEnds, AnExchangeThatCannotGoOnEndsWithThePortClosed) {
    using Arrange = std::function<void(Rig&)>;
    const auto closeAt = [](int ms) -> Arrange {
        return [ms](Rig& r) {
            r.device.knobs().silent = true;
            r.clock.post(ms, [&r] { r.clock.abort(); });
        };
    };
    const Arrange portOpen = [](Rig& r) {
        r.form.setEnabled(Ctl::Command7, false);
        r.session.openPort();
    };
    const Arrange unplugged = [](Rig& r) { r.device.unplug(); };
    const Arrange busy = [](Rig& r) { r.simLink.setBusy(true); };
    const Arrange noSuchPort = [](Rig& r) { r.form.setText(Ctl::Combo1, "/dev/kv120-none"); };
    const Arrange writeAgainAt1000 = [](Rig& r) {
        r.clock.post(1000, [&r] { writeExchange(r.session); });
    };
    const Arrange restartAt500 = [](Rig& r) {
        r.device.knobs().answerDelayMs = 1000;
        r.clock.post(500, [&r] { restartDevice(r.session); });
    };
    const Arrange lineBreak = [](Rig& r) { r.form.setText(ds::wifiPassword, "sec\nREBOOT#"); };
    const Arrange noNameDeclined = [](Rig& r) {
        r.form.setText(ds::wifiSsid, "");
        r.prompter.answers.push_back(false);
    };
    const QString failed = "Port is open or no\n";  // the system's words follow
    const QString isBusy = failed + "the simulated device is in use by another program";
    const QString writeFail = "Write fail，Please try again.\r\n";
    const QString wifiWriting = "WIFI Writing.....\r\n";
    struct Case {
        Exchange exchange;
        Arrange arrange;
        QByteArray sent;  // the commands, joined by "|"
        qint64 endsAtMs;
        Ctl control;
        const char* caption;
        QString status;
        QString message;  // the one message; empty: none
        bool writeEnabled;
    };
    const Case cases[] = {
        {readExchange, closeAt(1500), "SETUP#|SETUP#", 1500, Ctl::Command6, "reading",
         "Please restart KORVA......Connection 2/20Times......", "", false},
        {wifiWrite, closeAt(1000), "AT+WIFI,home,secret#", 1000, Ctl::Command8, "Write",
         wifiWriting, "", true},
        {readExchange, portOpen, "", 0, Ctl::Command6, "Port is open", "", "", true},
        {writeExchange, portOpen, "", 0, Ctl::Command6, "Port is open", "", "", true},
        {wifiWrite, portOpen, "", 0, Ctl::Command6, "Port is open", "", "Port is open or no",
         false},
        {restartDevice, portOpen, "", 0, Ctl::Command9, "Port is open", "", "", false},
        {readExchange, noSuchPort, "", 101, Ctl::Command6, "read data", "", failed, true},
        {writeExchange, busy, "", 101, Ctl::Command7, "Write data", "Writing......" + writeFail,
         isBusy, true},
        {wifiWrite, unplugged, "", 0, Ctl::Command8, "Apply", "",
         failed + "the simulated device is not plugged in", true},
        {restartDevice, busy, "", 101, Ctl::Command9, "restart", "", isBusy, true},
        // The commands the closed port refuses are skipped; the write runs out.
        {writeExchange, writeAgainAt1000,
         "AT+CALL,NOCALL-10#|AT+PASS,40663#|AT+DHCP,1#|AT+POSI,!3035.00N/11417.00ErPHG1010#|"
         "AT+COMMENT,KORVA 144.640MHz#",
         101 + 14 * kPause + 16 * 501 + 101, Ctl::Command6, "Port is open", writeFail, "", true},
        {wifiWrite, restartAt500, "AT+WIFI,home,secret#", 201 + 16 * 801, Ctl::Command8, "Apply",
         wifiWriting + "WIFI Write Fail\r\n", "", true},
        {wifiWrite, lineBreak, "", 0, Ctl::Command8, "Apply", "",
         "The field \"pass\" holds a line break; nothing was written.", true},
        {wifiWrite, noNameDeclined, "", 0, Ctl::Command8, "Apply", "", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString() + " " + c.sent.toStdString() + " " +
                     c.message.toStdString());
        Rig rig;
        c.arrange(rig);
        const QString port = rig.form.text(Ctl::Combo1);
        c.exchange(rig.session);
        rig.deliverPendingBytes();
        EXPECT_EQ(rig.commands().join('|'), c.sent);
        EXPECT_EQ(rig.clock.elapsedMs(), c.endsAtMs);
        EXPECT_EQ(rig.form.text(c.control), c.caption);
        EXPECT_EQ(rig.status(), c.status);
        const QStringList told = rig.prompter.messageTexts();
        ASSERT_EQ(told.size(), c.message.isEmpty() ? 0 : 1);
        if (!told.isEmpty()) {
            EXPECT_TRUE(c.message == failed
                            ? told[0].size() > failed.size() && told[0].startsWith(failed)
                            : told[0] == c.message)
                << told[0].toStdString();
        }
        EXPECT_EQ(rig.form.isEnabled(Ctl::Command7), c.writeEnabled);
        EXPECT_FALSE(rig.link.isOpen());
        // Only a read whose port opened remembers the port; none replaces it.
        EXPECT_EQ(rig.store.portName().isEmpty(), c.exchange != readExchange || c.sent.isEmpty());
        EXPECT_EQ(rig.form.text(Ctl::Combo1), port);
    }
}

TEST(ReadExchange, APromptDeviceIsSeenAtTheSecondAttemptAndReadInOne) {
    Rig rig;
    rig.form.setEnabled(Ctl::Command7, false);
    readExchange(rig.session);
    EXPECT_TRUE(rig.bytesReceived().startsWith("\r\nSETUP#\r\n\r\nSETUP#\r\nAT+READ#\r\n"));
    EXPECT_EQ(rig.commandTimes(), QList<quint32>({101, 101 + kAttempt, 101 + kAttempt}));
    EXPECT_EQ(rig.form.text(Ctl::Text3), "Connection is successful\r\n");
    EXPECT_EQ(rig.form.text(ds::callsign), "BH4XYZ");
    EXPECT_EQ(rig.form.text(ds::txPath), "WIDE1-1WIDE2-1");
    EXPECT_TRUE(rig.form.isEnabled(Ctl::Command7));
    EXPECT_EQ(rig.store.portName(), kSimPortName) << "remembered as the selector shows it";
}

TEST(ReadExchange, ADeviceThatNeverAnswersIsAskedFortyTimesAndLeftWithoutAnError) {
    Rig rig(Language::Chinese);
    rig.device.knobs().silent = true;
    // An end of data that comes while connecting does not end the read.
    rig.clock.post(5000, [&] { rig.session.receivePath().receive("READ END\r\n"); });
    // Half a line that never ends; the next read must not build on it.
    rig.clock.post(30'000, [&] { rig.session.receivePath().receive("CALLS"); });
    readExchange(rig.session);
    EXPECT_EQ(rig.commands(), QByteArrayList(20, "SETUP#") + QByteArrayList(20, "AT+READ#"));
    EXPECT_EQ(rig.gaps(), QList<quint32>(39, kAttempt));
    EXPECT_EQ(rig.clock.elapsedMs(), 101 + 40 * kAttempt + 501);
    EXPECT_EQ(rig.status(), "Connection OK\r\nReading 20/20Times......");
    EXPECT_EQ(rig.form.text(Ctl::Command6), "read data") << "English in both interfaces";
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_TRUE(rig.prompter.messages.empty());
    EXPECT_EQ(rig.session.receivePath().replyLine(), "");
}

// Every control's text, value and enabled state, but for those that tell of
// the read: the status box, the progress boxes and the Read button's caption.
QStringList windowState(const Form& form) {
    QStringList state;
    for (const ControlDesign& design : kControls) {
        const bool tells =
            QList{Ctl::Text29, Ctl::Text3, Ctl::Text30, Ctl::Command6}.contains(design.id);
        state << QStringLiteral("%1=%2 %3 %4")
                     .arg(QString::fromLatin1(design.name),
                          tells ? QString() : form.text(design.id))
                     .arg(form.value(design.id))
                     .arg(form.isEnabled(design.id));
    }
    return state;
}

// A read that ends without "READ END" is no reading of the device: the window
// shows again what the user had, edits, enabled states and encodings included.
TEST(ReadExchange, AReadThatDoesNotFinishPutsBackTheFieldsAndEnabledStates) {
    const QString cancelled = "Port is open or no\nthe port is not open";
    const std::tuple<std::function<void(Rig&)>, const char*, QString> cases[] = {
        {[](Rig&) {}, "Connection is successful\r\n", ""},
        {[](Rig& r) {
             r.device.knobs().noConnect = true;
             r.clock.post(2500, [&r] { readExchange(r.session); });
         },
         "test fail", cancelled},
        {[](Rig& r) { r.clock.post(1500, [&r] { readExchange(r.session); }); },
         "Connection is successful\r\n", cancelled},
        {[](Rig& r) { r.form.setText(Ctl::Combo1, "/dev/kv120-no-such-port"); }, "0/10",
         "Port is open or no\n"},
    };
    for (const auto& [prepare, progress, message] : cases) {
        SCOPED_TRACE(progress);
        Rig rig;
        rig.device.knobs().noReadEnd = true;
        rig.device.config().comment = "\xB1\xB1\xBE\xA9";  // "北京" in GB18030
        rig.form.setText(ds::callsign, QStringLiteral("DL1AB"));
        rig.form.setText(ds::addressMode, ds::kStaticIp);
        rig.form.setText(ds::firmwareVersion, QStringLiteral("KV120 V2.1"));
        rig.form.setEnabled(Ctl::Command7, false);
        prepare(rig);
        const QStringList before = windowState(rig.form);
        readExchange(rig.session);
        EXPECT_EQ(windowState(rig.form), before);
        EXPECT_EQ(rig.form.encoding(ds::comment), TextEncoding::Utf8);
        EXPECT_EQ(rig.form.text(Ctl::Text3), progress);
        const QStringList told = rig.prompter.messageTexts();
        EXPECT_EQ(told.size(), message.isEmpty() ? 0 : 1);
        EXPECT_TRUE(told.isEmpty() || told[0].startsWith(message));
        EXPECT_EQ(rig.form.text(Ctl::Command6), "read data");
        EXPECT_FALSE(rig.link.isOpen());
    }
}

TEST(WriteExchange, SendsEverySettingWithItsPauses) {
    const QByteArray head = "AT+CALL,NOCALL-10#\r\nAT+PASS,40663#\r\n";
    const QByteArray tail =
        "AT+POSI,!3035.00N/11417.00ErPHG1010#\r\nAT+COMMENT,KORVA 144.640MHz#\r\n"
        "AT+SERVER,china.aprs2.net#\r\nAT+TIME,0600#\r\nAT+FILTER,b/KORVA#\r\n"
        "AT+BACKLIGHT,00#\r\nAT+UNIT,1#\r\nAT+DIGI,1#\r\nAT+MOD,3#\r\nAT+PATH,1#\r\n"
        "AT+ALIAS,3#\r\n\r\nAT+FREQ,144.6400#\r\n";
    const QByteArray staticAddresses =
        "AT+DHCP,0#\r\nAT+IP,192,168,1,99#\r\nAT+SUB,255,255,255,0#\r\nAT+GW,192,168,1,1#\r\n"
        "AT+DNS,8,8,8,8#\r\n";
    // 400 ms after the last address; none after the alias.
    const QList<quint32> staticGaps{kPause, kPause, kPause, kPause, 2 * kPause - 1};
    const QList<quint32> tailGaps = QList<quint32>(10, kPause) << 0;
    for (const bool staticIp : {false, true}) {
        SCOPED_TRACE(staticIp ? "static" : "DHCP");
        Rig rig;
        if (staticIp) {
            rig.form.setText(ds::addressMode, ds::kStaticIp);
        }
        writeExchange(rig.session);
        const QByteArray addresses = staticIp ? staticAddresses : "AT+DHCP,1#\r\n";
        EXPECT_EQ(rig.bytesReceived(), head + addresses + tail);
        const QList<quint32> addressGaps = staticIp ? staticGaps : QList<quint32>{kPause};
        EXPECT_EQ(rig.gaps(), QList<quint32>(2, kPause) + addressGaps + tailGaps);
        EXPECT_EQ(rig.commandTimes().first(), 101u);
    }
}

// What was checked is what is sent. The line a file load leaves as the reply
// line must not swallow the device's "freq save".
TEST(WriteExchange, SendsWhatWasCheckedAndSeesTheConfirmationAfterAFileLoad) {
    Rig rig;
    rig.session.receivePath().setReplyLine("ALIAS:3");
    rig.clock.post(300, [&] { rig.form.setText(ds::comment, "late\nAT+RESET#"); });
    writeExchange(rig.session);
    EXPECT_TRUE(rig.commands().contains("AT+COMMENT,KORVA 144.640MHz#"));
    EXPECT_FALSE(rig.commands().contains("AT+RESET#"));
    EXPECT_TRUE(rig.status().endsWith(u"\r\nWrite complete")) << rig.status().toStdString();
}

// Not asked when the write would not run; never about the passcode.
TEST(WriteWarnings, AreAskedAboutOnceBeforeAnythingIsSentUnlessTheWriteWouldNotRun) {
    const QString question =
        "These fields look wrong for the device:\r\nSSID \"20\" is not a number from 0 to 15"
        "\r\nTx time: an interval of 0\r\nWrite anyway?";
    const std::tuple<const char*, bool, bool, bool, bool> cases[] = {
        // comment, port open, answer, asked, sent
        {"", false, false, true, false},
        {"", false, true, true, true},
        {"", true, true, false, false},
        {"hi\nAT+RESET#", false, true, false, false},  // refused, and the user told why
    };
    for (const auto& [comment, portOpen, answer, asked, sent] : cases) {
        SCOPED_TRACE(std::string(comment) + " " + std::to_string(portOpen));
        Rig rig;
        rig.form.setText(ds::callSsid, "20");
        rig.form.setText(ds::sendInterval, "0");
        rig.form.setText(ds::passcode, "1");
        rig.form.setText(ds::comment, comment);
        if (portOpen) {
            rig.session.openPort();
        }
        rig.prompter.answers = {answer};
        confirmedWriteExchange(rig.session);
        ASSERT_EQ(rig.prompter.questions.size(), asked ? 1u : 0u);
        EXPECT_EQ(asked ? rig.prompter.questions[0].text : question, question);
        EXPECT_EQ(rig.commands().isEmpty(), !sent);
        EXPECT_EQ(rig.prompter.messages.size(), *comment == 0 ? 0u : 1u);
        EXPECT_EQ(rig.status().endsWith(u"Write complete"), sent);
        EXPECT_FALSE(rig.link.isOpen());
    }
}

}  // namespace
