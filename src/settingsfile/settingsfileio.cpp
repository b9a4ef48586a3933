#include "settingsfile/settingsfileio.h"

#include "app/texts.h"
#include "process/inputfile.h"
#include "serial/textencoding.h"

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
