// Every operation of the window against every fault of the device, the port
// or the user, in virtual time: the program neither crashes nor hangs, tells
// the user, lets go of the port, leaves the buttons usable and damages
// neither a saved settings file nor the loaded image. What each cell ends in
// and what the user is told is the table of docs/RELIABILITY.md, word for word.
#include "protocol/commands.h"
#include "reliabilityrig.h"
#include "update/loaderprotocol.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace {

enum class Op { Read, Write, Wifi, Restart, UpdateStart, LoaderWait, Transfer };
enum class Fault {
    PortMissing,
    PortBusy,
    Silent,
    Disconnect,
    Garbage,
    Flood,
    LateAck,
    SecondClick,
    OtherButtons,
    WindowClosed
};

struct CellResult {
    bool finishedInTime = false;  // within the bound, with no wait left running
    bool portClosed = false;
    bool buttonsUsable = false;   // enabled, with their idle captions
    bool followUpWorked = false;  // a read (or, from the loader, an update) afterwards succeeds
    bool filesIntact = false;     // the saved settings file and the loaded image unchanged
    // "completed" (the operation did its work), "reported" (it ended early
    // and said why) or "cancelled" (a click or the closing window ended it).
    const char* outcome = "";
    QString told;  // the last thing the user was told
    size_t messageBoxes = 0;
    QString buttons;               // the buttons' captions and states, when not usable
    qint64 endedAfterFaultMs = 0;  // from the fault to the operation's end
};

constexpr qint64 kBoundMs = 400'000;
constexpr qsizetype kFloodBytes = 1 << 20;
constexpr qsizetype kFloodChunk = 4096;

constexpr std::array kButtons = {Ctl::Command0, Ctl::Command1, Ctl::Command2,
                                 Ctl::Command4, Ctl::Command5, Ctl::Command6,
                                 Ctl::Command7, Ctl::Command8, Ctl::Command9};

struct OpInfo {
    const char* name;
    Ctl button;
    int waitStepMs;  // how long the operation waits between looks for its answer
};

// In the order of Op.
const OpInfo kOps[] = {
    {"read", Ctl::Command6, 1000},
    {"write", Ctl::Command7, 500},
    {"WiFi write", Ctl::Command8, 800},
    {"restart", Ctl::Command9, 500},
    {"update start", Ctl::Command2, 1000},
    {"loader wait", Ctl::Command2, Updater::kLoaderWaitIntervalMs},
    {"transfer", Ctl::Command2, Updater::kTransferTickMs},
};

const OpInfo& info(Op op) {
    return kOps[static_cast<size_t>(op)];
}

const char* faultName(Fault fault) {
    constexpr std::array names = {"port missing",  "port busy",    "device silent", "disconnect",
                                  "garbage",       "1 MiB flood",  "late ack",      "second click",
                                  "other buttons", "window closed"};
    return names[static_cast<size_t>(fault)];
}

bool injectedAtWorstMoment(Fault fault) {
    return fault == Fault::Disconnect || fault == Fault::Flood || fault == Fault::SecondClick ||
           fault == Fault::OtherButtons || fault == Fault::WindowClosed;
}

class Cell {
public:
    Cell(Op op, Fault fault) : op_(op), fault_(fault), initialKnobs_(rig_.ports.device.knobs()) {}

    CellResult run() {
        snapshot();
        // Faults of the device and the port stand from the click on for the
        // configuration operations, and from the moment their phase begins
        // for the loader wait and the transfer.
        const bool atPhase = op_ == Op::LoaderWait || op_ == Op::Transfer;
        if (!injectedAtWorstMoment(fault_) && !atPhase) {
            inject();
        }
        const auto due = [this, atPhase] {
            return injectedAtWorstMoment(fault_) ? worstMoment() : atPhase && phaseBegun();
        };
        const Clock::TimerId watch = rig_.clock.startTimer(5, [this, due] {
            if (!injected_ && due()) {
                inject();
            }
        });
        rig_.clock.post(kBoundMs, [this] { rig_.clock.abort(); });
        const qint64 start = rig_.clock.elapsedMs();
        rig_.click(info(op_).button);
        bool settled = rig_.runUntil([this] { return idle(); }, kBoundMs);
        const qint64 endedAt = rig_.clock.elapsedMs();
        // Nothing starts again by itself afterwards.
        rig_.clock.advance(2000);
        settled = settled && idle();
        rig_.clock.stopTimer(watch);
        CellResult result;
        const bool closed = fault_ == Fault::WindowClosed;
        result.finishedInTime = settled && rig_.clock.elapsedMs() - start < kBoundMs &&
                                rig_.clock.isAborted() == closed;
        result.endedAfterFaultMs = endedAt - injectedAtMs_;
        result.portClosed = !rig_.ports.link.isOpen();
        result.filesIntact = filesIntact();
        result.outcome = outcome();
        describeTelling(result);
        result.messageBoxes = rig_.prompter.messages.size();
        result.buttonsUsable = closed || buttonsUsable(result.buttons);
        result.followUpWorked = closed || followUp();
        return result;
    }

private:
    QByteArray received() const { return rig_.bytesReceived(); }

    bool phaseBegun() const {
        if (op_ == Op::LoaderWait) {
            return rig_.ports.device.inLoader();
        }
        return received().contains(lengthPacket(ReliabilityRig::imageFile().size()));
    }

    // The moment a fault does the most harm: in the middle of the answers,
    // between the commands, in the loader's first waits, between blocks.
    bool worstMoment() const {
        const QByteArray bytes = received();
        switch (op_) {
            case Op::Read:
                return bytes.contains(Commands::read());
            case Op::Write:
                return bytes.count('#') >= 3;
            case Op::Wifi:
                return bytes.contains("AT+WIFI");
            case Op::Restart:
                return bytes.contains(Commands::reboot());
            case Op::UpdateStart:
                return bytes.contains(Commands::reset());
            case Op::LoaderWait:
                return rig_.ports.device.inLoader() && bytes.endsWith(probePacket());
            case Op::Transfer:
                return rig_.ports.device.flash().blocks >= 1;
        }
        return false;
    }

    void inject() {
        injected_ = true;
        injectedAtMs_ = rig_.clock.elapsedMs();
        SimulatedDevice& device = rig_.ports.device;
        switch (fault_) {
            case Fault::PortMissing:
            case Fault::Disconnect:
                device.unplug();
                break;
            case Fault::PortBusy:
                rig_.ports.simulated.setBusy(true);
                break;
            case Fault::Silent:
                device.knobs().silent = true;
                break;
            case Fault::Garbage:
                device.knobs().garbage = QByteArray("\xfe\x80~\x01noise\xff\r\n", 11);
                break;
            case Fault::Flood:
                flood();
                break;
            case Fault::LateAck:
                device.knobs().answerDelayMs += info(op_).waitStepMs;
                break;
            case Fault::SecondClick:
                rig_.click(info(op_).button);
                break;
            case Fault::OtherButtons:
                for (const Ctl button : kButtons) {
                    if (button != info(op_).button) {
                        rig_.click(button);
                    }
                }
                break;
            case Fault::WindowClosed:
                rig_.window->close();
                break;
        }
    }

    void flood() {
        QRandomGenerator random(8);
        for (qsizetype sent = 0; sent < kFloodBytes; sent += kFloodChunk) {
            QByteArray chunk(kFloodChunk, Qt::Uninitialized);
            random.fillRange(reinterpret_cast<quint32*>(chunk.data()), kFloodChunk / 4);
            rig_.ports.device.sendNoise(chunk);
        }
    }

    bool idle() const { return !rig_.ports.link.isOpen() && !rig_.updater.isBusy(); }

    void snapshot() {
        rig_.prompter.messages.clear();  // the start-up's language notice
        statusBefore_ = rig_.form.text(Ctl::Text29);
        progressBefore_ = rig_.form.text(Ctl::Label2);
        for (const Ctl button : kButtons) {
            enabledBefore_[button] = rig_.form.isEnabled(button);
            captionsBefore_[button] = rig_.form.text(button);
        }
    }

    bool completed() const {
        const QString status = rig_.form.text(Ctl::Text29);
        switch (op_) {
            case Op::Read:
                return status.contains(rig_.session.tr(Msg::ReadOk));
            case Op::Write:
                return status.contains(rig_.session.tr(Msg::WriteComplete));
            case Op::Wifi:
                return status.contains(rig_.session.tr(Msg::WifiWriteComplete));
            case Op::Restart:
                // Its two restart commands, one after the other: a WiFi write
                // that another click ran in between sends one of its own.
                return received().contains(Commands::reboot() + Commands::reboot());
            case Op::UpdateStart:
            case Op::LoaderWait:
            case Op::Transfer:
                break;
        }
        return rig_.ports.device.flash().complete;
    }

    const char* outcome() const {
        if (completed()) {
            return "completed";
        }
        const bool byUser = fault_ == Fault::SecondClick || fault_ == Fault::OtherButtons ||
                            fault_ == Fault::WindowClosed;
        return byUser ? "cancelled" : "reported";
    }

    void describeTelling(CellResult& result) const {
        const QString status = rig_.form.text(Ctl::Text29);
        if (!rig_.prompter.messages.empty()) {
            result.told = rig_.prompter.messages.back().text.section(u'\n', 0, 0);
        } else if (status != statusBefore_) {
            const QStringList lines = status.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            result.told = lines.isEmpty() ? QString() : lines.back().trimmed();
        } else if (rig_.form.text(Ctl::Label2) != progressBefore_) {
            result.told = rig_.form.text(Ctl::Label2);
        }
    }

    // Enabled as before the click, each with its caption from before, its
    // idle caption or "Port is open", the caption a click that found the port
    // open leaves until the next click.
    bool buttonsUsable(QString& shown) const {
        const QString portOpen = rig_.session.tr(Msg::PortIsOpen);
        const std::pair<Ctl, Msg> idle[] = {{Ctl::Command2, Msg::UpdateButtonIdle},
                                            {Ctl::Command6, Msg::ReadButtonIdle},
                                            {Ctl::Command7, Msg::WriteButtonIdle},
                                            {Ctl::Command8, Msg::WifiButtonIdle},
                                            {Ctl::Command9, Msg::RestartButtonIdle}};
        bool usable = rig_.form.isEnabled(Ctl::Combo1);
        shown = rig_.form.isEnabled(Ctl::Combo1) ? u"Combo1+ "_qs : u"Combo1- "_qs;
        for (const auto& [button, caption] : idle) {
            const QString text = rig_.form.text(button);
            // An update start that failed may leave "update..."; the next
            // click on it is the cancel that restores "update".
            const bool updateLeftBusy =
                button == Ctl::Command2 && text == rig_.session.tr(Msg::UpdateButtonBusy);
            usable = usable && (text == rig_.session.tr(caption) || text == portOpen ||
                                text == captionsBefore_.at(button) || updateLeftBusy);
            shown += nameOf(button) + u'=' + text + u' ';
        }
        for (const Ctl button : kButtons) {
            const bool enabled = rig_.form.isEnabled(button);
            // A read that fails leaves "Write data" disabled until a read
            // completes; an update reads the settings it keeps first.
            const bool mayStayOff =
                button == Ctl::Command7 && (op_ == Op::Read || op_ == Op::UpdateStart);
            usable = usable && (enabled || !enabledBefore_.at(button) || mayStayOff);
            shown += nameOf(button) + (enabled ? u'+' : u'-');
        }
        return usable;
    }

    bool filesIntact() const {
        return fileBytes(rig_.settingsFile) == ReliabilityRig::kSavedSettings &&
               rig_.updater.image().buffer == padImage(ReliabilityRig::imageFile()).buffer &&
               rig_.updater.image().length == ReliabilityRig::imageFile().size();
    }

    // With the fault gone, the user's next attempt succeeds: a read, or an
    // update when the device was left in its loader.
    bool followUp() {
        SimulatedDevice& device = rig_.ports.device;
        if (fault_ == Fault::Flood) {
            // The rest of the megabyte is still on the line.
            rig_.clock.advance(kFloodBytes * 1000 / kLineRate115200);
        }
        device.plugIn();
        device.knobs() = initialKnobs_;
        rig_.ports.simulated.setBusy(false);
        rig_.prompter.messages.clear();
        if (rig_.form.text(Ctl::Command2) == rig_.session.tr(Msg::UpdateButtonBusy)) {
            rig_.click(Ctl::Command2);
        }
        if (device.inLoader()) {
            rig_.click(Ctl::Command2);
            return rig_.runUntil([&] { return device.flash().complete && idle(); }, 120'000);
        }
        rig_.form.setStatus(QString());
        rig_.click(Ctl::Command6);
        return rig_.runUntil([this] { return idle(); }, 60'000) &&
               rig_.form.text(Ctl::Text29).contains(rig_.session.tr(Msg::ReadOk)) &&
               rig_.form.text(Ctl::Command6) == rig_.session.tr(Msg::ReadButtonIdle);
    }

    ReliabilityRig rig_;
    Op op_;
    Fault fault_;
    SimKnobs initialKnobs_;
    bool injected_ = false;
    qint64 injectedAtMs_ = 0;
    QString statusBefore_;
    QString progressBefore_;
    std::map<Ctl, bool> enabledBefore_;
    std::map<Ctl, QString> captionsBefore_;
};

QString cellName(Op op, Fault fault) {
    return QString::fromLatin1(info(op).name) + QStringLiteral(" x ") +
           QString::fromLatin1(faultName(fault));
}

QString reportLine(Op op, Fault fault, const CellResult& result) {
    const QString followUp =
        result.followUpWorked ? QStringLiteral("works") : QStringLiteral("fails");
    // The kept settings' folder and time differ from run to run.
    QString told = result.told;
    told.replace(QRegularExpression(QStringLiteral("/\\S*/KV120-settings-[0-9-]+\\.ini")),
                 QStringLiteral("…/KV120-settings-….ini"));
    return QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
        .arg(QString::fromLatin1(info(op).name), QString::fromLatin1(faultName(fault)),
             QString::fromLatin1(result.outcome), told, followUp);
}

QSet<QString> documentedRows() {
    QFile document(QStringLiteral(KV_SOURCE_DIR "/docs/RELIABILITY.md"));
    EXPECT_TRUE(document.open(QIODevice::ReadOnly));
    QSet<QString> rows;
    for (const QByteArray& line : document.readAll().split('\n')) {
        rows.insert(QString::fromUtf8(line) + u'\n');
    }
    return rows;
}

TEST(FaultMatrix, EveryOperationSurvivesEveryFault) {
    const QSet<QString> documented = documentedRows();
    // KV_FAULT_MATRIX_REPORT names a file for the table in docs/RELIABILITY.md.
    QFile report(qEnvironmentVariable("KV_FAULT_MATRIX_REPORT"));
    const bool reporting = !report.fileName().isEmpty() && report.open(QIODevice::WriteOnly);
    for (int op = 0; op < 7; ++op) {
        for (int fault = 0; fault < 10; ++fault) {
            const Op o = static_cast<Op>(op);
            const Fault f = static_cast<Fault>(fault);
            SCOPED_TRACE(cellName(o, f).toStdString());
            const CellResult result = Cell(o, f).run();
            EXPECT_TRUE(result.finishedInTime);
            EXPECT_TRUE(result.portClosed);
            EXPECT_TRUE(result.buttonsUsable) << result.buttons.toStdString();
            EXPECT_TRUE(result.followUpWorked);
            EXPECT_TRUE(result.filesIntact);
            const QString row = reportLine(o, f, result);
            EXPECT_TRUE(documented.contains(row)) << row.toStdString();
            // One end, one message; each of the other buttons may tell its own.
            EXPECT_TRUE(result.messageBoxes <= 1 || f == Fault::OtherButtons);
            // An exchange that loses its port ends at once, not when its
            // attempts or waits have run out.
            if (f == Fault::Disconnect && o <= Op::Wifi) {
                EXPECT_LE(result.endedAfterFaultMs, 100);
            }
            if (reporting) {
                report.write(row.toUtf8());
            }
        }
    }
}

}  // namespace
