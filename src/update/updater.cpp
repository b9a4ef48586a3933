#include "update/updater.h"

#include "app/form.h"
#include "app/prompter.h"
#include "protocol/exchange.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "update/loaderprotocol.h"

namespace {

// The count box's text when no loader wait runs, as the window starts.
const QString kLoaderCountIdle = QStringLiteral("0/10");

// The controls a transfer locks: "Open ROM", "update", the spare button
// beside them and the port selector.
constexpr Ctl kLockedDuringTransfer[] = {Ctl::Command1, Ctl::Command2, Ctl::Command3, Ctl::Combo1};

// What would touch the port or replace the window's values under a running
// update: a read would close the port under the transfer and leave the device
// in its loader; Default or Load file would replace the settings being kept.
constexpr Ctl kLockedDuringUpdate[] = {Ctl::Command6, Ctl::Command7, Ctl::Command0,
                                       Ctl::Command4, Ctl::Command8, Ctl::Command9,
                                       Ctl::Combo1,   Ctl::Command1, Ctl::Command3};

}  // namespace

Updater::Updater(Session& session) : session_(session), image_(padImage({})) {
    blockPacket_.resize(kBlockPacketSize);
    session_.setAfterReceive([this] { answerLoader(); });
    timer2_ = session_.clock().startTimer(kTransferTickMs, [this] { transferTick(); });
    // The caption tells whether a click on "update" cancels.
    captionWatch_ = QObject::connect(&session_.form(), &Form::changed, [this](Ctl id) {
        if (id == Ctl::Command2) {
            refreshLock();
        }
    });
}

Updater::~Updater() {
    QObject::disconnect(captionWatch_);
    stopLoaderWait();
    stopLastBlockCheck();
    session_.clock().stopTimer(timer2_);
    session_.setAfterReceive({});
}

void Updater::transferTick() {
    // Requests are answered as their byte arrives; the tick is the fallback
    // the transfer has always had.
    answerLoader();
    const auto since = [this](quint32 ms) { return session_.clock().nowMs() - ms; };
    if (askedPastLastBlock_) {
        endUnfinishedTransfer(Msg::UpdateBlockRefused);
    } else if (transferActive_ && session_.portLost()) {
        endUnfinishedTransfer(Msg::UpdatePortLost);
    } else if (transferActive_ && since(lastProgressMs_) >= quint32(kStallMs)) {
        endUnfinishedTransfer(Msg::UpdateStalled);
    } else {
        showProgress();
    }
}

void Updater::answerLoader() {
    if (!answering_) {
        return;
    }
    ByteTrace& trace = session_.receivePath().trace();
    const LoaderAnswer answer = loaderAnswerIn(trace);
    if (answer == LoaderAnswer::None) {
        return;
    }
    clearTrace();
    switch (answer) {
        case LoaderAnswer::Ready:
            // An E5 after the length packet went out answers a probe sent
            // before it: the loader is already counting block bytes, and a
            // second length packet among them would shift every block.
            if (!transferActive_) {
                sendLength();
            }
            break;
        case LoaderAnswer::NextBlock:
            sendBlock(true);
            break;
        case LoaderAnswer::RepeatBlock:
            sendBlock(false);
            break;
        case LoaderAnswer::None:
            break;
    }
}

void Updater::clearTrace() {
    // Two blanks: the receive path trims the trace before appending, so the
    // next byte received stands at its front.
    session_.receivePath().trace().set(QStringLiteral("  "));
}

void Updater::sendLength() {
    transferActive_ = true;
    deviceLeft_ = DeviceLeft::InLoader;
    lastProgressMs_ = session_.clock().nowMs();
    refreshLock();
    session_.form().setStatus(session_.tr(Msg::SendingImage).arg(image_.blockCount()));
    writeSkippingFailure(lengthPacket(image_.length));
    loaderAnswered_ = true;
}

void Updater::sendBlock(bool advance) {
    // After the last block only a repeat request (0x55) means the loader
    // refused it. A request for the next block (0xC5) is how a loader may
    // answer the last block as it answered every other one: the image is
    // complete, and there is nothing more to send.
    if (blockIndex_ >= image_.blockCount()) {
        askedPastLastBlock_ = askedPastLastBlock_ || !advance;
        return;
    }
    fillBlockPacket(blockPacket_, image_, blockIndex_);
    if (advance) {
        ++blockIndex_;
        lastProgressMs_ = session_.clock().nowMs();
    }
    writeSkippingFailure(blockPacket_);
    if (blockIndex_ == image_.blockCount()) {
        armLastBlockCheck();
    }
}

void Updater::armLastBlockCheck() {
    // The transfer's wall time is the line's time plus what is left of the
    // check after the last block; waiting on for the next tick would add up
    // to another 100 ms to every update.
    stopLastBlockCheck();
    lastBlockCheck_ = session_.clock().startTimer(kLastBlockCheckMs, [this] {
        stopLastBlockCheck();
        transferTick();
    });
}

void Updater::stopLastBlockCheck() {
    if (lastBlockCheck_ != 0) {
        session_.clock().stopTimer(lastBlockCheck_);
        lastBlockCheck_ = 0;
    }
}

void Updater::writeSkippingFailure(const QByteArray& bytes) {
    try {
        session_.link().write(bytes);
    } catch (const SerialError&) {
        // The loader wait and the transfer skip a failing port operation and
        // go on: the port may have been closed by a cancel or unplugged, and a
        // loader left without its packet ends the transfer through the stall rule.
    }
}

void Updater::showProgress() {
    Form& form = session_.form();
    const int blockCount = image_.blockCount();
    if (blockIndex_ == 0) {
        form.setValue(Ctl::ProgressBar1, blockCount);
    } else if (blockIndex_ >= form.minimum(Ctl::ProgressBar1) &&
               blockIndex_ <= form.maximum(Ctl::ProgressBar1)) {
        form.setValue(Ctl::ProgressBar1, blockIndex_);
    }
    const int percent = progressPercent(blockIndex_, blockCount);
    const QString step = u' ' + session_.tr(Msg::UpdateStep) + QString::number(percent) + u'%';
    if (transferActive_) {
        showTitleProgress(percent);
    }
    if (blockIndex_ > 0 && blockIndex_ < blockCount) {
        for (const Ctl control : kLockedDuringTransfer) {
            form.setEnabled(control, false);
        }
        form.setText(Ctl::Label2, session_.tr(Msg::Updating) + step);
    } else if (blockIndex_ == blockCount &&
               session_.clock().nowMs() - lastProgressMs_ >= quint32(kLastBlockCheckMs)) {
        imageSent();
    }
}

void Updater::showTitleProgress(int percent) {
    Form& form = session_.form();
    if (plainTitle_.isEmpty()) {
        plainTitle_ = form.text(Ctl::Form1);
    }
    form.setText(Ctl::Form1, session_.tr(Msg::TitleWithProgress).arg(percent).arg(plainTitle_));
}

void Updater::restoreTitle() {
    if (!plainTitle_.isEmpty()) {
        session_.form().setText(Ctl::Form1, plainTitle_);
        plainTitle_.clear();
    }
}

void Updater::endUnfinishedTransfer(Msg reason) {
    const QString step = u' ' + session_.tr(Msg::UpdateStep) +
                         QString::number(progressPercent(blockIndex_, image_.blockCount())) + u'%';
    returnToIdle();
    endUnfinishedUpdate(session_.tr(reason), step);
}

void Updater::endUnfinishedUpdate(const QString& reason, const QString& step) {
    Form& form = session_.form();
    closePortIfOpen(session_);
    // The window is usable again while the message is read.
    checkingRun_ = false;
    refreshLock();
    form.setText(Ctl::Label2, session_.tr(Msg::UpdateNotComplete) + step);
    QString message = reason;
    form.appendStatusLine(message);
    if (const QString note = appendUnfinishedNote(); !note.isEmpty()) {
        message += u'\n' + note;
    }
    session_.prompter().message(message);
}

QString Updater::appendUnfinishedNote() {
    const QString note = unfinishedNote_ ? unfinishedNote_() : QString();
    if (!note.isEmpty()) {
        session_.form().appendStatusLine(note);
    }
    return note;
}

void Updater::returnToIdle() {
    Form& form = session_.form();
    for (const Ctl control : kLockedDuringTransfer) {
        form.setEnabled(control, true);
    }
    // The link's close pushes out every byte written before it, so the last
    // block reaches the loader whole.
    session_.link().close();
    form.setText(Ctl::Command2, session_.tr(Msg::UpdateButtonIdle));
    restoreTitle();
    stopLoaderWait();
    stopLastBlockCheck();
    connectWaitCount_ = 0;
    // The loader count is over with the transfer.
    form.setText(Ctl::Text3, kLoaderCountIdle);
    loaderAnswered_ = false;
    blockIndex_ = 0;
    transferActive_ = false;
    askedPastLastBlock_ = false;
    refreshLock();
    if (onTransferEnd_) {
        onTransferEnd_();
    }
}

void Updater::holdLockForKeeper(bool held) {
    keeperHolds_ = held;
    refreshLock();
}

void Updater::refreshLock() {
    Form& form = session_.form();
    const bool running = updateRunning();
    for (const Ctl control : kLockedDuringUpdate) {
        form.setLocked(control, running);
    }
    // Once the length packet is out the loader counts block bytes: a cancel
    // then would leave it in the middle of the image.
    const bool cancels =
        !transferActive_ && form.text(Ctl::Command2) == session_.tr(Msg::UpdateButtonBusy);
    form.setLocked(Ctl::Command2, running && !cancels);
}
