#include "process/processstart.h"
#include "process/programoutput.h"
#include "process/terminationsignals.h"
#include "serial/qtclock.h"
#include "sim/inboundline.h"
#include "sim/pseudoterminal.h"
#include "sim/simoptions.h"
#include "sim/simstate.h"
#include "sim/simulateddevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <stdexcept>

namespace {

// Saves are gathered: a transfer changes the flash with every block.
constexpr int kSaveAfterMs = 500;

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// The other kv120-sim process that holds the terminal open, or 0 when none does
// (or this system cannot tell). A simulator keeps its terminal open while it
// serves; a terminal's number is reused once it has ended.
qint64 simulatorServing(const QString& terminal) {
#ifdef Q_OS_LINUX
    const QDir processes(QStringLiteral("/proc"));
    for (const QString& pid : processes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(processes.filePath(pid + QStringLiteral("/comm")));
        // This simulator may have been given the terminal number just freed.
        if (pid.toLongLong() == 0 || pid.toLongLong() == QCoreApplication::applicationPid() ||
            !name.open(QIODevice::ReadOnly) || name.readAll().trimmed() != "kv120-sim") {
            continue;
        }
        const QDir open(processes.filePath(pid + QStringLiteral("/fd")));
        for (const QString& fd : open.entryList(QDir::AllEntries | QDir::System)) {
            if (QFile::symLinkTarget(open.filePath(fd)) == terminal) {
                return pid.toLongLong();
            }
        }
    }
#else
    Q_UNUSED(terminal);
#endif
    return 0;
}

// Makes path a symbolic link to target. A link another simulator serves on
// is refused; any other link is replaced (a simulator that was killed leaves
// its link behind); any other file in the way is left alone and is an error.
void makeLink(const QString& path, const QString& target) {
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
        if (const qint64 pid = simulatorServing(existing.symLinkTarget()); pid != 0) {
            throw std::runtime_error(
                QStringLiteral("%1 is the link of the kv120-sim serving %2 (process %3): give "
                               "another --link, or end that one first")
                    .arg(path, existing.symLinkTarget())
                    .arg(pid)
                    .toStdString());
        }
        QFile::remove(path);
    } else if (existing.exists()) {
        throw std::runtime_error(path.toStdString() + " exists and is not a link");
    }
    if (!QFile::link(target, path)) {
        throw std::runtime_error("cannot make the link " + path.toStdString());
    }
}

// Removes the link unless something else has taken its place meanwhile.
void removeLink(const QString& path, const QString& target) {
    if (QFileInfo(path).symLinkTarget() == QFileInfo(target).absoluteFilePath()) {
        QFile::remove(path);
    }
}

void keepState(const QString& path, const SimulatedDevice& device) {
    try {
        writeSimStateFile(path, {device.config(), device.flash()});
    } catch (const std::runtime_error& error) {
        err() << "kv120-sim: cannot keep the state in " << path << ": " << error.what() << Qt::endl;
    }
}

int serve(QCoreApplication& app, const SimOptions& options) {
    QtClock clock;
    SimulatedDevice device(clock, options.knobs);
    if (!options.statePath.isEmpty()) {
        const SimState state = readSimStateFile(options.statePath);
        device.config() = state.config;
        device.setFlash(state.flash);
    }
    if (options.inLoader) {
        device.startInLoader();
    }
    PseudoTerminal terminal;
    terminal.open();
    // The terminal hands over at once what the program wrote; the line
    // carries it at the line rate, as the device's serial port would.
    InboundLine inbound(device, clock);
    terminal.setReceiver([&](const QByteArray& bytes) { inbound.carry(bytes); });
    device.setSender([&](const QByteArray& bytes) { terminal.write(bytes); });
    device.setGoneHandler([&] {
        err() << "kv120-sim: the device went away" << Qt::endl;
        terminal.close();
        app.quit();
    });
    QTimer save;
    save.setSingleShot(true);
    save.setInterval(kSaveAfterMs);
    QObject::connect(&save, &QTimer::timeout, [&] { keepState(options.statePath, device); });
    if (!options.statePath.isEmpty()) {
        device.setChangeHandler([&] { save.start(); });
    }
    if (!options.linkPath.isEmpty()) {
        makeLink(options.linkPath, terminal.slavePath());
    }
    // A signal ends the event loop, so the link is removed and the state kept.
    handOverTerminationSignals([&app](int signal) { app.exit(exitStatusForSignal(signal)); },
                               QStringLiteral("stopped serving ") + terminal.slavePath());
    // Without its path the terminal serves no one.
    const QByteArray announced = terminal.slavePath().toLocal8Bit() + '\n';
    const bool announcedWhole =
        std::fputs(announced.constData(), stdout) >= 0 && std::fflush(stdout) == 0;
    const int result = announcedWhole ? app.exec() : 1;
    if (!options.linkPath.isEmpty()) {
        removeLink(options.linkPath, terminal.slavePath());
    }
    if (!options.statePath.isEmpty()) {
        keepState(options.statePath, device);
    }
    tellTermination();
    return result;
}

int run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const SimCommandLine line = parseSimCommandLine(app.arguments());
    if (!line.run) {
        QTextStream(line.failed ? stderr : stdout) << line.message << Qt::endl;
        return line.failed ? 2 : 0;
    }
    try {
        return serve(app, line.options);
    } catch (const std::runtime_error& error) {
        err() << "kv120-sim: " << error.what() << Qt::endl;
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    holdClosedStandardDescriptors();
    if (refusesUndecodableArgument("kv120-sim", argc, argv)) {
        return 2;
    }
    installTerminationSignals("kv120-sim", "no device was served");
    return statusAfterOutput("kv120-sim", run(argc, argv));
}
