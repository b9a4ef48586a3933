#pragma once

#include <QByteArray>
#include <QString>

struct InputFile {
    QByteArray bytes;  // at most limit + 1 bytes: one more than allowed tells a file too large
    QString failure;   // the system's reason when the file could not be read, else empty
};

// Reads a file whole, or its first limit + 1 bytes. A device that never ends
// (/dev/zero) is cut there. A pipe (a FIFO, or the shell's <(command)) is read
// to its end while a program writes to it; one that no program has open for
// writing is refused at once instead of being waited for.
InputFile readInputFile(const QString& path, qint64 limit);
