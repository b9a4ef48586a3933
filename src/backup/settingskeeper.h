#pragma once

#include "backup/keptsettings.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

class Session;
class Updater;

// Keeps each device's settings across a firmware update. The update start
// sends "AT+RESET#", which puts the device back to its factory settings, so
// before it a device that answers as running firmware is read (the read
// exchange, into the window) and its settings kept in a settings file of
// their own, with a note of the port and the device they came from; once the
// update has completed they are loaded back into the window and written to
// the device (the write exchange). An update that does not complete leaves
// them waiting, and a later update of a device found in its loader on the
// same port writes them back.
class SettingsKeeper {
public:
    using Now = std::function<QDateTime()>;
    // What ties a port to the device on it: the adapter's identity, else the
    // port's name.
    using Identify = std::function<QString(const QString& port)>;

    SettingsKeeper(Session& session, Updater& updater, QString folder,
                   Now now = &QDateTime::currentDateTime, Identify identify = {});
    SettingsKeeper(const SettingsKeeper&) = delete;
    SettingsKeeper& operator=(const SettingsKeeper&) = delete;

    // "update" in the window. A click while the settings are being read
    // cancels the read, and the update does not start; any other click goes
    // to the update start as it is.
    void updateClicked();

    // From now on every update start keeps the settings of a device that
    // answers before it sends "AT+RESET#". Only a read that brought every
    // setting is kept. When the settings cannot be kept, ask: the user
    // decides whether to update without them (the window); else the update
    // does not start (kv120ctl).
    enum class WhenNotKept { Ask, Stop };
    void keepSettingsAcrossUpdates(WhenNotKept whenNotKept);

    // What the update under way writes back once it completes: the settings
    // it read; else, for a device found in its loader, those waiting for its
    // port, when there is one. When which is not known (a device in its
    // loader with several or none waiting for its port), file is empty and
    // undecided lists the ones it could be (those of the port, else all).
    struct WriteBack {
        QString file;
        QList<KeptSettings> undecided;
    };
    WriteBack writeBack() const;
    // Where the update's settings are kept, for a message about an update
    // that did not complete; empty when none are.
    QString pendingNote() const;

    // The window: once an update completes, offers the kept settings back
    // (asking which, when that is not known) and writes them.
    void offerRestoreOnCompletion();

    // Loads the kept settings into the window and runs the write exchange.
    // True when the device confirmed the write; they no longer wait then.
    bool restore(const QString& file);

private:
    bool readAndKeep();
    bool goOnWithoutKeeping(const QString& why);
    // Makes the settings just read this update's; the reason when their note
    // could not be written.
    QString keepFor(const KeptSettings& read);
    void tellOthersStillKept(const KeptSettings& kept);
    void offerRestore();
    QString portIdentity() const;
    QList<KeptSettings> keptForThisPort() const;

    Session& session_;
    Updater& updater_;
    QString folder_;
    Now now_;
    Identify identify_;
    WhenNotKept whenNotKept_ = WhenNotKept::Ask;
    KeptSettings keptThisUpdate_;  // read by the update under way; file empty: none
    bool reading_ = false;
    bool cancelled_ = false;
    // Lets what is posted on the clock see that the keeper is gone.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

// The user's data folder of kv120-config, which kv120ctl shares.
QString defaultBackupFolder();
