#include "app/form.h"
#include "app/prompter.h"
#include "protocol/commands.h"
#include "protocol/exchange.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "update/loaderprotocol.h"
#include "update/updater.h"

namespace {

constexpr int kResetWaitSteps = 5;
constexpr int kResetWaitStepMs = 1000;

}  // namespace

QString Updater::numberInMessage(int number) {
    return number < 0 ? QString::number(number) : u' ' + QString::number(number);
}

void Updater::updateStart() {
    Form& form = session_.form();
    Prompter& prompter = session_.prompter();
    if (image_.length < kMinUpdateLength) {
        // The reason stands on a line of its own, after the known text.
        const QString refusal = session_.tr(Msg::PleaseChooseFirmware);
        const QString reason = imageRefusal();
        form.setStatus(refusal + QStringLiteral("\r\n") + reason + QStringLiteral("\r\n"));
        prompter.message(refusal + u'\n' + reason);
        return;
    }
    form.setStatus(session_.tr(Msg::PleaseWaitAutoUpdate) + QStringLiteral("\r\n") +
                   numberInMessage(connectWaitCount_) + QStringLiteral("/10"));
    if (form.text(Ctl::Command2) != session_.tr(Msg::UpdateButtonBusy)) {
        deviceLeft_ = DeviceLeft::Untouched;
        startedInLoader_ = false;
    }
    ++starts_;
    refreshLock();
    runExchange(session_, [this] { startOrCancel(); });
    --starts_;
    refreshLock();
}

void Updater::startOrCancel() {
    Form& form = session_.form();
    try {
        // A click while the update is starting cancels it: the start finds
        // the port closed at its next send, and the loader wait runs out.
        if (form.text(Ctl::Command2) == session_.tr(Msg::UpdateButtonBusy)) {
            session_.link().close();
            form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
            return;
        }
        session_.clock().delay(kPortSettleMs);
        session_.openPort();
        form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonBusy));
        if (beforeReset_) {
            if (lookForDevice() == DeviceFound::InLoader) {
                goOnInLoader();
                return;
            }
            session_.link().close();
            if (!beforeReset_()) {
                form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
                return;
            }
            session_.clock().delay(kPortSettleMs);
            session_.openPort();
        }
        resetSettingsMemory();
        rebootIntoLoader();
    } catch (const SerialError& error) {
        session_.prompter().message(
            session_.portFailureText(session_.tr(Msg::PortIsUseOrNo), error));
    }
}

void Updater::resetSettingsMemory() {
    Form& form = session_.form();
    bool& eeramResetSeen = session_.flags().eeramResetSeen;
    session_.link().write(Commands::reset());
    deviceLeft_ = DeviceLeft::OnFactorySettings;
    eeramResetSeen = false;
    for (int step = 1; step <= kResetWaitSteps; ++step) {
        session_.clock().delay(kResetWaitStepMs);
        if (eeramResetSeen) {
            form.appendText(Ctl::Text29, QStringLiteral("\r\n") + session_.tr(Msg::ResetEeramOk) +
                                             QStringLiteral("\r\n"));
            session_.clock().delay(kResetWaitStepMs);
            return;
        }
        form.setStatus(session_.tr(Msg::WaitForResetEeram) + numberInMessage(step) +
                       QStringLiteral("/5\r\n"));
    }
    // The device may have lost its settings memory already; the update is
    // what matters, so it goes on.
    form.setStatus(session_.tr(Msg::ResetEeramFail) + QStringLiteral("\r\n"));
    form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
}

void Updater::rebootIntoLoader() {
    SerialLink& link = session_.link();
    link.write(Commands::reboot());
    deviceLeft_ = DeviceLeft::InLoader;
    connectWaitCount_ = 0;
    if (link.isOpen()) {
        link.close();
    }
    session_.clock().delay(kPortSettleMs);
    session_.openPort();
    startLoaderWait();
}

void Updater::startLoaderWait() {
    if (timer1_ == 0) {
        timer1_ = session_.clock().startTimer(kLoaderWaitIntervalMs, [this] { loaderWaitTick(); });
        refreshLock();
    }
}

void Updater::stopLoaderWait() {
    if (timer1_ != 0) {
        session_.clock().stopTimer(timer1_);
        timer1_ = 0;
        refreshLock();
    }
}

void Updater::loaderWaitTick() {
    Form& form = session_.form();
    ++connectWaitCount_;
    // Once the loader has answered, the transfer has the status box: a count
    // shown now would stand there for the whole transfer.
    if (loaderAnswered_) {
        stopLoaderWait();
        form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
        loaderAnswered_ = false;
        return;
    }
    const QString count = numberInMessage(connectWaitCount_) + QStringLiteral("/10");
    form.setStatus(session_.tr(Msg::WaitForUpdate) + QStringLiteral("\r\n") + count);
    form.setText(Ctl::Text3, count);
    if (connectWaitCount_ >= kLoaderWaitTicks) {
        stopLoaderWait();
        form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
        loaderAnswered_ = false;
        session_.link().close();
        form.appendStatusLine(session_.tr(Msg::ConnectFail));
        // The device was reset before its restart: the kept settings are the user's.
        appendUnfinishedNote();
        return;
    }
    clearTrace();
    blockIndex_ = 0;
    writeSkippingFailure(probePacket());
}
