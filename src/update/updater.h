#pragma once

#include "app/texts.h"
#include "serial/clock.h"
#include "update/firmwareimage.h"

#include <QByteArray>
#include <QMetaObject>
#include <QString>

#include <functional>

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
    static constexpr int kTransferTickMs = 100;
    static constexpr int kLoaderWaitTicks = 10;
    // Probes, one a second, that look for a loader already listening before
    // the settings are read: a device left in its loader by an update that
    // did not finish answers nothing else.
    static constexpr int kLoaderLookProbes = 3;
    // A loader that has not asked for anything for this long has given up.
    static constexpr int kStallMs = 10'000;
    // The port stays open this long after the last block was handed to it:
    // the block needs 178 ms on the line at 115200 baud, and the loader
    // answers a last block it refused with a repeat request (0x55), which
    // must not go unheard.
    // The check is made at that moment, not at the next tick.
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
    // The loader wait or a transfer is under way.
    bool isBusy() const { return timer1_ != 0 || transferActive_; }

    const FirmwareImage& image() const { return image_; }

    // Where the last update left the device.
    enum class DeviceLeft { Untouched, OnFactorySettings, InLoader, Updated };
    DeviceLeft deviceLeft() const { return deviceLeft_; }

    // Runs in the update start before the device is reset, with the port
    // closed: the settings keeper reads and keeps the settings there. False
    // stops the start. With it set the start first looks for a loader that
    // is already listening, and when one answers the transfer starts at once:
    // a device in its loader holds no settings to read or reset.
    void setBeforeReset(std::function<bool()> action) { beforeReset_ = std::move(action); }

    // The settings keeper's write-back after the transfer holds the window's
    // lock as the update itself does.
    void holdLockForKeeper(bool held);

    // Runs whenever a transfer has ended, completed or not, from the transfer
    // timer: it must not wait.
    void setOnTransferEnd(std::function<void()> action) { onTransferEnd_ = std::move(action); }

    // A line added to the message of a transfer that did not complete: where
    // the kept settings are. Empty: nothing to add.
    void setUnfinishedNote(std::function<QString()> note) { unfinishedNote_ = std::move(note); }

    // Runs once a transfer has completed ("update complete" is shown and the
    // window is idle again), from the transfer timer: it must not wait.
    void setOnComplete(std::function<void()> action) { onComplete_ = std::move(action); }

private:
    // The update start, phase by phase.
    void startOrCancel();
    bool loaderAlreadyListening();
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
    bool quietFor(int ms) const;
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
    bool lengthSent_ = false;
    DeviceLeft deviceLeft_ =
        DeviceLeft::Untouched;         // since the last probe that looked for a loader
    bool askedPastLastBlock_ = false;  // a repeat request came after the last block
    quint32 lastRequestMs_ = 0;
    QString plainTitle_;  // the title before the transfer; empty while none runs
    std::function<void()> onComplete_;
    std::function<void()> onTransferEnd_;
    std::function<QString()> unfinishedNote_;
    int starts_ = 0;  // update starts running, a cancelling click's included
    bool keeperHolds_ = false;
    std::function<bool()> beforeReset_;
    QMetaObject::Connection captionWatch_;

    Clock::TimerId timer1_ = 0;  // 0 while the loader wait is off
    Clock::TimerId timer2_ = 0;
    Clock::TimerId lastBlockCheck_ = 0;  // 0 unless the last block is out
};
