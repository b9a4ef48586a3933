#include "backup/settingskeeper.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/exchange.h"
#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "protocol/writeexchange.h"
#include "serial/clock.h"
#include "serial/portlister.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"
#include "update/updater.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace ds = DeviceSettings;

SettingsKeeper::SettingsKeeper(Session& session, Updater& updater, QString folder, Now now,
                               Identify identify)
    : session_(session),
      updater_(updater),
      folder_(std::move(folder)),
      now_(std::move(now)),
      identify_(identify ? std::move(identify) : Identify(&identityOfPort)) {
    updater_.setUnfinishedNote([this] { return pendingNote(); });
}

QString SettingsKeeper::portIdentity() const {
    return identify_(session_.form().text(Ctl::Combo1));
}

QList<KeptSettings> SettingsKeeper::keptForThisPort() const {
    QList<KeptSettings> kept = pendingKeptSettings(folder_);
    const QString identity = portIdentity();
    kept.removeIf([&identity](const KeptSettings& k) { return k.portIdentity != identity; });
    return kept;
}

QString SettingsKeeper::pendingNote() const {
    const QString file = writeBack().file;
    return file.isEmpty() ? QString() : session_.tr(Msg::SettingsStillKept).arg(file);
}

SettingsKeeper::WriteBack SettingsKeeper::writeBack() const {
    if (!keptThisUpdate_.file.isEmpty()) {
        return {keptThisUpdate_.file, {}};
    }
    if (!updater_.startedInLoader()) {
        return {};
    }
    const QList<KeptSettings> mine = keptForThisPort();
    if (mine.size() == 1) {
        return {mine.front().file, {}};
    }
    return {{}, mine.isEmpty() ? pendingKeptSettings(folder_) : mine};
}

void SettingsKeeper::updateClicked() {
    if (reading_) {
        // As a click on "Read data" would: the read finds the port closed.
        cancelled_ = true;
        closePortIfOpen(session_);
        return;
    }
    // A click that starts an update (not one that cancels the start) begins
    // with nothing read.
    if (session_.form().text(Ctl::Command2) != session_.tr(Msg::UpdateButtonBusy)) {
        keptThisUpdate_ = {};
    }
    updater_.updateStart();
}

void SettingsKeeper::keepSettingsAcrossUpdates(WhenNotKept whenNotKept) {
    whenNotKept_ = whenNotKept;
    updater_.setBeforeReset([this] { return readAndKeep(); });
}

bool SettingsKeeper::readAndKeep() {
    cancelled_ = false;
    reading_ = true;
    session_.forgetReplies();
    readExchange(session_);
    reading_ = false;
    if (cancelled_ || session_.clock().isAborted()) {
        return false;
    }
    // Only settings the device sent whole can stand in for the device's: an
    // empty or cut-short read written back would blank what it left out.
    const std::vector<Ctl> lines = settingLineControls();
    const bool whole = session_.flags().readEndSeen &&
                       std::all_of(lines.begin(), lines.end(), [this](Ctl control) {
                           return session_.repliedControls().contains(control);
                       });
    if (!whole) {
        return goOnWithoutKeeping(session_.tr(Msg::BackupReadFailed));
    }
    const Form& form = session_.form();
    KeptSettings kept;
    kept.port = form.text(Ctl::Combo1);
    kept.portIdentity = portIdentity();
    kept.callsign = form.text(ds::callsign) + u'-' + form.text(ds::callSsid);
    kept.version = form.text(ds::firmwareVersion);
    kept.when = now_();
    QString failure;
    kept.file = createKeptFile(folder_, kept.when, settingsFileBytes(form), failure);
    if (!kept.file.isEmpty()) {
        failure = keepFor(kept);
    }
    if (!failure.isEmpty()) {
        return goOnWithoutKeeping(session_.tr(Msg::BackupNotSaved)
                                      .arg(kept.file.isEmpty() ? folder_ : kept.file, failure));
    }
    return true;
}

QString SettingsKeeper::keepFor(const KeptSettings& read) {
    Form& form = session_.form();
    QList<KeptSettings> waiting = keptForThisPort();
    // The device holds these settings again: they no longer wait for it.
    for (const KeptSettings& kept : waiting) {
        if (kept.callsign == read.callsign) {
            clearPending(kept.file);
        }
    }
    waiting.removeIf([&read](const KeptSettings& kept) { return kept.callsign == read.callsign; });
    // Settings wait for this port only when an update of ours reset the
    // device on it and did not complete: what it holds now are its factory
    // settings, and the ones kept then go back. What it holds is kept all
    // the same, in case it is another device.
    if (waiting.size() == 1) {
        keptThisUpdate_ = waiting.front();
        form.appendStatusLine(session_.tr(Msg::ResetEarlier).arg(keptThisUpdate_.file, read.file));
        return {};
    }
    const QString failure = markPending(read);
    if (failure.isEmpty()) {
        keptThisUpdate_ = read;
        tellOthersStillKept(read);
        form.appendStatusLine(session_.tr(Msg::BackupKept).arg(read.file));
    }
    return failure;
}

bool SettingsKeeper::goOnWithoutKeeping(const QString& why) {
    Prompter& prompter = session_.prompter();
    if (whenNotKept_ == WhenNotKept::Stop) {
        prompter.message(why + u'\n' + session_.tr(Msg::UpdateNotStartedNotKept));
        return false;
    }
    return prompter.confirm(why + u'\n' + session_.tr(Msg::UpdateWithoutKeeping));
}

void SettingsKeeper::tellOthersStillKept(const KeptSettings& kept) {
    QStringList others;
    for (const KeptSettings& waiting : pendingKeptSettings(folder_)) {
        if (waiting.file != kept.file) {
            others << waiting.describe();
        }
    }
    if (!others.isEmpty()) {
        session_.form().appendStatusLine(
            session_.tr(Msg::OthersStillKept).arg(others.join(QStringLiteral("\r\n"))));
    }
}

void SettingsKeeper::offerRestoreOnCompletion() {
    updater_.setOnComplete([this] {
        // The completion comes from a timer that must not wait: the question
        // comes after it.
        session_.clock().post(0, [this, alive = std::weak_ptr<char>(alive_)] {
            if (!alive.expired()) {
                offerRestore();
            }
        });
    });
}

void SettingsKeeper::offerRestore() {
    const WriteBack choice = writeBack();
    Prompter& prompter = session_.prompter();
    QString file = choice.file;
    updater_.holdLockForKeeper(true);
    if (file.isEmpty() && !choice.undecided.isEmpty()) {
        QStringList items;
        for (const KeptSettings& kept : choice.undecided) {
            items << kept.describe();
        }
        const int picked =
            prompter.choose(session_.tr(Msg::ChooseKept), items, session_.tr(Msg::NoneOfThem));
        file = picked >= 0 ? choice.undecided[picked].file : QString();
    } else if (!file.isEmpty() && !prompter.confirm(session_.tr(Msg::RestoreQuestion).arg(file))) {
        // The user lets them go.
        clearPending(file);
        file.clear();
    }
    if (!file.isEmpty() && !restore(file)) {
        // Not written: the settings stay waiting for the next attempt.
        session_.form().appendStatusLine(session_.tr(Msg::SettingsStillKept).arg(file));
    }
    updater_.holdLockForKeeper(false);
}

bool SettingsKeeper::restore(const QString& file) {
    Form& form = session_.form();
    const FileContents contents = readSettingsFile(file, form.language());
    if (!contents.failure.isEmpty()) {
        session_.prompter().message(session_.tr(Msg::RestoreNotLoaded).arg(file, contents.failure));
        return false;
    }
    // As "Load file" shows a file: its name, then its lines, each on a line
    // of its own, not run on from the update's lines.
    form.setStatus(file + QStringLiteral("\r\n\r\n"));
    loadSettingsLines(session_, contents.bytes);
    writeExchange(session_);
    if (!session_.flags().freqSaveSeen) {
        return false;
    }
    clearPending(file);
    return true;
}

QString defaultBackupFolder() {
    // The window's data folder (its application name is kv120-config); kv120ctl
    // names it the same way, so both keep their backups in one place.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("kv120-config/settings-backups"));
}
