// kv120ctl's commands in virtual time against the simulated device: what they
// print, what the device received and the exit status.
#include "cli/commands.h"
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "cli/clicontext.h"
#include "protocol/readexchange.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "sim/programports.h"
#include "sim/receivelog.h"
#include "sim/simulateddevice.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

// kv120ctl's context on a virtual clock, talking to the simulated device on
// the port SIM, with what it prints kept.
struct Cli {
    explicit Cli(SimKnobs knobs = {.bytesPerSecond = kLineRate115200}) {
        ports.device.knobs() = knobs;
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        context.form.setText(Ctl::Combo1, kSimPortName);
        context.backupFolder = dir.filePath(QStringLiteral("backups"));
    }

    int run(const std::function<int(CliContext&)>& command) {
        const int status = context.run(command);
        clock.advance(0);  // what was written reaches the device
        return status;
    }

    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray out() const { return outBuffer.data(); }
    QString err() {
        context.err.flush();
        return QString::fromUtf8(errBuffer.data());
    }

    // A settings file of the default settings with the changes given.
    QString settingsFile(const std::vector<std::pair<Ctl, const char*>>& changes) {
        Form form;
        fillDefaults(form);
        for (const auto& [control, text] : changes) {
            form.setText(control, QString::fromUtf8(text));
        }
        EXPECT_EQ(writeFileWhole(file("settings.ini"), settingsFileBytes(form)), QString());
        return file("settings.ini");
    }

    QTemporaryDir dir;
    VirtualClock clock;
    ProgramPorts ports{clock};
    SimulatedDevice& device = ports.device;
    SerialLink& link = ports.link;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    QBuffer outBuffer;
    QBuffer errBuffer;
    CliContext context{clock, ports.link, store, Language::English, outBuffer, errBuffer};
};

TEST(Cli, ReadPrintsWhatSaveFileWritesAfterAReadInTheWindow) {
    Cli cli;
    cli.device.config().callsign = "BG7ABC";
    cli.device.config().comment = "中继站";

    ASSERT_EQ(cli.run([](CliContext& c) { return readSettings(c, {}); }), kSucceeded);

    // The window's way: a read, then "Save file".
    ScriptedPrompter prompter;
    Form window;
    Session session(window, cli.link, cli.clock, prompter, cli.store);
    window.setText(Ctl::Combo1, kSimPortName);
    readExchange(session);
    EXPECT_EQ(cli.out(), settingsFileBytes(window));
    EXPECT_TRUE(cli.out().startsWith("[KORVA]\r\n\r\nCALLSIGN:BG7ABC-10\r\n"));
    EXPECT_TRUE(cli.err().contains(u"read ok\n"));
    EXPECT_TRUE(cli.err().contains(u"VER:KV120 V1.0\n"));
}

// The write's confirmation comes after the file was loaded into the reply
// line; a fresh line on opening the port lets the write see it.
TEST(Cli, WriteThenReadGivesTheFileBack) {
    Cli cli;
    const QString file = cli.settingsFile({{ds::callsign, "AB1C"},
                                           {ds::callSsid, "9"},
                                           {ds::frequency, "145.8250"},
                                           {ds::comment, "gateway 网关"}});

    ASSERT_EQ(cli.run([&](CliContext& c) { return writeSettings(c, file); }), kSucceeded)
        << cli.err().toStdString();
    EXPECT_EQ(cli.device.config().frequency, "145.8250");
    ASSERT_EQ(cli.run([&](CliContext& c) { return readSettings(c, cli.file("back.ini")); }),
              kSucceeded);
    EXPECT_EQ(fileBytes(cli.file("back.ini")), fileBytes(file));
    EXPECT_TRUE(cli.out().isEmpty());
}

TEST(Cli, ExitStatusSaysHowTheOperationEnded) {
    struct Case {
        const char* name;
        SimKnobs knobs;
        std::function<int(CliContext&)> command;
        int status;
        const char* lastLine = "";  // what standard error ends with
    };
    const auto read = [](CliContext& c) { return readSettings(c, {}); };
    const auto wifi = [](CliContext& c) { return writeWifi(c, "home", "secret"); };
    const Case cases[] = {
        {"read, device silent",
         {.silent = true},
         read,
         kFailed,
         "\nThe device did not answer; the settings were not read.\n"},
        {"read, no READ END",
         {.noReadEnd = true, .bytesPerSecond = kLineRate115200},
         read,
         kFailed,
         "\nThe device did not end its settings with READ END; they were not read.\n"},
        {"wifi, confirmed", {}, wifi, kSucceeded},
        {"wifi, never confirmed", {.noWifiAck = true}, wifi, kFailed},
        {"restart", {}, [](CliContext& c) { return restart(c); }, kSucceeded},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        EXPECT_EQ(cli.run(c.command), c.status);
        EXPECT_TRUE(cli.out().isEmpty());
        EXPECT_FALSE(cli.link.isOpen());
        if (*c.lastLine != '\0') {
            EXPECT_TRUE(cli.err().endsWith(QString::fromUtf8(c.lastLine)))
                << cli.err().toStdString();
        }
    }
}

TEST(Cli, AStatusLineTheDeviceRepeatsIsCountedNotEchoedEachTime) {
    QByteArray flood;
    for (int i = 0; i < 50; ++i) {
        flood += "CONNECT\r\n";
    }
    Cli cli({.garbage = flood});
    ASSERT_EQ(cli.run([](CliContext& c) { return readSettings(c, {}); }), kSucceeded);
    const QString err = cli.err();
    EXPECT_LE(err.count(QStringLiteral("Connect OK\n")), 3) << err.toStdString();
    EXPECT_TRUE(err.contains(QRegularExpression(QStringLiteral("\nConnect OK \\(x\\d+\\)\n"))))
        << err.toStdString();
}

TEST(Cli, AnAdapterPulledOutIsNamedAndEndsTheCommandAtOnce) {
    struct Case {
        const char* name;
        qint64 bytesBeforeLoss;
        std::function<int(Cli&, CliContext&)> command;
    };
    const Case cases[] = {
        {"read, before CONNECT", 3, [](Cli&, CliContext& c) { return readSettings(c, {}); }},
        {"wifi", 12, [](Cli&, CliContext& c) { return writeWifi(c, "home", "secret"); }},
        {"write", 40,
         [](Cli& cli, CliContext& c) { return writeSettings(c, cli.settingsFile({})); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli({.bytesPerSecond = kLineRate115200, .disconnectAfterBytes = c.bytesBeforeLoss});
        EXPECT_EQ(cli.run([&](CliContext& context) { return c.command(cli, context); }), kFailed);
        const QString lost = QStringLiteral(
            "The serial port went away (was the cable unplugged?): the simulated device went "
            "away\n");
        EXPECT_EQ(cli.err().count(lost), 1) << cli.err().toStdString();
        // The wait under way ends; no retry follows.
        EXPECT_LE(cli.clock.elapsedMs(), 1100);
        EXPECT_TRUE(cli.out().isEmpty());
    }
}

TEST(Cli, InterruptClosesThePortAndEndsWith130) {
    Cli cli({.silent = true});
    const int status = cli.run([&](CliContext& c) {
        cli.clock.post(5000, [&] { c.interrupt(); });
        return readSettings(c, {});
    });
    EXPECT_EQ(status, kInterrupted);
    EXPECT_FALSE(cli.link.isOpen());
    EXPECT_LT(cli.clock.elapsedMs(), 6000);
    EXPECT_TRUE(cli.out().isEmpty());
}

TEST(Cli, UpdateFlashesTheImageKeepsTheSettingsAndReportsProgressByTenths) {
    Cli cli;
    cli.device.config().callsign = "BG7ABC";
    const QByteArray image = patternBytes(64 * 1024);
    ASSERT_EQ(writeFileWhole(cli.file("image.bin"), image), QString());

    ASSERT_EQ(cli.run([&](CliContext& c) { return updateFirmware(c, cli.file("image.bin")); }),
              kSucceeded);

    EXPECT_TRUE(cli.device.flash().complete);
    EXPECT_EQ(cli.device.flash().image, image + QByteArray(2048, '\xFF'));
    const QString err = cli.err();
    EXPECT_TRUE(err.contains(u"50% (17/33 blocks)\n"));
    EXPECT_TRUE(err.contains(u"100% (33/33 blocks)\nupdate complete update step:100%\n"))
        << err.toStdString();
    // The update resets the device to its factory settings; the kept ones
    // are written back once it has restarted.
    EXPECT_EQ(cli.device.config().callsign, "BG7ABC");
}

// On a terminal the bar is redrawn in place: every status line starts on a
// line of its own, no draw leaves the end of a longer one behind, and the bar
// stands full once the transfer is complete.
TEST(Cli, OnATerminalTheBarKeepsItsLineAndEndsFull) {
    Cli cli;
    cli.context.errIsTerminal = true;
    ASSERT_EQ(writeFileWhole(cli.file("image.bin"), patternBytes(64 * 1024)), QString());

    ASSERT_EQ(cli.run([&](CliContext& c) { return updateFirmware(c, cli.file("image.bin")); }),
              kSucceeded);

    const QStringList lines = cli.err().split(u'\n');
    QString lastBar;
    for (const QString& line : lines) {
        const QStringList draws = line.split(u'\r');
        for (qsizetype i = 1; i < draws.size(); ++i) {
            EXPECT_TRUE(draws[0].isEmpty() && draws[i].startsWith(u'[')) << line.toStdString();
            // Each draw covers the one before it whole.
            EXPECT_GE(draws[i].size(), draws[i - 1].size());
            lastBar = draws[i];
        }
    }
    EXPECT_TRUE(lastBar.startsWith(QStringLiteral("[%1] 100% 33/33 blocks").arg(QString(30, u'#'))))
        << lastBar.toStdString();
    EXPECT_TRUE(cli.err().contains(u" left\nupdate complete update step:100%\n"));
}

// Every refusal says why on its own line, and no line is printed twice.
TEST(Cli, AnUpdateThatCannotBeDoneSaysWhyOnce) {
    const QString choose = QStringLiteral("Please choose fireware");
    struct Case {
        const char* name;
        qsizetype length;
        SimKnobs knobs;
        QStringList lines;  // among what is printed, once each
    };
    const Case cases[] = {
        {"empty", 0, {}, {choose, "The image file is empty."}},
        {"1 byte", 1, {}, {choose, "The image is too small: 1 bytes, at least 5000."}},
        {"4999 bytes", 4999, {}, {choose, "The image is too small: 4999 bytes, at least 5000."}},
        {"too large", 524'288, {}, {"The image is larger than 524287 bytes"}},
        {"last block refused",
         9000,
         {.bytesPerSecond = kLineRate115200, .corruptChecksumOfBlock = 4},
         {"The update did not complete: the device's loader refused the image's last block."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        cli.context.keepSettings = false;
        ASSERT_TRUE(writeBytes(cli.file("image.bin"), patternBytes(c.length)));
        EXPECT_EQ(
            cli.run([&](CliContext& ctx) { return updateFirmware(ctx, cli.file("image.bin")); }),
            kFailed);
        const QStringList lines = cli.err().split(u'\n', Qt::SkipEmptyParts);
        for (const QString& expected : c.lines) {
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                    [&](const QString& line) { return line.startsWith(expected); }),
                      1)
                << expected.toStdString();
        }
        EXPECT_EQ(QSet<QString>(lines.begin(), lines.end()).size(), lines.size())
            << cli.err().toStdString();
    }
}

// Ctrl-C in the transfer: one line says where things stand, and the plain
// rerun, a new run of kv120ctl, finishes the update and writes the kept
// settings back.
TEST(Cli, AnInterruptedUpdateIsFinishedByRunningItAgain) {
    Cli first;
    first.device.config().callsign = "BG7ABC";
    const QString image = first.file("image.bin");
    ASSERT_TRUE(writeBytes(image, patternBytes(64 * 1024)));
    const Clock::TimerId ctrlC = first.clock.startTimer(50, [&first] {
        if (first.device.flash().blocks >= 5 && !first.context.interrupted) {
            first.context.interrupted = true;
            first.link.close();
            first.clock.abort();
        }
    });
    EXPECT_EQ(first.run([&](CliContext& c) { return updateFirmware(c, image); }), kInterrupted);
    first.clock.stopTimer(ctrlC);
    const QStringList told = first.err().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(told.isEmpty());
    EXPECT_TRUE(
        told.last().startsWith(u"The update was interrupted: the device is in its loader. "
                               u"Your settings are kept in "))
        << told.last().toStdString();
    EXPECT_TRUE(told.last().endsWith("To finish: kv120ctl --port SIM update " + image));

    Cli rerun;
    rerun.context.backupFolder = first.context.backupFolder;
    rerun.device.config() = first.device.config();
    rerun.device.startInLoader();
    EXPECT_EQ(rerun.run([&](CliContext& c) { return updateFirmware(c, image); }), kSucceeded)
        << rerun.err().toStdString();
    EXPECT_TRUE(rerun.device.flash().complete);
    EXPECT_EQ(rerun.device.config().callsign, "BG7ABC");
    EXPECT_TRUE(rerun.err().contains(u"Write complete"));
}

TEST(Cli, EachPortListingAsksTheMachineAfresh) {
    struct Step {
        const char* name;
        QList<PortInfo> plugged;
        const char* listing;
    };
    const Step steps[] = {
        {"nothing plugged in", {}, "SIM\tsimulated KV120\n"},
        {"a second one",
         {{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "CP2102 USB to UART"}},
         "/dev/ttyACM0\t\n/dev/ttyUSB0\tCP2102 USB to UART\nSIM\tsimulated KV120\n"},
        {"the first unplugged", {{"/dev/ttyACM0", ""}}, "/dev/ttyACM0\t\nSIM\tsimulated KV120\n"},
    };
    Cli cli;
    FakePortLister machine;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        machine.ports = step.plugged;
        cli.outBuffer.buffer().clear();
        cli.outBuffer.seek(0);
        EXPECT_EQ(listPorts(cli.context, machine), kSucceeded);
        EXPECT_EQ(cli.out(), QByteArray(step.listing));
    }
    EXPECT_EQ(machine.probes, 3);
}

// Warnings go to standard error; --strict refuses the write for them, but
// never for a wrong passcode.
TEST(Cli, WriteWarnsAndStrictRefusesTheWrite) {
    const char* const frequencyWarning =
        "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450\n";
    struct Case {
        const char* name;
        const char* frequency;
        const char* passcode;
        bool strict;
        int status;
        QString err;  // what standard error begins with, or all it holds when nothing was sent
        bool sent;
    };
    const Case cases[] = {
        {"no warning", "144.640", "12960", false, kSucceeded, "Writing......", true},
        {"no warning, strict", "144.640", "12960", true, kSucceeded, "Writing......", true},
        {"a warning", "155.000", "12960", false, kSucceeded, frequencyWarning, true},
        {"a warning, strict", "155.000", "12960", true, kFailed,
         frequencyWarning + QStringLiteral("Nothing was written (--strict).\n"), false},
        {"a wrong passcode, strict", "144.640", "40663", true, kSucceeded,
         "The passcode of NOCALL is 12960\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli;
        cli.context.strict = c.strict;
        const QString file =
            cli.settingsFile({{ds::frequency, c.frequency}, {ds::passcode, c.passcode}});
        EXPECT_EQ(writeSettings(cli.context, file), c.status);
        // A refused write says so and nothing more.
        EXPECT_TRUE(c.sent ? cli.err().startsWith(c.err) : cli.err() == c.err)
            << cli.err().toStdString();
        const QByteArray received = receivedBytes(cli.device.received());
        EXPECT_EQ(received.contains(QByteArray("AT+FREQ,") + c.frequency + "#\r\n"), c.sent);
        EXPECT_EQ(received.isEmpty(), !c.sent);
    }
}

// write --verify reads the settings back and compares them as values; diff
// compares the device with a file. The device may lose a command on the way.
TEST(Cli, VerifyAndDiffNameEverySettingTheDeviceDoesNotHold) {
    const auto verify = [](CliContext& c, const QString& file) {
        c.verify = true;
        return writeSettings(c, file);
    };
    struct Case {
        const char* name;
        std::function<int(CliContext&, const QString&)> command;
        std::vector<std::pair<Ctl, const char*>> file;
        SimKnobs knobs;
        int status;
        const char* out;
        const char* errEnd;
        QByteArray fileBytes{};  // the file's, instead of the settings
    };
    const SimKnobs device{.bytesPerSecond = kLineRate115200};
    const Case cases[] = {
        {"verify, all stored",
         verify,
         {{ds::comment, "gateway"}},
         device,
         kSucceeded,
         "",
         "Verified: the device holds every setting written.\n"},
        // Stored as 0, read back as always on, as the window shows it.
        {"verify, backlight 0",
         verify,
         {{ds::backlight, "0"}},
         device,
         kSucceeded,
         "",
         "Verified: the device holds every setting written.\n"},
        {"verify, the comment lost",
         verify,
         {{ds::comment, "gateway"}},
         {.ignoreCommand = "COMMENT", .bytesPerSecond = kLineRate115200},
         kFailed,
         "",
         "COMMENT TEXT: written \"gateway\", read back \"KORVA 144.640MHz\"\n"
         "Verify failed: 1 setting(s) differ from what was written.\n"},
        {"diff, equal", diffSettings, {}, device, kSucceeded, "", "read ok\n"},
        // With DHCP on, the addresses are not compared.
        {"diff, another address",
         diffSettings,
         {{ds::ipAddress[3], "7"}},
         device,
         kSucceeded,
         "",
         "read ok\n"},
        {"diff, differs",
         diffSettings,
         {{ds::comment, "gateway"}},
         device,
         kFailed,
         "COMMENT TEXT: file \"gateway\", device \"KORVA 144.640MHz\"\n",
         "read ok\n"},
        {"diff, device silent",
         diffSettings,
         {},
         {.silent = true},
         kFailed,
         "",
         "The settings could not be read back; nothing was compared.\n"},
        {"write, no settings file",
         writeSettings,
         {},
         device,
         kFailed,
         "",
         "is not a settings file: no line in it is a setting. Nothing was loaded.\n",
         "shopping list\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        const QString file = cli.settingsFile(c.file);
        if (!c.fileBytes.isEmpty()) {
            ASSERT_TRUE(writeBytes(file, c.fileBytes));
        }
        EXPECT_EQ(cli.run([&](CliContext& context) { return c.command(context, file); }), c.status);
        EXPECT_EQ(cli.out(), QByteArray(c.out));
        EXPECT_TRUE(cli.err().endsWith(QString::fromUtf8(c.errEnd))) << cli.err().toStdString();
    }
}

}  // namespace
