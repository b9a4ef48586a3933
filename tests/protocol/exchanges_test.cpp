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

// "Read data", as its button runs it.
void read(Session& session) {
    readExchange(session);
}

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
// passed, but for the WiFi write's first wait: a device may confirm before its
// flash write is done, so "REBOOT#" never follows the WiFi command within
// 800 ms. Acknowledgements left from before the exchange do not count, nor
// do answers that come after the exchange has closed the port.
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
    const QString silent =
        "SIM 上的设备没有应答：设备是否已开机？数据线是否插好？SIM "
        "是否是它的串口？请在串口列表中选择设备的串口。";
    const Case cases[] = {
        // The third request sees the connection; two read requests go out.
        // The answer to the second comes after "READ END", when the port is
        // closed: its "READ END" adds no "Read end" line.
        {read, 1500, 2 * kAttempt + 1500, "SETUP#|SETUP#|SETUP#|AT+READ#|AT+READ#", Ctl::Command6,
         "读取数据", "Connection OK\r\nReading 2/20Times......\r\n读取成功"},
        {writeExchange, 250, 351, "AT+FREQ,144.6400#", Ctl::Command7, "写入数据",
         "写入中......\r\n写入完成"},
        {writeExchange, 9000, kPause + 16 * 501 + 101, "AT+FREQ,144.6400#", Ctl::Command7,
         "写入数据", "写入中......\r\n写入失败.请重试一遍\r\n" + silent},
        // These texts are English in both interfaces.
        {wifiWrite, 2000, 2000, "AT+WIFI,home,secret#|REBOOT#", Ctl::Command8, "Apply",
         "WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n"},
        {wifiWrite, 20, 801, "AT+WIFI,home,secret#|REBOOT#", Ctl::Command8, "Apply",
         "WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n"},
        {wifiWrite, 13000, 16 * 801, "AT+WIFI,home,secret#", Ctl::Command8, "Apply",
         "WIFI Writing.....\r\nWIFI Write Fail\r\n" + silent},
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
        const qint64 endedMs = rig.clock.elapsedMs();
        rig.clock.advance(3000);
        const QByteArrayList commands = rig.commands();
        const qsizetype first = commands.indexOf(c.sent.split('|').first());
        ASSERT_GE(first, 0);
        EXPECT_EQ(endedMs - rig.commandTimes()[first], c.endsAfterMs);
        EXPECT_EQ(commands.mid(first).join('|'), c.sent);
        EXPECT_EQ(rig.form.text(c.button), c.caption);
        EXPECT_EQ(rig.status(), c.status);
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_TRUE(rig.prompter.messages.empty());
    }
}

// An exchange that cannot go on ends with the port closed and tells why
// once: the window closes during a wait (nothing to tell), its click finds
// the port open (it only cancels what runs), the port does not open (a
// message box naming the port and what to do), another click cancels it (a
// status line), a field cannot be sent.
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
    const QString failed = "Port is open or no\n";
    const QString pickAnother = "\nChoose the device's port in the port list.";
    const QString isBusy =
        failed + "SIM is in use by another program.\nClose the other program, then try again.";
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
        {read, closeAt(1500), "SETUP#|SETUP#", 1500, Ctl::Command6, "reading",
         "Please restart KORVA......Connection 2/20Times......", "", false},
        {wifiWrite, closeAt(1000), "AT+WIFI,home,secret#", 1000, Ctl::Command8, "Write",
         wifiWriting, "", true},
        {read, portOpen, "", 0, Ctl::Command6, "Read data", "", "", true},
        {writeExchange, portOpen, "", 0, Ctl::Command7, "Write data", "", "", true},
        {wifiWrite, portOpen, "", 0, Ctl::Command8, "Apply", "", "", true},
        {restartDevice, portOpen, "", 0, Ctl::Command9, "restart", "", "", true},
        {read, noSuchPort, "", 101, Ctl::Command6, "read data", "",
         failed + "There is no port /dev/kv120-none." + pickAnother, true},
        {writeExchange, busy, "", 101, Ctl::Command7, "Write data", "", isBusy, true},
        {wifiWrite, unplugged, "", 0, Ctl::Command8, "Apply", "",
         failed + "There is no port SIM." + pickAnother, true},
        {restartDevice, busy, "", 101, Ctl::Command9, "restart", "", isBusy, true},
        {writeExchange, writeAgainAt1000,
         "AT+CALL,NOCALL-10#|AT+PASS,40663#|AT+DHCP,1#|AT+POSI,!3035.00N/11417.00ErPHG1010#|"
         "AT+COMMENT,KORVA 144.640MHz#",
         1000, Ctl::Command7, "Write data",
         "Writing......\r\nThe write was cancelled: the device may hold part of the settings.", "",
         true},
        {wifiWrite, restartAt500, "AT+WIFI,home,secret#", 500, Ctl::Command8, "Apply",
         wifiWriting + "The WiFi write was cancelled: the device may not hold the new name and "
                       "password.",
         "", true},
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
        EXPECT_EQ(rig.prompter.messageTexts(),
                  c.message.isEmpty() ? QStringList() : QStringList{c.message});
        EXPECT_EQ(rig.form.isEnabled(Ctl::Command7), c.writeEnabled);
        EXPECT_FALSE(rig.link.isOpen());
        // Only a read whose port opened remembers the port; none replaces it.
        EXPECT_EQ(rig.store.portName().isEmpty(), c.exchange != read || c.sent.isEmpty());
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

// Without "Connection OK", which would say the device answered; one line,
// in the window's language, names the port and says what to check.
TEST(ReadExchange, ADeviceThatNeverAnswersIsAskedFortyTimesAndNamed) {
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
    EXPECT_EQ(
        rig.status(),
        "Reading 20/20Times......\r\nSIM 上的设备没有应答：设备是否已开机？数据线是否插好？SIM "
        "是否是它的串口？请在串口列表中选择设备的串口。");
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
// shows again what the user had, edits, enabled states and encodings included,
// and the user is told why once: in the status box, or in a message box when
// the port did not open.
TEST(ReadExchange, AReadThatDoesNotFinishPutsBackTheFieldsAndEnabledStates) {
    const QString cancelled = "The read was cancelled; the window shows what it held before.";
    const std::tuple<std::function<void(Rig&)>, const char*, QString> cases[] = {
        {[](Rig&) {}, "Connection is successful\r\n",
         "The device on SIM did not send all its settings (no READ END came); they were not "
         "read."},
        {[](Rig& r) {
             r.device.knobs().noConnect = true;
             r.clock.post(2500, [&r] { readExchange(r.session); });
         },
         "0/10", cancelled},
        {[](Rig& r) { r.clock.post(1500, [&r] { readExchange(r.session); }); },
         "Connection is successful\r\n", cancelled},
        {[](Rig& r) { r.form.setText(Ctl::Combo1, "/dev/kv120-no-such-port"); }, "0/10",
         "Port is open or no\nThere is no port /dev/kv120-no-such-port.\nChoose the device's "
         "port in the port list."},
    };
    for (const auto& [prepare, progress, told] : cases) {
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
        const QStringList messages = rig.prompter.messageTexts();
        ASSERT_LE(messages.size(), 1);
        EXPECT_EQ(messages.isEmpty() ? rig.status().trimmed().section(u'\n', -1) : messages[0],
                  told);
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
