// kv120ctl itself, as a user runs it, against a simulated device on a
// pseudo-terminal served by this process.
#include "sim/simstate.h"
#include "support/printers.h"
#include "support/serveddevice.h"
#include "support/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs kv120ctl to its end while this process keeps serving the device.
ProgramRun kv120ctl(const QStringList& arguments, int boundMs = 20'000) {
    QTemporaryDir config;
    QProcess process;
    process.start(QStringLiteral(KV120CTL_PATH),
                  QStringList{QStringLiteral("--config-dir"), config.path()} + arguments);
    const bool ended =
        QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, boundMs);
    if (!ended) {
        process.kill();
        process.waitForFinished();
    }
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

TEST(Kv120ctl, ReadOfAFactoryDevicePrintsTheDefaultsFile) {
    ServedDevice served;
    const ProgramRun defaults = kv120ctl({QStringLiteral("defaults")});
    const ProgramRun reading =
        kv120ctl({QStringLiteral("--port"), served.path(), QStringLiteral("read")});

    EXPECT_EQ(defaults.status, 0);
    EXPECT_EQ(reading.status, 0) << reading.err.toStdString();
    EXPECT_EQ(reading.out, defaults.out);
    EXPECT_TRUE(reading.out.startsWith("[KORVA]\r\n\r\nCALLSIGN:NOCALL-10\r\n"));
    EXPECT_TRUE(reading.err.contains("read ok\n"));
}

TEST(Kv120ctl, UpdatesTheFirmware) {
    ServedDevice served(SimKnobs{});
    QTemporaryDir dir;
    const QString imagePath = dir.filePath(QStringLiteral("image.bin"));
    const QByteArray image = patternBytes(64 * 1024);
    ASSERT_TRUE(writeBytes(imagePath, image));

    const ProgramRun update =
        kv120ctl({QStringLiteral("--port"), served.path(), QStringLiteral("--no-keep-settings"),
                  QStringLiteral("update"), imagePath});

    EXPECT_EQ(update.status, 0) << update.err.toStdString();
    EXPECT_TRUE(update.out.isEmpty());
    EXPECT_TRUE(served.device.flash().complete);
    EXPECT_EQ(served.device.flash().image, image + QByteArray(2048, '\xFF'));
    EXPECT_TRUE(update.err.endsWith("update complete update step:100%\n"))
        << update.err.toStdString();
}

// kv120-sim itself, started in its loader as after an update that did not
// finish; it keeps its flash in a state file, read once it has quit.
TEST(Kv120ctl, ThePlainUpdateFinishesADeviceSittingInItsLoader) {
    QTemporaryDir dir;
    const QString statePath = dir.filePath(QStringLiteral("sim.json"));
    QProcess sim;
    sim.start(QStringLiteral(KV120_SIM_PATH),
              {QStringLiteral("--in-loader"), QStringLiteral("--state"), statePath});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine(); }, 10'000));
    const QString port = QString::fromUtf8(sim.readLine()).trimmed();
    const QString imagePath = dir.filePath(QStringLiteral("image.bin"));
    const QByteArray image = patternBytes(20'000);
    ASSERT_TRUE(writeBytes(imagePath, image));

    const ProgramRun update =
        kv120ctl({QStringLiteral("--port"), port, QStringLiteral("update"), imagePath});
    sim.terminate();
    ASSERT_TRUE(sim.waitForFinished(10'000));

    EXPECT_EQ(update.status, 0) << update.err.toStdString();
    EXPECT_TRUE(update.err.contains("The device is waiting in its loader"))
        << update.err.toStdString();
    EXPECT_FALSE(update.err.contains("Update without keeping them?"));
    EXPECT_TRUE(update.err.endsWith("update complete update step:100%\n"));
    const SimFlash flash = readSimStateFile(statePath).flash;
    EXPECT_TRUE(flash.complete);
    EXPECT_EQ(flash.length, image.size());
    EXPECT_EQ(flash.image, image + QByteArray(10 * 2048 - image.size(), '\xFF'));
}

TEST(Kv120ctl, ExitStatusForUsageAndMissingPorts) {
    struct Case {
        QStringList arguments;
        int status;
        const char* told = "";  // part of standard error
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{"read", "--help"}, 0},
        {{"--version"}, 0},
        {{}, 2},
        {{"frobnicate"}, 2},
        {{"write"}, 2},
        {{"wifi", "only-the-ssid"}, 2},
        {{"--lang", "fr", "defaults"}, 2},
        {{"read"}, 2, "no port given: name it with --port NAME (kv120ctl ports lists them)\n"},
        {{"--port", "", "restart"}, 2, "no port given"},
        {{"--port", "/dev/kv120-no-such-port", "read"}, 1, "Port is open or no"},
        {{"--port", "/dev/kv120-no-such-port", "restart"}, 1, "Port is open or no"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = kv120ctl(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(c.told)) << run.err.toStdString();
        if (c.status != 0) {
            EXPECT_TRUE(run.out.isEmpty());
        }
    }
}

TEST(Kv120ctl, OutputThatCannotBeWrittenFails) {
    for (const char* command : {"defaults", "ports", "--version"}) {
        SCOPED_TRACE(command);
        QTemporaryDir config;
        QProcess process;
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
        process.start(QStringLiteral(KV120CTL_PATH), {QStringLiteral("--config-dir"), config.path(),
                                                      QString::fromLatin1(command)});
        ASSERT_TRUE(process.waitForFinished());
        EXPECT_EQ(process.exitCode(), 1);
        EXPECT_EQ(process.readAllStandardError(),
                  "kv120ctl: the output could not be written: No space left on device\n");
    }
}

TEST(Kv120ctl, OneDeviceUnderTwoNamesOpensOnce) {
    ServedDevice served(SimKnobs{.silent = true});
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("kv120"));
    ASSERT_TRUE(QFile::link(served.path(), link));
    QProcess holder;
    QByteArray holderErr;
    QObject::connect(&holder, &QProcess::readyReadStandardError,
                     [&] { holderErr += holder.readAllStandardError(); });
    holder.start(QStringLiteral(KV120CTL_PATH),
                 {QStringLiteral("--config-dir"), dir.path(), QStringLiteral("--port"), link,
                  QStringLiteral("read")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return holderErr.contains("Connection 1/20"); }, 20'000));

    const ProgramRun second =
        kv120ctl({QStringLiteral("--port"), served.path(), QStringLiteral("read")});

    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(second.err.contains(
        QStringLiteral("Port is open or no\nthe port is in use by another program (kv120ctl, "
                       "process %1)\n")
            .arg(holder.processId())
            .toUtf8()))
        << second.err.toStdString();
    EXPECT_FALSE(second.err.contains("dialout"));
    holder.terminate();
    holder.waitForFinished();
}

}  // namespace
