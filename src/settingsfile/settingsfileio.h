#pragma once

#include "app/language.h"
#include "process/outputfile.h"  // writeFileWhole, which saves settings files

#include <QByteArray>
#include <QString>

// A settings file is a few hundred bytes; anything far larger is not one, and
// listing it line by line in the status box would stall the window.
inline constexpr qint64 kMaxSettingsFileBytes = qint64{64} * 1024;

struct FileContents {
    QByteArray bytes;
    QString failure;  // why the file could not be read; empty when it was
};

// Reads a whole settings file. A file that is too large, or one that is
// neither UTF-8 nor GB18030 (a binary file, a file in another encoding), is
// refused, the reason given in the window's language: such bytes would
// reach the device as replacement characters.
FileContents readSettingsFile(const QString& path, Language language);
