// kv120ctl's commands in virtual time against the simulated device on SIM:
// what they print on standard output and standard error, and their exit
// status. The exchanges themselves are tested in tests/protocol.
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "cli/clicontext.h"
#include "cli/commands.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "settingsfile/settingsfileformat.h"
#include "sim/programports.h"
#include "sim/receivelog.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>

namespace {

namespace ds = DeviceSettings;

const SimKnobs kWire{.bytesPerSecond = kLineRate115200};

// kv120ctl's context on a virtual clock, talking to the simulated device on
// the port SIM, with what it prints kept.
struct Cli {
    explicit Cli(SimKnobs knobs = kWire) {
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
        EXPECT_TRUE(writeBytes(file("settings.ini"), settingsFileBytes(form)));
        return file("settings.ini");
    }

    QTemporaryDir dir;
    VirtualClock clock;
    ProgramPorts ports{clock};
    SimulatedDevice& device = ports.device;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    QBuffer outBuffer;
    QBuffer errBuffer;
    CliContext context{clock, ports.link, store, Language::English, outBuffer, errBuffer};
};

// No line of standard error is printed twice in a row.
void expectNoRepeatedLine(const QString& err) {
    const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        EXPECT_NE(lines[i], lines[i - 1]) << err.toStdString();
    }
}

TEST(Kv120ctl, DeviceCommandsSayHowTheyEndedAndExitSo) {
    const auto read = [](CliContext& c) { return readSettings(c, {}); };
    const auto wifi = [](CliContext& c) { return writeWifi(c, "home", "secret"); };
    QByteArray flood;
    for (int i = 0; i < 50; ++i) {
        flood += "CONNECT\r\n";
    }
    constexpr qint64 kAnyTime = std::numeric_limits<qint64>::max();
    struct Case {
        const char* name;
        SimKnobs knobs;
        std::function<int(CliContext&)> command;
        int status;
        const char* out;      // what standard output starts with; "": nothing at all
        const char* errEnd;   // what standard error ends with
        const char* errOnce;  // what standard error holds exactly once
        qint64 interruptAtMs = -1;
        qint64 endsByMs = kAnyTime;
    };
    const SimKnobs silent{.silent = true};
    const SimKnobs repeating{.garbage = flood};
    const SimKnobs noReadEnd{.noReadEnd = true, .bytesPerSecond = kLineRate115200};
    const SimKnobs pulledOut{.bytesPerSecond = kLineRate115200, .disconnectAfterBytes = 3};
    const char* lost =
        "The serial port went away (was the cable unplugged?): the simulated device went away\n";
    const char* readOk = "read ok\nVER:KV120 V1.0\n";
    const Case cases[] = {
        {"read", kWire, read, kSucceeded, "[KORVA]\r\n\r\nCALLSIGN:NOCALL-10\r\n", readOk, readOk},
        {"read, device silent", silent, read, kFailed, "",
         "\nThe device did not answer; the settings were not read.\n", ""},
        {"read, no READ END", noReadEnd, read, kFailed, "",
         "\nThe device did not end its settings with READ END; they were not read.\n", ""},
        // A status line the device repeats is counted, not echoed each time.
        {"read, CONNECT repeated", repeating, read, kSucceeded, "[KORVA]", readOk,
         "\nConnect OK (x51)\n"},
        // The adapter pulled out is named, and the wait under way ends: no retry.
        {"read, adapter pulled out", pulledOut, read, kFailed, "", "", lost, -1, 1100},
        {"read, Ctrl-C", silent, read, kInterrupted, "", "", "", 5000, 6000},
        {"wifi", kWire, wifi, kSucceeded, "", "", ""},
        {"wifi, never confirmed", {.noWifiAck = true}, wifi, kFailed, "", "", ""},
        {"restart", kWire, [](CliContext& c) { return restart(c); }, kSucceeded, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        if (c.interruptAtMs >= 0) {
            cli.clock.post(c.interruptAtMs, [&cli] { cli.context.interrupt(); });
        }
        EXPECT_EQ(cli.run(c.command), c.status);
        EXPECT_TRUE(*c.out == '\0' ? cli.out().isEmpty() : cli.out().startsWith(c.out));
        EXPECT_FALSE(cli.ports.link.isOpen());
        const QString err = cli.err();
        EXPECT_TRUE(err.endsWith(QString::fromUtf8(c.errEnd)) || *c.errEnd == '\0')
            << err.toStdString();
        EXPECT_TRUE(err.count(QString::fromUtf8(c.errOnce)) == 1 || *c.errOnce == '\0')
            << err.toStdString();
        expectNoRepeatedLine(err);
        EXPECT_LE(cli.clock.elapsedMs(), c.endsByMs);
    }
}

// Warnings go to standard error; --strict refuses the write for them, but
// never for a wrong passcode. write --verify reads the settings back and
// compares them as values; diff compares the device with a file.
TEST(Kv120ctl, SettingsFileCommandsSayWhatDiffersAndExitSo) {
    using Command = std::function<int(CliContext&, const QString&)>;
    const Command strict = [](CliContext& c, const QString& file) {
        c.strict = true;
        return writeSettings(c, file);
    };
    const Command verify = [](CliContext& c, const QString& file) {
        c.verify = true;
        return writeSettings(c, file);
    };
    const QString warning =
        "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450\n";
    const QString verified = "Verified: the device holds every setting written.\n";
    using Changes = std::vector<std::pair<Ctl, const char*>>;
    const Changes none;
    const Changes frequency{{ds::passcode, "12960"}, {ds::frequency, "155.000"}};
    const Changes comment{{ds::comment, "gateway"}};
    const Changes backlight{{ds::backlight, "0"}};
    const Changes address{{ds::ipAddress[3], "7"}};
    const SimKnobs losesComment{.ignoreCommand = "COMMENT", .bytesPerSecond = kLineRate115200};
    const SimKnobs silent{.silent = true};
    struct Case {
        const char* name;
        Command command;
        Changes file;
        SimKnobs knobs;
        int status;
        const char* out;
        QString err;         // part of standard error
        QByteArray sent;     // part of what the device received; "": nothing at all
        QByteArray bytes{};  // the file's, instead of the settings
    };
    const Case cases[] = {
        {"a warning", writeSettings, frequency, kWire, kSucceeded, "", warning, "AT+FREQ,155.000#"},
        {"a warning, strict", strict, frequency, kWire, kFailed, "",
         warning + "Nothing was written (--strict).\n", ""},
        {"a wrong passcode, strict", strict, none, kWire, kSucceeded, "",
         "The passcode of NOCALL is 12960\n", "AT+FREQ,"},
        {"verify", verify, comment, kWire, kSucceeded, "", verified, "AT+FREQ,"},
        // Stored as 0, read back as always on, as the window shows it.
        {"verify, backlight 0", verify, backlight, kWire, kSucceeded, "", verified, "AT+FREQ,"},
        {"verify, the comment lost", verify, comment, losesComment, kFailed, "",
         "COMMENT TEXT: written \"gateway\", read back \"KORVA 144.640MHz\"\n"
         "Verify failed: 1 setting(s) differ from what was written.\n",
         "AT+FREQ,"},
        {"diff, equal", diffSettings, none, kWire, kSucceeded, "", "read ok\n", "AT+READ#"},
        // With DHCP on, the addresses are not compared.
        {"diff, another address", diffSettings, address, kWire, kSucceeded, "", "read ok\n",
         "AT+READ#"},
        {"diff, differs", diffSettings, comment, kWire, kFailed,
         "COMMENT TEXT: file \"gateway\", device \"KORVA 144.640MHz\"\n", "read ok\n", "AT+READ#"},
        {"diff, device silent", diffSettings, none, silent, kFailed, "",
         "The settings could not be read back; nothing was compared.\n", "SETUP#"},
        {"write, no settings file", writeSettings, none, kWire, kFailed, "",
         "is not a settings file: no line in it is a setting. Nothing was loaded.\n", "",
         "shopping list\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        const QString file = cli.settingsFile(c.file);
        if (!c.bytes.isEmpty()) {
            ASSERT_TRUE(writeBytes(file, c.bytes));
        }
        EXPECT_EQ(cli.run([&](CliContext& context) { return c.command(context, file); }), c.status);
        EXPECT_EQ(cli.out(), QByteArray(c.out));
        EXPECT_TRUE(cli.err().contains(c.err)) << cli.err().toStdString();
        const QByteArray received = receivedBytes(cli.device.received());
        EXPECT_TRUE(c.sent.isEmpty() ? received.isEmpty() : received.contains(c.sent));
    }
}

// Every refusal says why on its own line, and no line is printed twice.
TEST(Kv120ctl, AnUpdateThatCannotBeDoneSaysWhyOnce) {
    const QString choose = QStringLiteral("Please choose fireware");
    const std::tuple<qsizetype, SimKnobs, QStringList> cases[] = {
        {0, {}, {choose, "The image file is empty."}},
        {4999, {}, {choose, "The image is too small: 4999 bytes, at least 5000."}},
        {524'288, {}, {"The image is larger than 524287 bytes"}},
        {9000,
         {.bytesPerSecond = kLineRate115200, .corruptChecksumOfBlock = 4},
         {"The update did not complete: the device's loader refused the image's last block."}},
    };
    for (const auto& [length, knobs, told] : cases) {
        SCOPED_TRACE(length);
        Cli cli(knobs);
        cli.context.keepSettings = false;
        ASSERT_TRUE(writeBytes(cli.file("image.bin"), patternBytes(length)));
        EXPECT_EQ(cli.run([&](CliContext& c) { return updateFirmware(c, cli.file("image.bin")); }),
                  kFailed);
        const QStringList lines = cli.err().split(u'\n', Qt::SkipEmptyParts);
        for (const QString& expected : told) {
            EXPECT_EQ(std::ranges::count_if(lines, [&](auto& l) { return l.startsWith(expected); }),
                      1)
                << expected.toStdString();
        }
        EXPECT_EQ(QSet<QString>(lines.begin(), lines.end()).size(), lines.size())
            << cli.err().toStdString();
    }
}

// Ctrl-C in the transfer: one line says where things stand and how to finish.
// The plain rerun, a new run of kv120ctl, finishes the update and writes the
// kept settings back; on a terminal its bar is redrawn in place, every status
// line starts on a line of its own and the bar stands full at the end.
TEST(Kv120ctl, AnInterruptedUpdateSaysHowToFinishAndTheRerunFinishesIt) {
    Cli first;
    first.device.config().callsign = "BG7ABC";
    const QString image = first.file("image.bin");
    ASSERT_TRUE(writeBytes(image, patternBytes(64 * 1024)));
    const Clock::TimerId ctrlC = first.clock.startTimer(50, [&first] {
        if (first.device.flash().blocks >= 5 && !first.context.interrupted) {
            first.context.interrupted = true;
            first.ports.link.close();
            first.clock.abort();
        }
    });
    EXPECT_EQ(first.run([&](CliContext& c) { return updateFirmware(c, image); }), kInterrupted);
    first.clock.stopTimer(ctrlC);
    const QString told = first.err();
    EXPECT_TRUE(told.contains(u"\n10% (4/33 blocks)\n")) << told.toStdString();
    EXPECT_TRUE(
        told.contains(u"\nThe update was interrupted: the device is in its loader. "
                      u"Your settings are kept in "));
    EXPECT_TRUE(told.endsWith("To finish: kv120ctl --port SIM update " + image + '\n'));

    Cli rerun;
    rerun.context.errIsTerminal = true;
    rerun.context.backupFolder = first.context.backupFolder;
    rerun.device.config() = first.device.config();
    rerun.device.startInLoader();
    EXPECT_EQ(rerun.run([&](CliContext& c) { return updateFirmware(c, image); }), kSucceeded);
    EXPECT_TRUE(rerun.device.flash().complete);
    EXPECT_EQ(rerun.device.config().callsign, "BG7ABC");
    const QString err = rerun.err();
    QString lastBar;
    for (const QString& line : err.split(u'\n')) {
        const QStringList draws = line.split(u'\r');
        for (qsizetype i = 1; i < draws.size(); ++i) {
            EXPECT_TRUE(draws[0].isEmpty() && draws[i].startsWith(u'[')) << line.toStdString();
            EXPECT_GE(draws[i].size(), draws[i - 1].size());  // covers the draw before it whole
            lastBar = draws[i];
        }
    }
    EXPECT_TRUE(lastBar.startsWith(QStringLiteral("[%1] 100% 33/33 blocks").arg(QString(30, u'#'))))
        << lastBar.toStdString();
    EXPECT_TRUE(err.contains(u" left\nupdate complete update step:100%\n")) << err.toStdString();
    EXPECT_TRUE(err.contains(u"Write complete"));
}

TEST(Kv120ctl, EachPortListingAsksTheMachineAfresh) {
    const std::pair<QList<PortInfo>, const char*> steps[] = {
        {{}, "SIM\tsimulated KV120\n"},
        {{{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "CP2102 USB to UART"}},
         "/dev/ttyACM0\t\n/dev/ttyUSB0\tCP2102 USB to UART\nSIM\tsimulated KV120\n"},
        {{{"/dev/ttyACM0", ""}}, "/dev/ttyACM0\t\nSIM\tsimulated KV120\n"},
    };
    Cli cli;
    FakePortLister machine;
    for (const auto& [plugged, listing] : steps) {
        machine.ports = plugged;
        cli.outBuffer.buffer().clear();
        cli.outBuffer.seek(0);
        EXPECT_EQ(listPorts(cli.context, machine), kSucceeded);
        EXPECT_EQ(cli.out(), QByteArray(listing));
    }
}

}  // namespace
