#include "process/programoutput.h"
#include "process/terminationsignals.h"
#include "serial/qtclock.h"
#include "sim/inboundline.h"
#include "sim/pseudoterminal.h"
#include "sim/simoptions.h"
#include "sim/simstate.h"
#include "sim/simulateddevice.h"

#include <QCoreApplication>
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

// Makes path a symbolic link to target. An existing link is replaced; any
// other file in the way is left alone and is an error.
void makeLink(const QString& path, const QString& target) {
    const QFileInfo existing(path);
    if (existing.isSymLink()) {
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
    handOverTerminationSignals([&app](int signal) { app.exit(exitStatusForSignal(signal)); });
    QTextStream(stdout) << terminal.slavePath() << Qt::endl;
    // Without its path the terminal serves no one.
    const int result = std::fflush(stdout) == 0 ? app.exec() : 1;
    if (!options.linkPath.isEmpty()) {
        removeLink(options.linkPath, terminal.slavePath());
    }
    if (!options.statePath.isEmpty()) {
        keepState(options.statePath, device);
    }
    if (const int signal = terminationSignal(); signal != 0) {
        err() << "kv120-sim: " << signalDescription(signal) << "; stopped serving "
              << terminal.slavePath() << Qt::endl;
    }
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
    installTerminationSignals("kv120-sim", "no device was served");
    return statusAfterOutput("kv120-sim", run(argc, argv));
}
