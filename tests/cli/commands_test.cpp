// kv120ctl's commands in virtual time against the simulated device: what they
// print, what the device received and the exit status.
#include "cli/commands.h"
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "cli/clicontext.h"
#include "clibench.h"
#include "protocol/readexchange.h"
#include "settingsfile/settingsfileformat.h"
#include "sim/simulateddevice.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The bench with the device's faults set, running commands as the program does.
struct Cli : CliBench {
    explicit Cli(SimKnobs knobs = {.bytesPerSecond = kLineRate115200}) {
        ports.device.knobs() = knobs;
    }

    int run(const std::function<int(CliContext&)>& command) {
        const int status = command(context);
        clock.advance(0);  // what was written reaches the device
        return status;
    }

    QString file(const char* name) const { return path(QString::fromLatin1(name)); }
    QString errText() { return err(); }

    SimulatedDevice& device = ports.device;
    SerialLink& link = ports.link;
};

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    EXPECT_EQ(cli.outBuffer.data(), settingsFileBytes(window));
    EXPECT_TRUE(cli.outBuffer.data().startsWith("[KORVA]\r\n\r\nCALLSIGN:BG7ABC-10\r\n"));
    EXPECT_TRUE(cli.errText().contains(u"read ok\n"));
    EXPECT_TRUE(cli.errText().contains(u"VER:KV120 V1.0\n"));
}

TEST(Cli, WriteThenReadGivesTheFileBack) {
    Cli cli;
    Form edited;
    fillDefaults(edited);
    edited.setText(DeviceSettings::callsign, QStringLiteral("AB1C"));
    edited.setText(DeviceSettings::callSsid, QStringLiteral("9"));
    edited.setText(DeviceSettings::frequency, QStringLiteral("145.8250"));
    edited.setText(DeviceSettings::comment, QStringLiteral("gateway 网关"));
    const QByteArray file = settingsFileBytes(edited);
    QFile saved(cli.file("settings.ini"));
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.write(file);
    saved.close();

    ASSERT_EQ(cli.run([&](CliContext& c) { return writeSettings(c, cli.file("settings.ini")); }),
              kSucceeded)
        << cli.errText().toStdString();
    EXPECT_EQ(cli.device.config().frequency, "145.8250");
    ASSERT_EQ(cli.run([&](CliContext& c) { return readSettings(c, cli.file("back.ini")); }),
              kSucceeded);
    EXPECT_EQ(readFile(cli.file("back.ini")), file);
    EXPECT_TRUE(cli.outBuffer.data().isEmpty());
}

TEST(Cli, DefaultsNeedNoDeviceAndAreTheSavedDefaults) {
    Cli cli;
    cli.device.unplug();
    ASSERT_EQ(cli.run([](CliContext& c) { return writeDefaults(c, {}); }), kSucceeded);
    Form defaults;
    fillDefaults(defaults);
    EXPECT_EQ(cli.outBuffer.data(), settingsFileBytes(defaults));
    EXPECT_TRUE(cli.device.received().isEmpty());
}

TEST(Cli, ExitStatusSaysHowTheOperationEnded) {
    struct Case {
        const char* name;
        SimKnobs knobs;
        bool unplugged;
        std::function<int(CliContext&)> command;
        int status;
    };
    const auto read = [](CliContext& c) { return readSettings(c, {}); };
    const auto wifi = [](CliContext& c) { return writeWifi(c, "home", "secret"); };
    const Case cases[] = {
        {"read, device silent", {.silent = true}, false, read, kFailed},
        {"read, port missing", {}, true, read, kFailed},
        {"wifi, confirmed", {}, false, wifi, kSucceeded},
        {"wifi, never confirmed", {.noWifiAck = true}, false, wifi, kFailed},
        {"restart", {}, false, [](CliContext& c) { return restart(c); }, kSucceeded},
        {"restart, port missing", {}, true, [](CliContext& c) { return restart(c); }, kFailed},
    };
    for (const Case& c : cases) {
        Cli cli(c.knobs);
        if (c.unplugged) {
            cli.device.unplug();
        }
        EXPECT_EQ(cli.run(c.command), c.status) << c.name;
        EXPECT_TRUE(cli.outBuffer.data().isEmpty()) << c.name;
        EXPECT_FALSE(cli.link.isOpen()) << c.name;
    }
}

TEST(Cli, InterruptClosesThePortAndEndsWith130) {
    Cli cli({.silent = true});
    const int status = cli.run([&](CliContext& c) {
        cli.clock.post(5000, [&] {
            c.interrupted = true;
            c.link.close();
            c.clock.abort();
        });
        try {
            return readSettings(c, {});
        } catch (const ExchangeAborted&) {
            return static_cast<int>(kInterrupted);
        }
    });
    EXPECT_EQ(status, kInterrupted);
    EXPECT_FALSE(cli.link.isOpen());
    EXPECT_LT(cli.clock.elapsedMs(), 6000);
    EXPECT_TRUE(cli.outBuffer.data().isEmpty());
}

TEST(Cli, UpdateFlashesTheImageKeepsTheSettingsAndReportsProgressByTenths) {
    Cli cli;
    cli.device.config().callsign = "BG7ABC";
    QByteArray image(64 * 1024, '\0');
    for (int i = 0; i < image.size(); ++i) {
        image[i] = static_cast<char>(i * 7 + i / 2048);
    }
    QFile file(cli.file("image.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();

    ASSERT_EQ(cli.run([&](CliContext& c) { return updateFirmware(c, cli.file("image.bin")); }),
              kSucceeded);

    QByteArray padded = image + QByteArray(2048, '\xFF');
    EXPECT_TRUE(cli.device.flash().complete);
    EXPECT_EQ(cli.device.flash().image, padded);
    const QString err = cli.errText();
    EXPECT_TRUE(err.contains(u"50% (17/33 blocks)\n"));
    EXPECT_TRUE(err.contains(u"update complete update step:100%\n")) << err.toStdString();
    // The update resets the device to its factory settings; the kept ones
    // are written back once it has restarted.
    EXPECT_EQ(cli.device.config().callsign, "BG7ABC");
}

}  // namespace
