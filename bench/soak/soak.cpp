// The window left for a long time in virtual time, as a measurement: a
// chatty device on an open port, and read/write cycles meeting random faults.
// Prints one row per figure for bench/run, and exits 1 when a bound the
// window keeps is broken. --full runs a day of chatter and a thousand cycles
// (about half an hour); the default is 20 s of chatter and 40 cycles.
#include "app/defaults.h"
#include "app/form.h"
#include "app/prompter.h"
#include "app/startup.h"
#include "gui/programwindow.h"
#include "peakmemory.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/programports.h"

#include <QApplication>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Every question answered Yes, every message and file dialog dismissed.
class AgreeingPrompter : public Prompter {
public:
    void message(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return true; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

class NoPorts : public PortLister {
public:
    QList<PortInfo> openablePorts() const override { return {}; }
    QList<PortInfo> presentPorts() const override { return {}; }
};

// The program on SIM, as start-up and the window make it.
struct Program {
    Program() : store(SerialSettingsStore::defaultPath(dir.path())) {
        store.writeCommSet(kSimPortName);
        runStartup(form, {1033, store, lister, prompter});
        window = std::make_unique<ProgramWindow>(form, ports.link, clock, prompter, store, lister,
                                                 dir.filePath(QStringLiteral("backups")));
        window->window.show();
        fillDefaults(form);
        // Between its waits the program's event loop delivers what the window
        // posts to itself (a scroll range that changed, a repaint); the
        // virtual clock runs no event loop, so this does it as the loop would.
        clock.startTimer(100, [] { QCoreApplication::sendPostedEvents(); });
    }
    void click(Ctl button) { window->window.findChild<QPushButton*>(nameOf(button))->click(); }
    bool idle() const { return !ports.link.isOpen() && !window->updater.isBusy(); }

    QTemporaryDir dir;
    SerialSettingsStore store;
    VirtualClock clock;
    ProgramPorts ports{clock};
    NoPorts lister;
    AgreeingPrompter prompter;
    Form form;
    std::unique_ptr<ProgramWindow> window;
};

void row(const char* figure, const QString& value, const char* target) {
    std::printf("%s|%s|%s\n", figure, qPrintable(value), target);
}

// Setting lines, acknowledgements, half lines and noise every 4 ms, nearly
// filling the line; memory must stop growing once the first hour has filled
// every buffer.
bool chattyDevice(qint64 runMs) {
    constexpr qint64 kHourMs = 3600LL * 1000;
    Program program;
    program.window->session.openPort();
    const QList<QByteArray> chatter = {"CALLSIGN:NOCALL-10\r\n",
                                       "CONNECT\r\n",
                                       "IP:192,168,1,99\r\n",
                                       "\xfe\x80~noise",
                                       "READ END\r\n",
                                       "freq save\r\n",
                                       "COMMENT TEXT:\xd6\xd0\xbc\xcc\r\n",
                                       QByteArray(300, 'x'),
                                       "\r\n"};
    QRandomGenerator random(3);
    qsizetype longestStatus = 0;
    program.clock.startTimer(4, [&] {
        program.ports.device.sendNoise(chatter[random.bounded(int(chatter.size()))]);
        longestStatus = qMax(longestStatus, program.form.text(Ctl::Text29).size());
    });
    const qint64 firstMs = qMin(runMs, kHourMs);
    program.clock.advance(firstMs);
    const qint64 firstPeak = peakResidentKiB();
    program.clock.advance(runMs - firstMs);
    const qint64 growth = peakResidentKiB() - firstPeak;
    const QString grown =
        runMs > kHourMs ? QStringLiteral(", +%1 KiB after the first hour").arg(growth) : QString();
    row("Soak, chatty device, peak RSS",
        QStringLiteral("%1 KiB after %2 s%3").arg(peakResidentKiB()).arg(runMs / 1000).arg(grown),
        "+<= 8192 KiB after the first hour");
    row("Soak, chatty device, longest status box", QString::number(longestStatus),
        "<= 32768 characters");
    return program.ports.link.isOpen() && longestStatus <= kStatusBoxLimit && growth <= 8 * 1024;
}

// Reads and writes one after the other, each meeting a fault drawn at random;
// every cycle must end with the port closed and the buttons idle.
bool faultCycles(int cycles) {
    Program program;
    SimulatedDevice& device = program.ports.device;
    const SimKnobs normal = device.knobs();
    QRandomGenerator random(5);
    qint64 longestMs = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        device.plugIn();
        device.knobs() = normal;
        program.ports.simulated.setBusy(false);
        const Ctl button = cycle % 2 == 0 ? Ctl::Command6 : Ctl::Command7;
        const int faultAtMs = random.bounded(3000);
        switch (random.bounded(8)) {
            case 0:
                device.knobs().silent = true;
                break;
            case 1:
                device.knobs().garbage = QByteArray("\x80\xff#\r\n", 5);
                break;
            case 2:
                device.knobs().answerDelayMs += random.bounded(2000);
                break;
            case 3:
                device.knobs().noReadEnd = true;
                device.knobs().noFreqSave = true;
                break;
            case 4:
                program.clock.post(faultAtMs, [&device] { device.unplug(); });
                break;
            case 5:
                program.clock.post(faultAtMs, [&program, button] { program.click(button); });
                break;
            case 6:
                program.ports.simulated.setBusy(true);
                break;
            default:
                break;  // no fault
        }
        const qint64 start = program.clock.elapsedMs();
        program.click(button);
        while (!program.idle() && program.clock.elapsedMs() - start < 120'000) {
            program.clock.advance(5);
        }
        program.clock.advance(3000);  // lets a posted fault fall due outside the cycle
        longestMs = qMax(longestMs, program.clock.elapsedMs() - start);
        if (!program.idle() || !program.form.isEnabled(Ctl::Command6)) {
            std::fprintf(stderr, "cycle %d did not end idle\n", cycle);
            return false;
        }
    }
    row("Soak, read/write cycles with faults",
        QStringLiteral("%1 cycles, longest %2 s virtual, peak RSS %3 KiB")
            .arg(cycles)
            .arg(double(longestMs) / 1000, 0, 'f', 1)
            .arg(peakResidentKiB()),
        "each ends idle");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool full = app.arguments().contains(QStringLiteral("--full"));
    const bool chattyHeld = chattyDevice(full ? 24 * 3600LL * 1000 : 20'000);
    const bool cyclesHeld = faultCycles(full ? 1000 : 40);
    return chattyHeld && cyclesHeld ? 0 : 1;
}
