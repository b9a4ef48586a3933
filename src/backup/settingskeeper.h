#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

class Session;
class Updater;

// Keeps the device's settings across a firmware update. The update start
// sends "AT+RESET#", which puts the device back to its factory settings, so
// before it the settings are read (the read exchange, into the window) and
// kept in a settings file named by date and time; once the update has
// completed they are loaded back into the window and written to the device
// (the write exchange).
class SettingsKeeper {
public:
    using Now = std::function<QDateTime()>;

    // The firmware boots once the loader holds the last block; this leaves it
    // time to come up before the settings are written back.
    static constexpr int kRestartMs = 3000;

    SettingsKeeper(Session& session, Updater& updater, QString folder,
                   Now now = &QDateTime::currentDateTime);
    SettingsKeeper(const SettingsKeeper&) = delete;
    SettingsKeeper& operator=(const SettingsKeeper&) = delete;

    // "update" in the window. A click while the settings are being read
    // cancels the read, and the update does not start; any other click goes
    // to the update start as it is.
    void updateClicked();

    // From now on every update start keeps the settings before it sends
    // "AT+RESET#", unless a backup is still pending from an update that did
    // not complete. When they cannot be kept the user is asked whether to
    // update without them; No, a cancelled read or the window closing stop
    // the start.
    void keepSettingsAcrossUpdates();

    // The file kept for the update under way, or for an earlier one that did
    // not complete (kv120ctl and the window leave a note of it in the
    // folder), until it has been written back or declined; empty when there
    // is none.
    const QString& pendingBackup() const { return pendingBackup_; }
    // Where the settings are, for a message about an update that did not
    // complete; empty when none are kept.
    QString pendingNote() const;

    // The window: once an update that has a backup completes, asks whether to
    // write the settings back, and does.
    void offerRestoreOnCompletion();

    // Waits for the device's restart, loads the backup into the window and
    // runs the write exchange. True when the device confirmed the write.
    bool restore();

private:
    bool readAndKeep();
    void offerRestore();
    QString notePath() const;
    void setPending(const QString& path);

    Session& session_;
    Updater& updater_;
    QString folder_;
    Now now_;
    QString pendingBackup_;
    bool reading_ = false;
    bool cancelled_ = false;
};

// The name of a backup taken at the given moment.
QString backupFileName(const QDateTime& when);

// The user's data folder of kv120-config, which kv120ctl shares.
QString defaultBackupFolder();
