// The three programs as processes: each ends cleanly on SIGINT, SIGTERM and
// SIGHUP whatever it is doing (exit status 128 + the signal's number and one
// line on what was left undone, never the signal's silent default), and each
// tells its version, with no display too.
#include "process/programoutput.h"
#include "support/serveddevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
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

// True once the process has its handler for signal in place.
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const quint64 mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (quint64{1} << (signal - 1))) != 0;
        }
    }
    return false;
}

// True while the process has path open.
bool holdsOpen(qint64 pid, const QString& path) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::System)) {
        if (fd.symLinkTarget() == path) {
            return true;
        }
    }
    return false;
}

// True while the process's main thread waits in an event loop.
bool waitsForEvents(qint64 pid) {
    QFile channel(QStringLiteral("/proc/%1/wchan").arg(pid));
    return channel.open(QIODevice::ReadOnly) && channel.readAll().contains("poll");
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
};

struct State {
    const char* what;
    const char* program;
    std::function<QStringList(Scene&)> prepare;  // the program's arguments
    std::function<bool(const Scene&, qint64 pid)> reached;
    std::function<QString(const Scene&)> undone;  // the end of the last line
};

const State kStates[] = {
    {"kv120ctl reading a pipe whose writer has not written, before any port opens", KV120CTL_PATH,
     [](Scene& s) {
         const QString pipe = s.path("settings.ini");
         EXPECT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
         s.pipeWriter = ::open(QFile::encodeName(pipe).constData(), O_RDWR);
         return QStringList{"--config-dir", s.dir.path(), "--port", "SIM", "write", pipe};
     },
     [](const Scene& s, qint64 pid) { return holdsOpen(pid, s.path("settings.ini")); },
     [](const Scene&) { return QStringLiteral("nothing was sent to the device"); }},
    {"kv120ctl waiting for a silent device", KV120CTL_PATH,
     [](Scene& s) {
         s.served = std::make_unique<ServedDevice>(SimKnobs{.silent = true});
         return QStringList{"--config-dir", s.dir.path(), "--port", s.served->path(), "read"};
     },
     [](const Scene& s, qint64) { return s.err.contains("Connection 1/20"); },
     [](const Scene&) { return QStringLiteral("the settings were not read"); }},
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
         QFile remembered(s.path("RUVAdev.ini"));
         EXPECT_TRUE(remembered.open(QIODevice::WriteOnly));
         remembered.write("[RUVAdev]\r\npar5=" + s.served->path().toUtf8() + "\r\n");
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
     [](const Scene&, qint64 pid) { return waitsForEvents(pid); },
     [](const Scene&) { return QStringLiteral("the window was closed"); }},
};

struct Signal {
    int number;
    const char* said;
};

const Signal kSignals[] = {
    {SIGINT, "interrupted (SIGINT)"},
    {SIGTERM, "terminated (SIGTERM)"},
    {SIGHUP, "hung up (SIGHUP)"},
};

TEST(Signals, EndEveryProgramCleanlyInEveryState) {
    for (const State& state : kStates) {
        for (const Signal& signal : kSignals) {
            SCOPED_TRACE(std::string(state.what) + ", " + signal.said);
            Scene scene;
            QProcess process;
            QObject::connect(&process, &QProcess::readyReadStandardOutput,
                             [&] { scene.out += process.readAllStandardOutput(); });
            QObject::connect(&process, &QProcess::readyReadStandardError,
                             [&] { scene.err += process.readAllStandardError(); });
            process.start(QString::fromUtf8(state.program), state.prepare(scene));
            ASSERT_TRUE(process.waitForStarted());
            const qint64 pid = process.processId();
            ASSERT_TRUE(QTest::qWaitFor(
                [&] { return catches(pid, signal.number) && state.reached(scene, pid); }, 20'000));

            ::kill(static_cast<pid_t>(pid), signal.number);
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20'000));
            scene.err += process.readAllStandardError();

            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(process.exitCode(), 128 + signal.number);
            const QString lastLine =
                QStringLiteral("%1: %2; %3\n")
                    .arg(QFileInfo(state.program).fileName(), signal.said, state.undone(scene));
            EXPECT_TRUE(QString::fromUtf8(scene.err).endsWith(lastLine)) << scene.err.toStdString();
            EXPECT_FALSE(QFileInfo(scene.path("link")).isSymLink());
        }
    }
}

TEST(Programs, TellTheirVersionAndHelpWithoutADisplay) {
    struct Case {
        const char* program;
        const char* argument;
        QString out;  // the start of standard output
    };
    const Case cases[] = {
        {KV120CTL_PATH, "--version", "kv120ctl " + programVersion() + '\n'},
        {KV120SIM_PATH, "--version", "kv120-sim " + programVersion() + '\n'},
        {KV120CONFIG_PATH, "--version", "kv120-config " + programVersion() + '\n'},
        {KV120CONFIG_PATH, "--help", QStringLiteral("Usage: ")},
    };
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        noDisplay.remove(QString::fromLatin1(name));
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + ' ' + c.argument);
        QProcess process;
        process.setProcessEnvironment(noDisplay);
        process.start(QString::fromUtf8(c.program), {QString::fromLatin1(c.argument)});
        ASSERT_TRUE(process.waitForFinished());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        EXPECT_TRUE(QString::fromUtf8(process.readAllStandardOutput()).startsWith(c.out));
    }
}

}  // namespace
