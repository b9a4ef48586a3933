#include "faultcell.h"

#include "protocol/commands.h"
#include "reliabilityrig.h"
#include "sim/receivelog.h"
#include "update/loaderprotocol.h"

#include <QRandomGenerator>

#include <algorithm>
#include <array>

namespace {

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

OpInfo info(Op op) {
    switch (op) {
        case Op::Read:
            return {"read", Ctl::Command6, 1000};
        case Op::Write:
            return {"write", Ctl::Command7, 500};
        case Op::Wifi:
            return {"WiFi write", Ctl::Command8, 800};
        case Op::Restart:
            return {"restart", Ctl::Command9, 500};
        case Op::UpdateStart:
            return {"update start", Ctl::Command2, 1000};
        case Op::LoaderWait:
            return {"loader wait", Ctl::Command2, Updater::kLoaderWaitIntervalMs};
        case Op::Transfer:
            break;
    }
    return {"transfer", Ctl::Command2, Updater::kTransferTickMs};
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
        // Nothing starts again by itself afterwards.
        rig_.clock.advance(2000);
        settled = settled && idle();
        rig_.clock.stopTimer(watch);
        CellResult result;
        const bool closed = fault_ == Fault::WindowClosed;
        result.finishedInTime = settled && rig_.clock.elapsedMs() - start < kBoundMs &&
                                rig_.clock.isAborted() == closed;
        result.portClosed = !rig_.ports.link.isOpen();
        result.filesIntact = filesIntact();
        result.outcome = outcome();
        describeTelling(result);
        result.buttonsUsable = closed || buttonsUsable(result.buttons);
        result.followUpWorked = closed || followUp();
        return result;
    }

private:
    QByteArray received() const { return receivedBytes(rig_.ports.device.received()); }

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

    bool idle() const { return !rig_.ports.link.isOpen() && !rig_.updater->isBusy(); }

    void snapshot() {
        rig_.prompter.messages.clear();  // the start-up's language notice
        statusBefore_ = rig_.form.text(Ctl::Text29);
        progressBefore_ = rig_.form.text(Ctl::Label2);
        for (const Ctl button : kButtons) {
            enabledBefore_ << rig_.form.isEnabled(button);
            captionsBefore_ << rig_.form.text(button);
        }
    }

    bool completed() const {
        const QString status = rig_.form.text(Ctl::Text29);
        switch (op_) {
            case Op::Read:
                return status.contains(rig_.session->tr(Msg::ReadOk));
            case Op::Write:
                return status.contains(rig_.session->tr(Msg::WriteComplete));
            case Op::Wifi:
                return status.contains(rig_.session->tr(Msg::WifiWriteComplete));
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

    Outcome outcome() const {
        if (completed()) {
            return Outcome::Completed;
        }
        const bool byUser = fault_ == Fault::SecondClick || fault_ == Fault::OtherButtons ||
                            fault_ == Fault::WindowClosed;
        return byUser ? Outcome::Cancelled : Outcome::Reported;
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
        // A restart sends blind and says nothing when it is done; the window
        // closing needs no telling.
        result.userTold = !result.told.isEmpty() || fault_ == Fault::WindowClosed ||
                          (op_ == Op::Restart && result.outcome == Outcome::Completed);
    }

    // Enabled as before the click, each with its caption from before, its
    // idle caption or "Port is open", the caption a click that found the port
    // open leaves until the next click.
    bool buttonsUsable(QString& shown) const {
        const QString portOpen = rig_.session->tr(Msg::PortIsOpen);
        const std::pair<Ctl, Msg> idle[] = {{Ctl::Command2, Msg::UpdateButtonIdle},
                                            {Ctl::Command6, Msg::ReadButtonIdle},
                                            {Ctl::Command7, Msg::WriteButtonIdle},
                                            {Ctl::Command8, Msg::WifiButtonIdle},
                                            {Ctl::Command9, Msg::RestartButtonIdle}};
        bool usable = rig_.form.isEnabled(Ctl::Combo1);
        shown = rig_.form.isEnabled(Ctl::Combo1) ? u"Combo1+ "_qs : u"Combo1- "_qs;
        for (const auto& [button, caption] : idle) {
            const QString text = rig_.form.text(button);
            const QString before = captionsBefore_[qsizetype(
                std::find(kButtons.begin(), kButtons.end(), button) - kButtons.begin())];
            // An update start that failed may leave "update..."; the next
            // click on it is the cancel that restores "update".
            const bool updateLeftBusy =
                button == Ctl::Command2 && text == rig_.session->tr(Msg::UpdateButtonBusy);
            usable = usable && (text == rig_.session->tr(caption) || text == portOpen ||
                                text == before || updateLeftBusy);
            shown += nameOf(button) + u'=' + text + u' ';
        }
        for (size_t i = 0; i < kButtons.size(); ++i) {
            const bool enabled = rig_.form.isEnabled(kButtons[i]);
            // A read that fails leaves "Write data" disabled until a read
            // completes; an update reads the settings it keeps first.
            const bool mayStayOff =
                kButtons[i] == Ctl::Command7 && (op_ == Op::Read || op_ == Op::UpdateStart);
            usable = usable && (enabled || !enabledBefore_[qsizetype(i)] || mayStayOff);
            shown += nameOf(kButtons[i]) + (enabled ? u'+' : u'-');
        }
        return usable;
    }

    bool filesIntact() const {
        return fileBytes(rig_.settingsFile) == ReliabilityRig::kSavedSettings &&
               rig_.updater->image().buffer == padImage(ReliabilityRig::imageFile()).buffer &&
               rig_.updater->image().length == ReliabilityRig::imageFile().size();
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
        if (rig_.form.text(Ctl::Command2) == rig_.session->tr(Msg::UpdateButtonBusy)) {
            rig_.click(Ctl::Command2);
        }
        if (device.inLoader()) {
            rig_.click(Ctl::Command2);
            return rig_.runUntil([&] { return device.flash().complete && idle(); }, 120'000);
        }
        rig_.form.setStatus(QString());
        rig_.click(Ctl::Command6);
        return rig_.runUntil([this] { return idle(); }, 60'000) &&
               rig_.form.text(Ctl::Text29).contains(rig_.session->tr(Msg::ReadOk)) &&
               rig_.form.text(Ctl::Command6) == rig_.session->tr(Msg::ReadButtonIdle);
    }

    ReliabilityRig rig_;
    Op op_;
    Fault fault_;
    SimKnobs initialKnobs_;
    bool injected_ = false;
    QString statusBefore_;
    QString progressBefore_;
    QList<bool> enabledBefore_;
    QStringList captionsBefore_;
};

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Completed:
            return "completed";
        case Outcome::Reported:
            return "reported";
        case Outcome::Cancelled:
            break;
    }
    return "cancelled";
}

}  // namespace

CellResult runCell(Op op, Fault fault) {
    Cell cell(op, fault);
    return cell.run();
}

QString cellName(Op op, Fault fault) {
    return QString::fromLatin1(info(op).name) + QStringLiteral(" x ") +
           QString::fromLatin1(faultName(fault));
}

QString reportLine(Op op, Fault fault, const CellResult& result) {
    const QString followUp =
        result.followUpWorked ? QStringLiteral("works") : QStringLiteral("fails");
    return QStringLiteral("| %1 | %2 | %3 | %4 | %5 |\n")
        .arg(QString::fromLatin1(info(op).name), QString::fromLatin1(faultName(fault)),
             QString::fromLatin1(outcomeName(result.outcome)), result.told, followUp);
}
