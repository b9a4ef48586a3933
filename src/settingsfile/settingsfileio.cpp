#include "settingsfile/settingsfileio.h"

#include "app/texts.h"
#include "process/inputfile.h"
#include "serial/textencoding.h"

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
    InputFile file = readInputFile(path, kMaxSettingsFileBytes);
    if (!file.failure.isEmpty()) {
        return {{}, file.failure};
    }
    if (file.bytes.size() > kMaxSettingsFileBytes) {
        return {{}, text(Msg::SettingsFileTooLarge, language).arg(kMaxSettingsFileBytes)};
    }
    if (!decodeText(file.bytes).valid) {
        return {{}, text(Msg::SettingsFileNotText, language)};
    }
    return {std::move(file.bytes), {}};
}
