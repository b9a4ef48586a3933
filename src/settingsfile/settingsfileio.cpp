#include "settingsfile/settingsfileio.h"

#include "app/texts.h"
#include "serial/textencoding.h"

#include <QFile>
#include <QSaveFile>

QString writeFileWhole(const QString& path, const QByteArray& bytes) {
    // Until commit() the bytes go to a temporary file beside the old one;
    // leaving without commit() removes it. Qt 6.4's commit() ignores a failed
    // flush of its write buffer and would put a cut-off file (a full disk, a
    // size quota) in place of the old one, so the flush is checked first.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

FileContents readSettingsFile(const QString& path, Language language) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, file.errorString()};
    }
    // One byte past the limit tells a file that is too large, and a device
    // such as /dev/zero that never ends, from one that fits. A device may
    // hand out less than asked at a time.
    QByteArray bytes;
    while (bytes.size() <= kMaxSettingsFileBytes) {
        const QByteArray more = file.read(kMaxSettingsFileBytes + 1 - bytes.size());
        if (more.isEmpty()) {
            break;
        }
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError) {
        return {{}, file.errorString()};
    }
    if (bytes.size() > kMaxSettingsFileBytes) {
        return {{}, text(Msg::SettingsFileTooLarge, language).arg(kMaxSettingsFileBytes)};
    }
    if (!decodeText(bytes).valid) {
        return {{}, text(Msg::SettingsFileNotText, language)};
    }
    return {bytes, {}};
}
