#pragma once

#include "app/texts.h"
#include "serial/clock.h"
#include "update/firmwareimage.h"

#include <QByteArray>
#include <QMetaObject>
#include <QString>

#include <functional>
#include <memory>

class Session;

// The firmware update: the loaded image, the update start that brings the
// device into its loader, the loader wait (Timer1) and the block transfer.
//
// Timer2 runs for the Updater's whole life and keeps the progress bar and
// line up to date; the loader's requests are answered the moment their byte
// arrives, so blocks go out at line rate rather than one per tick. The two
// timers and the answers meet only through blockIndex, loaderAnswered and the
// received-byte trace.
class Updater {
public:
    static constexpr int kLoaderWaitIntervalMs = 1000;
    // Between closing the port and opening it again.
    static constexpr int kPortSettleMs = 100;
    static constexpr int kTransferTickMs = 100;
    static constexpr int kLoaderWaitTicks = 10;
    // How long the connection handshake waits for "CONNECT".
    static constexpr int kHandshakeWaitMs = 1000;
    // Probes, one a second, that look for a loader already listening when the
    // device did not answer the handshake: a device left in its loader by an
    // update that did not finish answers nothing else.
    static constexpr int kLoaderLookProbes = 3;
    // A loader answers a probe with one byte, E5, and nothing around it; a
    // running firmware sends text lines, each ended by CR LF, so an E5 from it
    // always has bytes beside it within this time.
    static constexpr int kLoneAnswerQuietMs = 300;
    // After the last block the device must answer again, as running firmware,
    // within this many handshakes (each followed by a probe for a loader that
    // did not take the image), about 20 s.
    static constexpr int kRunCheckAttempts = 10;
    // A transfer that has not moved on to a new block for this long has
    // stalled: only a block request that gets a new block sent is progress.
    static constexpr int kStallMs = 10'000;
    // The port stays open this long after the last block was handed to it:
    // the block needs 178 ms on the line at 115200 baud, and the loader
    // answers a last block it refused with a repeat request (0x55), which
    // must not go unheard; nothing else heard then counts (a firmware that
    // has booted may talk at once). The check is made at that moment, not at
    // the next tick.
    static constexpr int kLastBlockCheckMs = 500;

    explicit Updater(Session& session);
    ~Updater();
    Updater(const Updater&) = delete;
    Updater& operator=(const Updater&) = delete;

    // "Open ROM": asks for an image file and loads it. False when no file
    // was chosen, or it was refused or could not be read (the user was told).
    bool imageOpen();
    // "update": starts an update, or cancels the one starting.
    void updateStart();

    // From the length packet until the last block or the stall: the device
    // sits in its loader and needs the rest of the image.
    bool isTransferring() const { return transferActive_; }
    // The loader wait, a transfer or the check that the device runs again
    // after it is under way.
    bool isBusy() const { return timer1_ != 0 || transferActive_ || checkingRun_; }

    const FirmwareImage& image() const { return image_; }

    // Where the last update left the device. ImageSent: every block went out,
    // and the device has not answered since.
    enum class DeviceLeft { Untouched, OnFactorySettings, InLoader, ImageSent, Updated };
    DeviceLeft deviceLeft() const { return deviceLeft_; }

    // Runs in the update start before the device is reset, with the port
    // closed: the settings keeper reads and keeps the settings there. False
    // stops the start. With it set the start first asks whether the device
    // runs its firmware (the handshake) and, when it stays silent, whether a
    // loader is listening; when one is, the transfer starts at once: a device
    // in its loader holds no settings to read or reset.
    void setBeforeReset(std::function<bool()> action) { beforeReset_ = std::move(action); }
    // The start found the device waiting in its loader.
    bool startedInLoader() const { return startedInLoader_; }

    // The settings keeper's write-back after the transfer holds the window's
    // lock as the update itself does.
    void holdLockForKeeper(bool held);

    // Runs whenever a transfer has ended, completed or not, from the transfer
    // timer: it must not wait.
    void setOnTransferEnd(std::function<void()> action) { onTransferEnd_ = std::move(action); }

    // A line added to the message of a transfer that did not complete: where
    // the kept settings are. Empty: nothing to add.
    void setUnfinishedNote(std::function<QString()> note) { unfinishedNote_ = std::move(note); }

    // Runs once an update has completed: the device answered as running
    // firmware after the transfer, "update complete" is shown and the window
    // is idle again. It must not wait.
    void setOnComplete(std::function<void()> action) { onComplete_ = std::move(action); }

private:
    class NotAnswering;

    // The update start, phase by phase.
    void startOrCancel();
    enum class DeviceFound { Running, InLoader, Silent };
    DeviceFound lookForDevice();
    // The connection handshake once; true when the device has answered
    // "CONNECT" since the flag was last cleared.
    bool answersHandshake();
    // One probe; true only when the loader's lone E5 answers it.
    bool loaderAnswersProbe();
    void goOnInLoader();
    void resetSettingsMemory();
    void rebootIntoLoader();
    void loaderWaitTick();
    void startLoaderWait();
    void stopLoaderWait();

    // The transfer.
    void transferTick();
    void answerLoader();
    void clearTrace();
    void sendLength();
    void sendBlock(bool advance);
    void showProgress();
    // The window's title carries the percentage while a transfer runs, so it
    // shows in the task bar with the window minimised.
    void showTitleProgress(int percent);
    void restoreTitle();
    void armLastBlockCheck();
    void stopLastBlockCheck();
    // The last block is out: the device is asked whether it runs again.
    void imageSent();
    void awaitRunningFirmware();
    void runsAgain();
    // Tells why an update did not complete, once: the progress line (with
    // how far the transfer got, when it ran), the status box and one
    // message, with where the kept settings are.
    void endUnfinishedUpdate(const QString& reason, const QString& step = {});
    void endUnfinishedTransfer(Msg reason);
    // Puts the unfinished note, when there is one, on a status line; returns it.
    QString appendUnfinishedNote();
    void returnToIdle();
    void writeSkippingFailure(const QByteArray& bytes);

    // From the start of an update to its end every control whose action
    // would touch the port or replace the window's values is locked; "update"
    // stays usable only while a click on it cancels.
    void refreshLock();
    bool updateRunning() const { return starts_ > 0 || keeperHolds_ || isBusy(); }

    // Numbers in the update messages stand where a sign would: one blank before.
    static QString numberInMessage(int number);

    // Why the image loaded is no firmware the update may send.
    QString imageRefusal() const;

    // True for a raw image, or for another kind of file the user wants all the same.
    bool acceptImage(const QByteArray& bytes);

    Session& session_;
    FirmwareImage image_;
    bool imageLoaded_ = false;  // a file was loaded, however short
    int blockIndex_ = 0;
    bool loaderAnswered_ = false;
    int connectWaitCount_ = 0;
    QByteArray blockPacket_;

    bool transferActive_ = false;
    DeviceLeft deviceLeft_ =
        DeviceLeft::Untouched;         // since the last probe that looked for a loader
    bool askedPastLastBlock_ = false;  // a repeat request came after the last block
    quint32 lastProgressMs_ = 0;       // the length packet, or a new block, went out
    // The loader's answers are taken from the trace; not while the start or
    // the check after the transfer reads the trace itself.
    bool answering_ = true;
    bool checkingRun_ = false;
    bool startedInLoader_ = false;
    QString plainTitle_;  // the title before the transfer; empty while none runs
    std::function<void()> onComplete_;
    std::function<void()> onTransferEnd_;
    std::function<QString()> unfinishedNote_;
    int starts_ = 0;  // update starts running, a cancelling click's included
    bool keeperHolds_ = false;
    std::function<bool()> beforeReset_;
    QMetaObject::Connection captionWatch_;

    // Lets what is posted on the clock see that the updater is gone.
    std::shared_ptr<char> alive_ = std::make_shared<char>();

    Clock::TimerId timer1_ = 0;  // 0 while the loader wait is off
    Clock::TimerId timer2_ = 0;
    Clock::TimerId lastBlockCheck_ = 0;  // 0 unless the last block is out
};
