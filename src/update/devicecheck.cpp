// The checks that ask the device where it stands: before an update keeps the
// settings (running firmware, loader, or silent), and after the last block
// (running again, or still in its loader).
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "protocol/session.h"
#include "serial/bytetrace.h"
#include "serial/clock.h"
#include "serial/seriallink.h"
#include "update/loaderprotocol.h"
#include "update/updater.h"

// While a check reads the trace itself, the transfer does not answer the
// loader from it; when the check is done the trace is cleared, so the
// transfer never takes an answer the check has had (a lone E5 would
// otherwise start a transfer on its next tick).
class Updater::NotAnswering {
public:
    explicit NotAnswering(Updater& updater) : updater_(updater) { updater_.answering_ = false; }
    ~NotAnswering() {
        updater_.clearTrace();
        updater_.answering_ = true;
    }
    NotAnswering(const NotAnswering&) = delete;
    NotAnswering& operator=(const NotAnswering&) = delete;

private:
    Updater& updater_;
};

Updater::DeviceFound Updater::lookForDevice() {
    Form& form = session_.form();
    const NotAnswering notAnswering(*this);
    session_.flags().connectSeen = false;
    if (answersHandshake()) {
        return DeviceFound::Running;
    }
    for (int probe = 1; probe <= kLoaderLookProbes; ++probe) {
        form.setStatus(session_.tr(Msg::LookingForLoader) + numberInMessage(probe) +
                       QStringLiteral("/") + QString::number(kLoaderLookProbes));
        if (loaderAnswersProbe()) {
            return DeviceFound::InLoader;
        }
    }
    // The configuration firmware collects bytes up to a line end; the probes
    // carry none, so this ends them as a line it does not know, and the
    // commands that follow stand on lines of their own.
    session_.link().write(QByteArrayLiteral("\r\n"));
    return DeviceFound::Silent;
}

bool Updater::answersHandshake() {
    const bool& connectSeen = session_.flags().connectSeen;
    session_.link().write(Commands::setup());
    session_.waitOnPort(kHandshakeWaitMs, [&connectSeen] { return connectSeen; });
    return connectSeen;
}

bool Updater::loaderAnswersProbe() {
    const ByteTrace& trace = session_.receivePath().trace();
    // The trace holds "E5" and nothing more: one byte since the probe, E5.
    const auto onlyE5 = [&trace] { return trace.length() == 2 && trace.startsWith(u"E5"); };
    clearTrace();
    session_.link().write(probePacket());
    session_.waitOnPort(kLoaderWaitIntervalMs, onlyE5);
    // A running firmware's E5 is part of a line: other bytes come just before
    // it (the line so far) or just after it (the rest, and CR LF).
    if (!onlyE5() || session_.quietBeforeLastReceiveMs() < kLoneAnswerQuietMs) {
        return false;
    }
    session_.waitOnPort(kLoneAnswerQuietMs, [&trace] { return trace.length() > 2; });
    return onlyE5();
}

void Updater::goOnInLoader() {
    Form& form = session_.form();
    startedInLoader_ = true;
    form.appendStatusLine(session_.tr(Msg::LoaderFound));
    // As the transfer answers the loader's E5: the trace cleared, the length
    // packet, then the loader asks for the blocks.
    clearTrace();
    sendLength();
    loaderAnswered_ = false;
    form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
}

void Updater::imageSent() {
    deviceLeft_ = DeviceLeft::ImageSent;
    checkingRun_ = true;
    // The port closes with the last block pushed out whole; the check opens
    // it afresh.
    returnToIdle();
    session_.form().setText(Ctl::Label2, session_.tr(Msg::Updating) + u' ' +
                                             session_.tr(Msg::UpdateStep) + QStringLiteral("100%"));
    // The transfer timer must not wait: the check comes after it.
    session_.clock().post(0, [this, alive = std::weak_ptr<char>(alive_)] {
        // An updater gone meanwhile (kv120ctl interrupted) has nothing to check.
        if (!alive.expired()) {
            runExchange(session_, [this] { awaitRunningFirmware(); });
        }
    });
}

void Updater::awaitRunningFirmware() {
    Form& form = session_.form();
    // Whatever ends the check (an answer, the window closing, an
    // interruption), the update is no longer running.
    struct CheckEnds {
        Updater& updater;
        ~CheckEnds() {
            updater.checkingRun_ = false;
            closePortIfOpen(updater.session_);
            updater.refreshLock();
        }
    } checkEnds{*this};
    const NotAnswering notAnswering(*this);
    try {
        session_.clock().delay(kPortSettleMs);
        session_.openPort();
        // A "CONNECT" that comes late, after the next probe, still counts.
        const bool& connectSeen = session_.flags().connectSeen;
        session_.flags().connectSeen = false;
        for (int attempt = 1; attempt <= kRunCheckAttempts; ++attempt) {
            form.setStatus(session_.tr(Msg::WaitingForNewFirmware) + numberInMessage(attempt) +
                           QStringLiteral("/") + QString::number(kRunCheckAttempts));
            if (answersHandshake()) {
                runsAgain();
                return;
            }
            const bool loaderAnswered = loaderAnswersProbe();
            if (connectSeen) {
                runsAgain();
                return;
            }
            if (loaderAnswered) {
                deviceLeft_ = DeviceLeft::InLoader;
                endUnfinishedUpdate(session_.tr(Msg::ImageNotTaken));
                return;
            }
        }
        endUnfinishedUpdate(session_.tr(Msg::NoAnswerAfterImage));
    } catch (const SerialError& error) {
        endUnfinishedUpdate(session_.portFailureText(session_.tr(Msg::RunCheckPortFailed), error));
    }
}

void Updater::runsAgain() {
    Form& form = session_.form();
    deviceLeft_ = DeviceLeft::Updated;
    closePortIfOpen(session_);
    checkingRun_ = false;
    refreshLock();
    form.setText(Ctl::Label2, session_.tr(Msg::UpdateComplete) + u' ' +
                                  session_.tr(Msg::UpdateStep) + QStringLiteral("100%"));
    form.appendStatusLine(session_.tr(Msg::DeviceRunsAgain));
    if (onComplete_) {
        onComplete_();
    }
}
