// The programs as a user runs them: kv120ctl against kv120-sim on a
// pseudo-terminal, the window over a real serial port, and how each process
// ends: its exit status and its last line, on a signal too.
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "app/startup.h"
#include "cli/clicontext.h"
#include "cli/portsearch.h"
#include "gui/programwindow.h"
#include "process/programoutput.h"
#include "serial/portusers.h"
#include "serial/serialsettingsstore.h"
#include "settingsfile/settingsfileformat.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/serveddevice.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

namespace {

struct Ended {
    int status = -1;  // -1: crashed, or still running after 20 s
    QByteArray out;
    QByteArray err;
};

// How a program is started, run in the child before the program starts.
void closeInput() {
    ::close(STDIN_FILENO);
}

void closeOutput() {
    ::close(STDOUT_FILENO);
}

void outputToDevFull() {
    const int full = ::open("/dev/full", O_WRONLY);
    ::dup2(full, STDOUT_FILENO);
    ::close(full);
}

// Standard output is a pipe already full, whose reader (the program itself)
// never reads.
void fullOutput() {
    static char bytes[4096];
    int ends[2];
    if (::pipe(ends) == 0) {
        ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
        while (::write(ends[1], bytes, sizeof bytes) > 0) {
        }
        ::fcntl(ends[1], F_SETFL, 0);
        ::dup2(ends[1], STDOUT_FILENO);
    }
}

void ignoreHangUp() {
    std::signal(SIGHUP, SIG_IGN);  // as nohup starts it
}

// Runs the program to its end, with no display, while this process goes on
// serving events.
Ended runToEnd(const QString& program, const QStringList& arguments,
               void (*startedWith)() = nullptr) {
    QProcess process;
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        noDisplay.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(noDisplay);
    if (startedWith != nullptr) {
        process.setChildProcessModifier(startedWith);
    }
    process.start(program, arguments);
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000)) {
        process.kill();
        process.waitForFinished();
    }
    const bool exited =
        process.exitStatus() == QProcess::NormalExit && process.error() == QProcess::UnknownError;
    return {exited ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// A factory device reads as the defaults, and a file written reads back whole.
TEST(Programs, Kv120ctlReadsAndWritesKv120sim) {
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral(KV120SIM_PATH), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine(); }, 10'000));
    const QString port = QString::fromUtf8(sim.readLine()).trimmed();
    const auto kv120ctl = [&](const QStringList& arguments) {
        return runToEnd(KV120CTL_PATH,
                        QStringList{"--config-dir", dir.path(), "--port", port} + arguments);
    };
    Form form;
    fillDefaults(form);
    form.setText(DeviceSettings::callsign, QStringLiteral("BG7ABC"));
    form.setText(DeviceSettings::comment, QStringLiteral("网关 gateway"));
    const QString file = dir.filePath(QStringLiteral("station.ini"));
    ASSERT_TRUE(writeBytes(file, settingsFileBytes(form)));

    const Ended defaults = kv120ctl({"defaults"});
    const Ended factory = kv120ctl({"read"});
    const Ended written = kv120ctl({"write", file});
    const Ended back = kv120ctl({"read", dir.filePath("back.ini")});
    // The simulator holds the terminal's other side: it is the line, not a user of the port.
    EXPECT_TRUE(portUsers(port).isEmpty());
    sim.terminate();
    sim.waitForFinished();

    EXPECT_EQ(defaults.status, 0);
    EXPECT_EQ(factory.status, 0) << factory.err.toStdString();
    EXPECT_EQ(factory.out, defaults.out);
    EXPECT_TRUE(factory.out.startsWith("[KORVA]\r\n\r\nCALLSIGN:NOCALL-10\r\n"));
    EXPECT_EQ(written.status, 0) << written.err.toStdString();
    EXPECT_EQ(back.status, 0) << back.err.toStdString();
    EXPECT_TRUE(back.out.isEmpty());
    EXPECT_EQ(fileBytes(dir.filePath("back.ini")), fileBytes(file));
}

// The window as the program builds it, offscreen, its port selector on the
// served device's terminal: a click returns when its operation has ended, so
// the last block must arrive whole over the real port.
TEST(Programs, TheWindowUpdatesTheFirmwareOverARealPort) {
    ServedDevice served;
    QTemporaryDir dir;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    FakePortLister lister;
    ScriptedPrompter prompter;
    Form form;
    ProgramPorts ports(served.clock);
    runStartup(form, {0, store, lister, prompter});
    form.setText(Ctl::Combo1, served.path());
    ProgramWindow program(form, ports.link, served.clock, prompter, store, lister,
                          dir.filePath(QStringLiteral("backups")));
    program.window.show();
    const auto click = [&program](Ctl button) {
        QTest::mouseClick(program.window.findChild<QPushButton*>(nameOf(button)), Qt::LeftButton);
    };
    const QByteArray image = patternBytes(64 * 1024);
    prompter.files.push_back(dir.filePath(QStringLiteral("image.bin")));
    ASSERT_TRUE(writeBytes(prompter.files.front(), image));
    prompter.answers.push_back(false);  // no writing back of the kept settings

    click(Ctl::Command1);
    click(Ctl::Command2);

    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !program.updater.isBusy() && served.device.flash().complete; }, 30'000))
        << form.text(Ctl::Text29).toStdString();
    EXPECT_EQ(served.device.flash().image, image + QByteArray(2048, '\xFF'));
    EXPECT_TRUE(form.text(Ctl::Label2).startsWith(u"update complete"));
    EXPECT_TRUE(form.isEnabled(Ctl::Command2));
    EXPECT_FALSE(ports.link.isOpen());
    EXPECT_EQ(store.portName(), served.path());
}

// Exit statuses and what each program tells, with no display too; a port
// another kv120ctl holds, under another name, is named busy with its holder.
TEST(Programs, ExitStatusAndWhatTheyTellWithoutADisplay) {
    QTemporaryDir config;
    QTemporaryDir ownConfig;  // the holder's: it remembers the port it opened
    ServedDevice served(SimKnobs{.silent = true});
    const QString link = config.filePath(QStringLiteral("kv120"));
    ASSERT_TRUE(QFile::link(served.path(), link));
    QProcess holder;
    holder.start(KV120CTL_PATH, {"--config-dir", ownConfig.path(), "--port", link, "read"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !served.received.chunks.isEmpty(); }, 20'000));
    const QString busy = QStringLiteral(
                             "Port is open or no\n%1 is in use by kv120ctl (process %2).\nClose "
                             "the other program, then try again.\n")
                             .arg(served.path())
                             .arg(holder.processId());
    const QString ctl = QStringLiteral(KV120CTL_PATH);
    const QString version = programVersion() + u'\n';
    const QString noPort = QStringLiteral("/dev/kv120-no-such-port");
    const QString noSuchPort =
        "Port is open or no\nThere is no port " + noPort +
        ".\nkv120ctl ports lists the ports; name the device's with --port NAME.\n";
    const QString full = "kv120ctl: the output could not be written: No space left on device\n";
    const QString made = config.filePath(QStringLiteral("made/here"));  // by --config-dir
    const QString noPortGiven =
        "no port given: name it with --port NAME or --port auto (kv120ctl ports lists them)\n";
    // Two simulators plugged in, to --port auto.
    qputenv(kWatchedPortsVariable, (link + u':' + served.path()).toLocal8Bit());
    // The program, its arguments, the exit status, what standard output
    // starts with, part of standard error, and how it is started.
    const std::tuple<QString, QStringList, int, QString, QString, void (*)()> cases[] = {
        {ctl, {"--version"}, 0, "kv120ctl " + version, "", nullptr},
        {KV120SIM_PATH, {"--version"}, 0, "kv120-sim " + version, "", nullptr},
        {KV120CONFIG_PATH, {"--version"}, 0, "kv120-config " + version, "", nullptr},
        {ctl, {"--help"}, 0, "Usage: kv120ctl ", "", nullptr},
        {ctl, {"read", "--help"}, 0, "Usage: kv120ctl [options] read [FILE]\n", "", nullptr},
        {ctl, {}, 2, "", "", nullptr},
        {ctl, {"frobnicate"}, 2, "", "kv120ctl: no command frobnicate\n", nullptr},
        {ctl, {"write"}, 2, "", "", nullptr},
        {ctl, {"--lang", "fr", "defaults"}, 2, "", "", nullptr},
        {ctl, {"read"}, 2, "", noPortGiven, nullptr},
        {ctl, {"kept"}, 0, "", "", nullptr},  // needs no port
        {ctl, {"--port", noPort, "read"}, 1, "", noSuchPort, nullptr},
        {ctl, {"--port", served.path(), "read"}, 1, "", busy, nullptr},
        {ctl, {"defaults"}, 1, "", full, outputToDevFull},
        {ctl, {"--version"}, 1, "", full, outputToDevFull},
        // Standard output closed must not become the program's own signal pipe.
        {ctl, {"--port", "SIM", "read"}, 1, "", "output could not be written: Bad", closeOutput},
        {KV120SIM_PATH, {}, 1, "", "kv120-sim: the output could not be written", outputToDevFull},
        {KV120CONFIG_PATH, {"--bogus"}, 2, "", "kv120-config: Unknown option 'bogus'.", nullptr},
        {ctl, {"--config-dir", made, "defaults"}, 0, "[KORVA]", "", nullptr},
        {ctl, {"--config-dir", ctl + "/x", "defaults"}, 2, "", "Not a directory", nullptr},
        // The shell hands over "caf" and the byte E9, which is no UTF-8.
        {"/bin/sh",
         {"-c", "exec \"$0\" --port SIM wifi \"$(printf 'caf\\351')\" pw", ctl},
         2,
         "",
         "the argument \"caf\\xE9\" is not text",
         nullptr},
    };
    for (const auto& [program, arguments, status, out, err, startedWith] : cases) {
        SCOPED_TRACE(QFileInfo(program).fileName().toStdString() + ' ' +
                     arguments.join(u' ').toStdString());
        const QStringList configDir{"--config-dir", config.path()};
        const Ended run = runToEnd(
            program, (program == ctl ? configDir : QStringList()) + arguments, startedWith);
        EXPECT_EQ(run.status, status) << run.err.toStdString();
        EXPECT_TRUE(out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(out.toUtf8()))
            << run.out.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(err)) << run.err.toStdString();
    }
    EXPECT_TRUE(QFileInfo(made).isDir());
    // The system's language: Chinese for simplified Chinese in China only.
    const QString empty = config.filePath(QStringLiteral("empty.bin"));
    ASSERT_TRUE(writeBytes(empty, {}));
    for (const auto& [locale, reason] : {std::pair{"zh_CN.UTF-8", "固件文件是空的。"},
                                         {"zh_TW.UTF-8", "The image file is empty."},
                                         {"en_GB.UTF-8", "The image file is empty."}}) {
        qputenv("LC_ALL", locale);
        const Ended run =
            runToEnd(ctl, {"--config-dir", config.path(), "--port", noPort, "update", empty});
        EXPECT_TRUE(run.err.endsWith(QByteArray(reason) + '\n')) << run.err.toStdString();
    }
    qunsetenv("LC_ALL");
    qunsetenv(kWatchedPortsVariable);
    holder.terminate();
    holder.waitForFinished();
}

// ports --probe asks each adapter port for set-up mode as a read does, and
// marks those where a KV120 answers: a silent device is asked three times, a
// port that does not open is named, and a built-in port is not asked.
TEST(Programs, PortsProbeMarksThePortsWhereAKv120Answers) {
    ServedDevice kv120;
    ServedDevice silent(SimKnobs{.silent = true});
    QTemporaryDir dir;
    const QString gone = dir.filePath(QStringLiteral("gone"));
    const FakePortLister machine({{kv120.path(), "", {}, true},
                                  {silent.path(), "", {}, true},
                                  {gone, "", {}, true},
                                  {"/dev/ttyS0", ""}});
    QtClock clock;
    ProgramPorts ports(clock);
    const SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    CliContext context(clock, ports.link, store, Language::English, out, err);

    EXPECT_EQ(listPorts(context, machine, true), kSucceeded);
    context.err.flush();
    EXPECT_EQ(QString::fromUtf8(out.data()),
              kv120.path() + "\t\t\tKV120\n" + silent.path() + "\t\t\t\n" + gone +
                  "\t\t\t\n/dev/ttyS0\t\t\t\nSIM\tsimulated KV120\t\t\n");
    EXPECT_TRUE(QString::fromUtf8(err.data()).contains(gone + " could not be opened\n"))
        << err.data().toStdString();
    const QByteArray setup = "\r\nSETUP#\r\n";
    EXPECT_EQ(kv120.received.bytes(), setup);
    EXPECT_EQ(silent.received.bytes(), setup + setup + setup);
}

// True while the process waits in a kernel function whose name holds what.
bool waitsIn(qint64 pid, const char* what) {
    QFile channel(QStringLiteral("/proc/%1/wchan").arg(pid));
    return channel.open(QIODevice::ReadOnly) && channel.readAll().contains(what);
}

// A state a program waits in, each reached with its signal handlers in place.
struct State {
    const char* what;
    const char* program;
    // After --config-dir DIR, run in DIR, which holds a pipe and the port stored.
    QStringList arguments;
    const char* lastLine;             // %1: what the signal was; nullptr: no standard error
    void (*startedWith)() = nullptr;  // run in the child before the program starts
    int ignoredFromStart = 0;         // this signal changes nothing: SIGTERM then ends it
    const char* image = nullptr;      // a firmware image of this name is in DIR
};

// A long name, so that the line that names it twice is longer than a short
// buffer would hold.
#define KV_LONG_IMAGE_NAME                                                               \
    "firmware-image-with-a-name-long-enough-to-make-the-line-that-names-it-longer-than-" \
    "two-hundred-and-fifty-six-bytes.bin"

const State kStates[] = {
    // Its own descriptors then start at 0, which must not be taken for none.
    {"kv120ctl without standard input waiting for a silent device", KV120CTL_PATH,
     QStringList{"read"}, "kv120ctl: %1; the settings were not read\n", closeInput},
    {"kv120ctl writing what it read from SIM to a full pipe", KV120CTL_PATH,
     QStringList{"--port", "SIM", "read"}, "kv120ctl: %1; the settings were not read\n",
     fullOutput},
    {"kv120ctl started by nohup waiting for a silent device", KV120CTL_PATH, QStringList{"read"},
     "kv120ctl: %1; the settings were not read\n", ignoreHangUp, SIGHUP},
    {"kv120ctl reading a pipe whose writer has not written, before any port opens", KV120CTL_PATH,
     QStringList{"write", "pipe"}, "kv120ctl: %1; nothing was sent to the device\n"},
    // The line says where the device stands and the command that finishes the job.
    {"kv120ctl updating a silent device it has reset", KV120CTL_PATH,
     QStringList{"--no-keep-settings", "update", KV_LONG_IMAGE_NAME},
     "factory settings. To finish: kv120ctl --port %2 update " KV_LONG_IMAGE_NAME "\n", nullptr, 0,
     KV_LONG_IMAGE_NAME},
    {"kv120-config reading a silent device for a picture of the window", KV120CONFIG_PATH,
     QStringList{"--screenshot", "window.png", "--click", "Command6"},
     "kv120-config: %1; the window was closed, stopping the operation under way\n"},
};

// Each program ends cleanly on SIGINT, SIGTERM and SIGHUP whatever it is
// doing, blocked on a full pipe too: exit status 128 + the signal's number and
// one line on what was left undone, never the signal's silent default. A
// signal ignored from the start stays ignored.
TEST(Programs, EndCleanlyOnEverySignalInEveryState) {
    const std::pair<int, const char*> endings[] = {{SIGINT, "interrupted (SIGINT)"},
                                                   {SIGTERM, "terminated (SIGTERM)"},
                                                   {SIGHUP, "hung up (SIGHUP)"}};
    for (const State& state : kStates) {
        for (const auto& [signal, said] : endings) {
            SCOPED_TRACE(std::string(state.what) + ", " + said);
            QTemporaryDir dir;
            ServedDevice served(SimKnobs{.silent = true});
            ASSERT_TRUE(writeBytes(dir.filePath("RUVAdev.ini"),
                                   "[RUVAdev]\r\npar5=" + served.path().toUtf8() + "\r\n"));
            if (state.image != nullptr) {
                ASSERT_TRUE(writeBytes(dir.filePath(state.image), patternBytes(6000)));
            }
            QFile writer(dir.filePath(QStringLiteral("pipe")));  // holds it open, writing nothing
            ASSERT_EQ(::mkfifo(QFile::encodeName(writer.fileName()).constData(), 0600), 0);
            ASSERT_TRUE(writer.open(QIODevice::ReadWrite));
            QProcess process;
            process.setWorkingDirectory(dir.path());
            if (state.startedWith != nullptr) {
                process.setChildProcessModifier(state.startedWith);
            }
            process.start(QString::fromUtf8(state.program),
                          QStringList{"--config-dir", dir.path()} + state.arguments);
            ASSERT_TRUE(process.waitForStarted());
            const qint64 pid = process.processId();
            // kv120ctl reads its file once the handlers are installed; both
            // programs talk to the device once they are handed over.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return waitsIn(pid, "pipe") || !served.received.chunks.isEmpty(); }, 20'000));

            ::kill(static_cast<pid_t>(pid), signal);
            const bool ignored = signal == state.ignoredFromStart;
            if (ignored) {
                ::kill(static_cast<pid_t>(pid), SIGTERM);
            }
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000));
            const QByteArray err = process.readAllStandardError();

            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 128 + (ignored ? SIGTERM : signal));
            const QString line = QString::fromUtf8(state.lastLine)
                                     .replace("%1", ignored ? "terminated (SIGTERM)" : said)
                                     .replace("%2", served.path());
            EXPECT_TRUE(QString::fromUtf8(err).endsWith(line)) << err.toStdString();
        }
    }
}

// A second signal, once the first is handed over, ends the program at once.
TEST(Programs, ASecondSignalEndsAtOnce) {
    QTemporaryDir dir;
    ServedDevice served(SimKnobs{.silent = true});
    QProcess process;
    process.start(KV120CTL_PATH, {"--config-dir", dir.path(), "--port", served.path(), "read"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !served.received.chunks.isEmpty(); }, 20'000));
    // Stopped, it finds both waiting: the second comes as the first's handler returns.
    for (const int signal : {SIGSTOP, SIGINT, SIGTERM, SIGCONT}) {
        ::kill(static_cast<pid_t>(process.processId()), signal);
    }
    ASSERT_TRUE(process.waitForFinished(20'000));
    EXPECT_EQ(process.exitCode(), 128 + SIGTERM);
    EXPECT_TRUE(process.readAllStandardError().endsWith(
        "kv120ctl: terminated (SIGTERM) again; ended at once\n"));
}

}  // namespace
