#include "backup/settingskeeper.h"

#include "app/form.h"
#include "app/prompter.h"
#include "protocol/exchange.h"
#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "protocol/writeexchange.h"
#include "serial/clock.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"
#include "update/updater.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

SettingsKeeper::SettingsKeeper(Session& session, Updater& updater, QString folder, Now now)
    : session_(session), updater_(updater), folder_(std::move(folder)), now_(std::move(now)) {
    QFile note(notePath());
    if (note.open(QIODevice::ReadOnly)) {
        const QString path = QString::fromUtf8(note.readAll());
        if (QFile::exists(path)) {
            pendingBackup_ = path;
        }
    }
    updater_.setUnfinishedNote([this] { return pendingNote(); });
}

QString SettingsKeeper::notePath() const {
    return QDir(folder_).filePath(QStringLiteral("pending-backup"));
}

void SettingsKeeper::setPending(const QString& path) {
    pendingBackup_ = path;
    if (path.isEmpty()) {
        QFile::remove(notePath());
        return;
    }
    // Without the note a later run does not know of the backup; the message
    // of an update that does not complete still names it.
    writeFileWhole(notePath(), path.toUtf8());
}

QString SettingsKeeper::pendingNote() const {
    return pendingBackup_.isEmpty() ? QString()
                                    : session_.tr(Msg::SettingsStillKept).arg(pendingBackup_);
}

void SettingsKeeper::updateClicked() {
    if (reading_) {
        // As a click on "Read data" would: the read finds the port closed.
        cancelled_ = true;
        closePortIfOpen(session_);
        return;
    }
    updater_.updateStart();
}

void SettingsKeeper::keepSettingsAcrossUpdates() {
    updater_.setBeforeReset([this] {
        // An earlier update that did not complete has reset the device
        // already: its backup holds the user's settings, a new read would not.
        return !pendingBackup_.isEmpty() || readAndKeep();
    });
}

bool SettingsKeeper::readAndKeep() {
    cancelled_ = false;
    reading_ = true;
    readExchange(session_);
    reading_ = false;
    if (cancelled_ || session_.clock().isAborted()) {
        return false;
    }
    Prompter& prompter = session_.prompter();
    if (!session_.flags().readEndSeen) {
        return prompter.confirm(session_.tr(Msg::BackupReadFailed));
    }
    const QString path = QDir(folder_).filePath(backupFileName(now_()));
    // A folder that cannot be made shows as the file that cannot be written.
    QDir().mkpath(folder_);
    const QString failure = writeFileWhole(path, settingsFileBytes(session_.form()));
    if (!failure.isEmpty()) {
        return prompter.confirm(session_.tr(Msg::BackupNotSaved).arg(path, failure));
    }
    setPending(path);
    session_.form().appendStatusLine(session_.tr(Msg::BackupKept).arg(path));
    return true;
}

void SettingsKeeper::offerRestoreOnCompletion() {
    updater_.setOnComplete([this] {
        if (!pendingBackup_.isEmpty()) {
            // The transfer timer must not wait: the question comes after it.
            session_.clock().post(0, [this] { offerRestore(); });
        }
    });
}

void SettingsKeeper::offerRestore() {
    updater_.holdLockForKeeper(true);
    if (!session_.prompter().confirm(session_.tr(Msg::RestoreQuestion).arg(pendingBackup_))) {
        setPending({});
    } else if (!restore()) {
        // Not written: the settings stay pending for the next attempt.
        session_.form().appendStatusLine(pendingNote());
    }
    updater_.holdLockForKeeper(false);
}

bool SettingsKeeper::restore() {
    session_.clock().delay(kRestartMs);
    Form& form = session_.form();
    const FileContents contents = readSettingsFile(pendingBackup_, form.language());
    if (!contents.failure.isEmpty()) {
        session_.prompter().message(
            session_.tr(Msg::RestoreNotLoaded).arg(pendingBackup_, contents.failure));
        return false;
    }
    // As "Load file" shows a file: its name, then its lines, each on a line
    // of its own, not run on from the loader wait's count.
    form.setStatus(pendingBackup_ + QStringLiteral("\r\n\r\n"));
    loadSettingsLines(session_, contents.bytes);
    writeExchange(session_);
    if (!session_.flags().freqSaveSeen) {
        return false;
    }
    setPending({});
    return true;
}

QString backupFileName(const QDateTime& when) {
    return QStringLiteral("KV120-settings-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
           QStringLiteral(".ini");
}

QString defaultBackupFolder() {
    // The window's data folder (its application name is kv120-config); kv120ctl
    // names it the same way, so both keep their backups in one place.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("kv120-config/settings-backups"));
}
