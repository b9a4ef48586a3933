// The programs as a user runs them: kv120ctl against kv120-sim on a
// pseudo-terminal, the window over a real serial port, and how each process
// ends: its exit status and its last line, on a signal too.
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/startup.h"
#include "gui/programwindow.h"
#include "process/programoutput.h"
#include "serial/serialsettingsstore.h"
#include "settingsfile/settingsfileformat.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/serveddevice.h"
#include "support/testfiles.h"

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
#include <functional>
#include <memory>

namespace {

struct Ended {
    int status = -1;  // -1: crashed, or still running after 20 s
    QByteArray out;
    QByteArray err;
};

// Runs the program to its end while this process goes on serving events.
Ended runToEnd(const QString& program, const QStringList& arguments,
               const std::function<void(QProcess&)>& prepare = {}) {
    QProcess process;
    if (prepare) {
        prepare(process);
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
    QByteArray held;
    QObject::connect(&holder, &QProcess::readyReadStandardError,
                     [&] { held += holder.readAllStandardError(); });
    holder.start(KV120CTL_PATH, {"--config-dir", ownConfig.path(), "--port", link, "read"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return held.contains("Connection 1/20"); }, 20'000));
    const QString busy = QStringLiteral(
                             "Port is open or no\nthe port is in use by another program "
                             "(kv120ctl, process %1)\n")
                             .arg(holder.processId());
    const QString ctl = QStringLiteral(KV120CTL_PATH);
    const QString noPort = QStringLiteral("/dev/kv120-no-such-port");
    const QString full = "kv120ctl: the output could not be written: No space left on device\n";
    struct Case {
        QString program;
        QStringList arguments;
        int status;
        QString out;       // what standard output starts with
        QString err = "";  // part of standard error
        bool outputFull = false;
    };
    const Case cases[] = {
        {ctl, {"--version"}, 0, "kv120ctl " + programVersion() + '\n'},
        {KV120SIM_PATH, {"--version"}, 0, "kv120-sim " + programVersion() + '\n'},
        {KV120CONFIG_PATH, {"--version"}, 0, "kv120-config " + programVersion() + '\n'},
        {KV120CONFIG_PATH, {"--help"}, 0, "Usage: "},
        {ctl, {"--help"}, 0, "Usage: kv120ctl "},
        {ctl, {"read", "--help"}, 0, "Usage: kv120ctl [options] read [FILE]\n"},
        {ctl, {}, 2, ""},
        {ctl, {"frobnicate"}, 2, "", "kv120ctl: no command frobnicate\n"},
        {ctl, {"write"}, 2, ""},
        {ctl, {"--lang", "fr", "defaults"}, 2, ""},
        {ctl,
         {"read"},
         2,
         "",
         "no port given: name it with --port NAME (kv120ctl ports lists them)\n"},
        {ctl, {"--port", "", "restart"}, 2, "", "no port given"},
        {ctl, {"--port", noPort, "read"}, 1, "", "Port is open or no"},
        {ctl, {"--port", noPort, "restart"}, 1, "", "Port is open or no"},
        {ctl, {"--port", served.path(), "read"}, 1, "", busy},
        {ctl, {"defaults"}, 1, "", full, true},
        {ctl, {"ports"}, 1, "", full, true},
        {ctl, {"--version"}, 1, "", full, true},
    };
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        noDisplay.remove(QString::fromLatin1(name));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(QFileInfo(c.program).fileName().toStdString() + ' ' +
                     c.arguments.join(u' ').toStdString());
        const QStringList configDir{"--config-dir", config.path()};
        const Ended run =
            runToEnd(c.program, (c.program == ctl ? configDir : QStringList{}) + c.arguments,
                     [&](QProcess& process) {
                         process.setProcessEnvironment(noDisplay);
                         if (c.outputFull) {
                             process.setStandardOutputFile(QStringLiteral("/dev/full"));
                         }
                     });
        EXPECT_EQ(run.status, c.status) << run.err.toStdString();
        EXPECT_TRUE(c.out.isEmpty() ? run.out.isEmpty() : run.out.startsWith(c.out.toUtf8()))
            << run.out.toStdString();
        EXPECT_TRUE(QString::fromUtf8(run.err).contains(c.err)) << run.err.toStdString();
    }
    holder.terminate();
    holder.waitForFinished();
}

// True while the process waits in a kernel function whose name holds what.
bool waitsIn(qint64 pid, const char* what) {
    QFile channel(QStringLiteral("/proc/%1/wchan").arg(pid));
    return channel.open(QIODevice::ReadOnly) && channel.readAll().contains(what);
}

// What one state needs while the program runs in it.
struct Scene {
    QTemporaryDir dir;
    std::unique_ptr<ServedDevice> served;
    int pipeWriter = -1;
    QByteArray out;
    QByteArray err;

    ~Scene() {
        if (pipeWriter >= 0) {
            ::close(pipeWriter);
        }
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList silentDevice(const char* command) {
        served = std::make_unique<ServedDevice>(SimKnobs{.silent = true});
        return {"--config-dir", dir.path(), "--port", served->path(), command};
    }
};

struct State {
    const char* what;
    const char* program;
    std::function<QStringList(Scene&)> prepare;  // the program's arguments
    std::function<bool(const Scene&, qint64 pid)> reached;
    std::function<QString(const Scene&)> undone;  // the end of the last line
    bool inputClosed = false;                     // started without standard input
};

const auto kReadingASilentDevice = [](const Scene& s, qint64) {
    return s.err.contains("Connection 1/20");
};
const auto kNotRead = [](const Scene&) { return QStringLiteral("the settings were not read"); };

const State kStates[] = {
    {"kv120ctl reading a pipe whose writer has not written, before any port opens", KV120CTL_PATH,
     [](Scene& s) {
         const QByteArray pipe = QFile::encodeName(s.path("settings.ini"));
         EXPECT_EQ(::mkfifo(pipe.constData(), 0600), 0);
         s.pipeWriter = ::open(pipe.constData(), O_RDWR);
         return QStringList{"--config-dir", s.dir.path(), "--port",
                            "SIM",          "write",      s.path("settings.ini")};
     },
     [](const Scene&, qint64 pid) { return waitsIn(pid, "pipe"); },
     [](const Scene&) { return QStringLiteral("nothing was sent to the device"); }},
    {"kv120ctl waiting for a silent device", KV120CTL_PATH,
     [](Scene& s) { return s.silentDevice("read"); }, kReadingASilentDevice, kNotRead},
    // Its own descriptors then start at 0, which must not be taken for none.
    {"kv120ctl without standard input waiting for a silent device", KV120CTL_PATH,
     [](Scene& s) { return s.silentDevice("read"); }, kReadingASilentDevice, kNotRead, true},
    {"kv120-sim serving its terminal", KV120SIM_PATH,
     [](Scene& s) {
         return QStringList{"--link", s.path("link")};
     },
     [](const Scene& s, qint64) { return s.out.endsWith('\n'); },
     [](const Scene& s) {
         return QStringLiteral("stopped serving ") + QString::fromUtf8(s.out.trimmed());
     }},
    {"kv120-config reading a silent device for a picture of the window", KV120CONFIG_PATH,
     [](Scene& s) {
         s.served = std::make_unique<ServedDevice>(SimKnobs{.silent = true});
         EXPECT_TRUE(writeBytes(s.path("RUVAdev.ini"),
                                "[RUVAdev]\r\npar5=" + s.served->path().toUtf8() + "\r\n"));
         return QStringList{"--config-dir",       s.dir.path(), "--screenshot",
                            s.path("window.png"), "--click",    "Command6"};
     },
     [](const Scene& s, qint64) { return !s.served->device.received().isEmpty(); },
     [](const Scene&) {
         return QStringLiteral("the window was closed, stopping the operation under way");
     }},
    {"kv120-config waiting with its start-up message shown", KV120CONFIG_PATH,
     [](Scene& s) {
         return QStringList{"--config-dir", s.dir.path(), "--lang", "en"};
     },
     [](const Scene&, qint64 pid) { return waitsIn(pid, "poll"); },
     [](const Scene&) { return QStringLiteral("the window was closed"); }},
};

// Each program ends cleanly on SIGINT, SIGTERM and SIGHUP whatever it is
// doing: exit status 128 + the signal's number and one line on what was left
// undone, never the signal's silent default.
TEST(Programs, EndCleanlyOnEverySignalInEveryState) {
    const std::pair<int, const char*> endings[] = {
        {SIGINT, "interrupted (SIGINT)"},
        {SIGTERM, "terminated (SIGTERM)"},
        {SIGHUP, "hung up (SIGHUP)"},
    };
    for (const State& state : kStates) {
        for (const auto& [signal, said] : endings) {
            SCOPED_TRACE(std::string(state.what) + ", " + said);
            Scene scene;
            QProcess process;
            QObject::connect(&process, &QProcess::readyReadStandardOutput,
                             [&] { scene.out += process.readAllStandardOutput(); });
            QObject::connect(&process, &QProcess::readyReadStandardError,
                             [&] { scene.err += process.readAllStandardError(); });
            if (state.inputClosed) {
                process.setChildProcessModifier([] { ::close(STDIN_FILENO); });
            }
            process.start(QString::fromUtf8(state.program), state.prepare(scene));
            ASSERT_TRUE(process.waitForStarted());
            const qint64 pid = process.processId();
            // Every state comes after the handlers are in place.
            ASSERT_TRUE(QTest::qWaitFor([&] { return state.reached(scene, pid); }, 20'000));

            ::kill(static_cast<pid_t>(pid), signal);
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000));
            scene.err += process.readAllStandardError();

            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 128 + signal);
            const QString lastLine =
                QStringLiteral("%1: %2; %3\n")
                    .arg(QFileInfo(state.program).fileName(), said, state.undone(scene));
            EXPECT_TRUE(QString::fromUtf8(scene.err).endsWith(lastLine)) << scene.err.toStdString();
            EXPECT_FALSE(QFileInfo(scene.path("link")).isSymLink());
        }
    }
}

}  // namespace
