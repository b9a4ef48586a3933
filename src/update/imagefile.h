#pragma once

#include <QByteArray>
#include <QString>

// A firmware file read whole, or why it could not be.
struct ImageFileRead {
    enum class Outcome { Read, NotRead, TooLarge };
    Outcome outcome = Outcome::NotRead;
    QByteArray bytes;  // the whole file when read
    QString reason;    // the system's words when not read
};

// Reads the file at path, refusing one longer than maxLength without reading
// more of it than that.
ImageFileRead readImageFile(const QString& path, qint64 maxLength);
