#include "backup/keptsettings.h"

#include "settingsfile/settingsfileio.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString kPendingSuffix = QStringLiteral(".pending");
// What earlier versions kept: the path of the one pending file.
const QString kLegacyNote = QStringLiteral("pending-backup");

QString notePath(const QString& file) {
    return file + kPendingSuffix;
}

KeptSettings readNote(const QString& note) {
    QFile file(note);
    const QJsonObject values =
        file.open(QIODevice::ReadOnly)
            ? QJsonDocument::fromJson(file.read(kMaxSettingsFileBytes)).object()
            : QJsonObject();
    KeptSettings kept;
    kept.file = note.chopped(kPendingSuffix.size());
    kept.port = values[u"port"].toString();
    kept.portIdentity = values[u"portIdentity"].toString();
    kept.callsign = values[u"callsign"].toString();
    kept.version = values[u"version"].toString();
    kept.when = QDateTime::fromString(values[u"when"].toString(), Qt::ISODate);
    // A note that cannot be read still says the file waits; its device is not known.
    if (!kept.when.isValid()) {
        kept.when = QFileInfo(kept.file).lastModified();
    }
    return kept;
}

// The note an earlier version left names one file and no device: it becomes
// a note of this version's, with the device not known, so it is offered to
// no device without asking.
void adoptLegacyNote(const QString& folder) {
    QFile legacy(QDir(folder).filePath(kLegacyNote));
    if (!legacy.open(QIODevice::ReadOnly)) {
        return;
    }
    const QString file = QString::fromUtf8(legacy.readAll());
    legacy.close();
    if (QFile::exists(file) && !isPending(file)) {
        KeptSettings kept;
        kept.file = file;
        kept.when = QFileInfo(file).lastModified();
        if (!markPending(kept).isEmpty()) {
            return;  // the old note stays, so nothing is lost
        }
    }
    legacy.remove();
}

}  // namespace

QString KeptSettings::describe() const {
    return QStringLiteral("%1 (%2, %3, %4)")
        .arg(file, port.isEmpty() ? QStringLiteral("?") : port,
             callsign.isEmpty() ? QStringLiteral("?") : callsign,
             when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

QList<KeptSettings> pendingKeptSettings(const QString& folder) {
    adoptLegacyNote(folder);
    QList<KeptSettings> pending;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({QStringLiteral("*") + kPendingSuffix}, QDir::Files)) {
        KeptSettings kept = readNote(dir.filePath(name));
        if (QFile::exists(kept.file)) {
            pending << kept;
        }
    }
    std::sort(pending.begin(), pending.end(),
              [](const KeptSettings& a, const KeptSettings& b) { return a.when < b.when; });
    return pending;
}

QString createKeptFile(const QString& folder, const QDateTime& when, const QByteArray& bytes,
                       QString& failure) {
    // A folder that cannot be made shows as the file that cannot be created.
    QDir().mkpath(folder);
    const QString stem =
        QStringLiteral("KV120-settings-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int number = 1;; ++number) {
        const QString name = number == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(number);
        const QString path = QDir(folder).filePath(name + QStringLiteral(".ini"));
        // Created only when no file has the name: two updates started in the
        // same second, by two programs, each get their own.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            file.close();
            failure = writeFileWhole(path, bytes);
            if (!failure.isEmpty()) {
                QFile::remove(path);
                return {};
            }
            return path;
        }
        if (file.error() != QFileDevice::OpenError || !QFile::exists(path)) {
            failure = file.errorString();
            return {};
        }
    }
}

QString markPending(const KeptSettings& kept) {
    const QJsonObject values{{QStringLiteral("port"), kept.port},
                             {QStringLiteral("portIdentity"), kept.portIdentity},
                             {QStringLiteral("callsign"), kept.callsign},
                             {QStringLiteral("version"), kept.version},
                             {QStringLiteral("when"), kept.when.toString(Qt::ISODate)}};
    return writeFileWhole(notePath(kept.file), QJsonDocument(values).toJson());
}

void clearPending(const QString& file) {
    QFile::remove(notePath(file));
}

bool isPending(const QString& file) {
    return QFile::exists(notePath(file));
}
