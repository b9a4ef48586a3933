// kv120ctl's commands in virtual time against the simulated device on SIM:
// what they print on standard output and standard error, and their exit
// status. The exchanges themselves are tested in tests/protocol.
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "cli/clicontext.h"
#include "cli/commands.h"
#include "cli/portsearch.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "settingsfile/settingsfileformat.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/receivelog.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    QTemporaryDir dir;
    VirtualClock clock;
    ProgramPorts ports{clock};
    SimulatedDevice& device = ports.device;
    ReceiveLog received{device};
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    QBuffer outBuffer;
    QBuffer errBuffer;
    CliContext context{clock, ports.link, store, Language::English, outBuffer, errBuffer};
};

using Changes = std::vector<std::pair<Ctl, const char*>>;

// The settings file of the default settings with the changes given.
QByteArray settingsWith(const Changes& changes) {
    Form form;
    fillDefaults(form);
    for (const auto& [control, text] : changes) {
        form.setText(control, QString::fromUtf8(text));
    }
    return settingsFileBytes(form);
}

// Each command says once on standard error how it ended and exits so. A
// status line the device repeats is counted, not echoed each time; warnings go
// to standard error and --strict refuses the write for them, but never for a
// wrong passcode; write --verify and diff compare settings as values.
TEST(Kv120ctl, EachCommandSaysOnceHowItEndedAndExitsSo) {
    using Command = std::function<int(CliContext&, const QString& file)>;
    const Command read = [](CliContext& c, const QString&) { return readSettings(c, {}); };
    const Command wifi = [](CliContext& c, const QString&) {
        return writeWifi(c, "home", "secret");
    };
    const Command strict = [](CliContext& c, const QString& file) {
        c.strict = true;
        return writeSettings(c, file);
    };
    const Command verify = [](CliContext& c, const QString& file) {
        c.verify = true;
        return writeSettings(c, file);
    };
    const Command update = [](CliContext& c, const QString& image) {
        c.keepSettings = false;
        return updateFirmware(c, image);
    };
    QByteArray flood;
    for (int i = 0; i < 50; ++i) {
        flood += "CONNECT\r\n";
    }
    const SimKnobs silent{.silent = true};
    const SimKnobs noReadEnd{.noReadEnd = true, .bytesPerSecond = kLineRate115200};
    const SimKnobs repeating{.garbage = flood};
    const SimKnobs pulledOut{.bytesPerSecond = kLineRate115200, .disconnectAfterBytes = 3};
    const SimKnobs noWifiAck{.noWifiAck = true};
    const SimKnobs losesComment{.ignoreCommand = "COMMENT", .bytesPerSecond = kLineRate115200};
    const SimKnobs badBlock{.bytesPerSecond = kLineRate115200, .corruptChecksumOfBlock = 4};
    const SimKnobs noFreqSave{.noFreqSave = true, .bytesPerSecond = kLineRate115200};
    const QString readOk = "read ok\nVER:KV120 V1.0\n";
    const QString otherPort =
        " kv120ctl ports lists the ports; name the device's with --port NAME.\n";
    const QString noAnswer =
        "\nNo answer from the device on SIM: is it switched on, is its cable plugged in, is SIM "
        "its port?" +
        otherPort;
    const QString lost = "\nThe port SIM went away (was the cable unplugged?)." + otherPort;
    const QString warning =
        "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450\n";
    const QString verified = "Verified: the device holds every setting written.\n";
    const QByteArray frequency =
        settingsWith({{ds::passcode, "12960"}, {ds::frequency, "155.000"}});
    const QByteArray comment = settingsWith({{ds::comment, "gateway"}});
    const QByteArray backlight = settingsWith({{ds::backlight, "0"}});
    const QByteArray address = settingsWith({{ds::ipAddress[3], "7"}});
    constexpr qint64 kAnyTime = std::numeric_limits<qint64>::max();
    struct Case {
        const char* name;
        SimKnobs knobs;
        Command command;
        int status;
        const char* out;    // what standard output starts with; "": nothing at all
        QString err;        // what standard error holds exactly once
        QByteArray sent;    // part of what the device received; "": nothing at all
        QByteArray file{};  // the file given; empty: the default settings
        qint64 interruptAtMs = -1;
        qint64 endsByMs = kAnyTime;
    };
    const Case cases[] = {
        {"read", kWire, read, kSucceeded, "[KORVA]\r\n\r\nCALLSIGN:NOCALL-10\r\n", readOk,
         "AT+READ#"},
        {"read, device silent", silent, read, kFailed, "", noAnswer, "SETUP#"},
        {"read, no READ END", noReadEnd, read, kFailed, "",
         "\nThe device on SIM did not send all its settings (no READ END came); they were not "
         "read.\n",
         "AT+READ#"},
        {"read, CONNECT repeated", repeating, read, kSucceeded, "[KORVA]", "\nConnect OK (x51)\n",
         "AT+READ#"},
        // The adapter pulled out is named, and the wait under way ends: no retry.
        {"read, adapter pulled out", pulledOut, read, kFailed, "", lost, "\r\nS", QByteArray(), -1,
         1100},
        {"read, Ctrl-C", silent, read, kInterrupted, "", "", "SETUP#", {}, 5000, 6000},
        {"wifi", kWire, wifi, kSucceeded, "", "", "AT+WIFI,home,secret#"},
        {"wifi, never confirmed", noWifiAck, wifi, kFailed, "", "", "AT+WIFI,home,secret#"},
        {"wifi, no name", kWire,
         [](CliContext& c, const QString&) { return writeWifi(c, "", "pw"); }, kFailed, "",
         "restart without one. Write it anyway? no (--yes answers yes)\n", ""},
        {"restart", kWire, [](CliContext& c, const QString&) { return restart(c); }, kSucceeded, "",
         "", "REBOOT#"},
        {"a warning", kWire, writeSettings, kSucceeded, "", warning, "AT+FREQ,155.000#", frequency},
        {"a warning, strict", kWire, strict, kFailed, "",
         warning + "Nothing was written (--strict).\n", "", frequency},
        {"a wrong passcode, strict", kWire, strict, kSucceeded, "",
         "The passcode of NOCALL is 12960\n", "AT+FREQ,"},
        {"verify", kWire, verify, kSucceeded, "", verified, "AT+FREQ,", comment},
        // Stored as 0, read back as always on, as the window shows it.
        {"verify, backlight 0", kWire, verify, kSucceeded, "", verified, "AT+FREQ,", backlight},
        {"verify, the comment lost", losesComment, verify, kFailed, "",
         "COMMENT TEXT: written \"gateway\", read back \"KORVA 144.640MHz\"\n"
         "Verify failed: 1 setting(s) differ from what was written.\n",
         "AT+FREQ,", comment},
        {"diff, equal", kWire, diffSettings, kSucceeded, "", "read ok\n", "AT+READ#"},
        // With DHCP on, the addresses are not compared.
        {"diff, another address", kWire, diffSettings, kSucceeded, "", "read ok\n", "AT+READ#",
         address},
        {"diff, differs", kWire, diffSettings, kFailed,
         "COMMENT TEXT: file \"gateway\", device \"KORVA 144.640MHz\"\n", "read ok\n", "AT+READ#",
         comment},
        {"diff, device silent", silent, diffSettings, kFailed, "", noAnswer, "SETUP#"},
        {"write, settings lacking, strict", kWire, strict, kFailed, "",
         "Alias: the file loaded has no ALIAS line; the field keeps what it held before\n"
         "Nothing was written (--strict).\n",
         "", "CALLSIGN:AB1C  -9\r\nFREQ:145.8250\r\n"},
        {"write, no frequency", kWire, writeSettings, kFailed, "",
         "The frequency is empty; nothing was written.\n", "", "CALLSIGN:AB1C  -9\r\n"},
        {"write, an address with dots", kWire, writeSettings, kFailed, "",
         "cannot be read; expected IP: four numbers 0-255 separated by commas", "",
         settingsWith({{ds::ipAddress[0], "192.168.1.99"}}).replace("99,", "99.")},
        {"write, no settings file", kWire, writeSettings, kFailed, "",
         "is not a settings file: no line in it is a setting. Nothing was loaded.\n", "",
         "shopping list\n"},
        {"update, image too small", kWire, update, kFailed, "",
         "Please choose fireware\nThe image is too small: 4999 bytes, at least 5000.", "",
         patternBytes(4999)},
        // No image was loaded before: none stays loaded.
        {"update, image too large", kWire, update, kFailed, "", "the device's loader accepts.\n",
         "", patternBytes(524288)},
        {"update, last block refused", badBlock, update, kFailed, "",
         "The update did not complete: the device's loader refused the image's last block. Run "
         "the update again.",
         "AT+RESET#", patternBytes(9000)},
        {"update, the kept settings written back unconfirmed", noFreqSave, updateFirmware, kFailed,
         "", "Write fail，Please try again.\n", "AT+RESET#", patternBytes(9000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Cli cli(c.knobs);
        const QString file = cli.file("settings.ini");
        ASSERT_TRUE(writeBytes(file, c.file.isEmpty() ? settingsWith({}) : c.file));
        if (c.interruptAtMs >= 0) {
            cli.clock.post(c.interruptAtMs, [&cli] { cli.context.interrupt(); });
        }
        EXPECT_EQ(cli.run([&](CliContext& context) { return c.command(context, file); }), c.status);
        EXPECT_TRUE(*c.out == '\0' ? cli.out().isEmpty() : cli.out().startsWith(c.out));
        EXPECT_FALSE(cli.ports.link.isOpen());
        const QString err = cli.err();
        EXPECT_TRUE(c.err.isEmpty() || err.count(c.err) == 1) << err.toStdString();
        // A command that fails tells no version it did not read.
        EXPECT_FALSE(c.status == kFailed && err.contains(u"VER:") && !err.contains(u"read ok"))
            << err.toStdString();
        const QStringList lines = err.split(u'\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            EXPECT_NE(lines[i], lines[i - 1]) << err.toStdString();
        }
        const QByteArray received = cli.received.bytes();
        EXPECT_TRUE(c.sent.isEmpty() ? received.isEmpty() : received.contains(c.sent));
        EXPECT_LE(cli.clock.elapsedMs(), c.endsByMs);
    }
}

// The plain rerun, a new run of kv120ctl, finishes the update and writes the
// kept settings back; on a terminal its bar is redrawn in place, every status
// line starts on a line of its own and the bar stands full at the end.
void expectTheRerunFinishes(Cli& first, const QString& image) {
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
            // The speed is the wire's, measured on the session's clock: never
            // above 11,520 bytes a second at 115200 baud.
            EXPECT_LE(draws[i].trimmed().section(u' ', -4, -4).toLongLong(), 11520)
                << line.toStdString();
            lastBar = draws[i];
        }
    }
    EXPECT_TRUE(lastBar.startsWith(QStringLiteral("[%1] 100% 33/33 blocks").arg(QString(30, u'#'))))
        << lastBar.toStdString();
    EXPECT_GT(lastBar.trimmed().section(u' ', -4, -4).toLongLong(), 9000) << lastBar.toStdString();
    EXPECT_TRUE(err.contains(u"\nupdate complete update step:100%\n")) << err.toStdString();
    EXPECT_TRUE(err.contains(u"Write complete"));
}

// Ctrl-C during an update: one line, at the program's end, says where things
// stand, where the settings are kept and the command that finishes the job.
TEST(Kv120ctl, AnInterruptedUpdateSaysHowToFinishAndTheRerunFinishesIt) {
    struct Case {
        const char* interruptedWhile;
        std::function<bool(Cli&)> now;
        QString state;
        QString finish;  // %1: the image, %2: the kept file
    };
    const Case cases[] = {
        {"the transfer", [](Cli& cli) { return cli.device.flash().blocks >= 5; },
         "The update was interrupted: the device is in its loader. ",
         "To finish: kv120ctl --port SIM update %1"},
        {"the write-back",
         [](Cli& cli) { return cli.context.form.text(Ctl::Text29).contains(u"Writing......"); },
         "The update completed, but writing back its settings was interrupted: the device holds "
         "part of them. ",
         "To finish: kv120ctl --port SIM write %2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interruptedWhile);
        Cli first;
        first.device.config().callsign = "BG7ABC";
        const QString image = first.file("image.bin");
        ASSERT_TRUE(writeBytes(image, patternBytes(64 * 1024)));
        const Clock::TimerId ctrlC = first.clock.startTimer(50, [&first, &c] {
            if (c.now(first) && !first.context.interrupted) {
                first.context.interrupt();
            }
        });
        EXPECT_EQ(first.run([&](CliContext& c) { return updateFirmware(c, image); }), kInterrupted);
        first.clock.stopTimer(ctrlC);
        const QString told = first.err();
        // The percentage of the blocks sent, as the window shows it.
        EXPECT_TRUE(told.contains(u"\n12% (4/33 blocks)\n")) << told.toStdString();
        const QString undone = first.context.undone;
        const QString kept =
            told.section(QStringLiteral("Settings kept in "), 1).section(u'\n', 0, 0);
        EXPECT_TRUE(
            undone.startsWith(c.state + QStringLiteral("Your settings are kept in ") + kept))
            << undone.toStdString();
        EXPECT_TRUE(undone.endsWith(QString(c.finish).replace("%1", image).replace("%2", kept)))
            << undone.toStdString();
        EXPECT_FALSE(told.contains(undone));
        if (first.device.inLoader()) {
            expectTheRerunFinishes(first, image);
        }
    }
}

TEST(Kv120ctl, PortsListsTheMachinesPortsWithTheirDescriptionsAndSimLast) {
    Cli cli;
    FakePortLister machine;
    machine.ports = {{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "CP2102 USB to UART", "serial:0001"}};
    EXPECT_EQ(listPorts(cli.context, machine, false), kSucceeded);
    EXPECT_EQ(cli.out(),
              "/dev/ttyACM0\t\t\n/dev/ttyUSB0\tCP2102 USB to UART\tserial:0001\n"
              "SIM\tsimulated KV120\t\n");
}

// --port auto takes the one port with an adapter behind it; with none or
// several it says so, listing them, and takes nothing.
TEST(Kv120ctl, PortAutoTakesTheOneAdapterPortElseSaysWhyAndListsThem) {
    const PortInfo builtIn{"/dev/ttyS0", ""};
    const PortInfo ch340{"/dev/ttyUSB0", "USB-serial CH340", "usb:1a86:7523@1-2"};
    const PortInfo simulator{"/tmp/kv120", "/dev/pts/3", {}, true};
    const std::tuple<QList<PortInfo>, QString, QString> cases[] = {
        {{builtIn},
         "",
         "kv120ctl: --port auto: no USB serial port is plugged in; plug in the device's cable, "
         "or name the port with --port NAME\n"},
        {{builtIn, ch340}, "/dev/ttyUSB0", ""},
        {{builtIn, ch340, simulator},
         "",
         "kv120ctl: --port auto: several USB serial ports are plugged in; name one with --port "
         "NAME:\n/dev/ttyUSB0\tUSB-serial CH340\tusb:1a86:7523@1-2\n/tmp/kv120\t/dev/pts/3\t\n"},
    };
    for (const auto& [ports, taken, told] : cases) {
        Cli cli;
        EXPECT_EQ(onlyAdapterPort(cli.context, FakePortLister(ports)), taken);
        EXPECT_EQ(cli.err(), told);
    }
}

}  // namespace
