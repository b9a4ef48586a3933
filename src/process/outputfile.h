#pragma once

#include <QByteArray>
#include <QString>

// Writes a file the user named, as what the name stands for.
//
// A regular file (or a new one) is replaced whole or not at all: the old file
// stays as it was unless the new one has been written completely, and a
// symbolic link keeps naming the file, now the new one. A character device, a
// pipe or a socket (/dev/stdout, a terminal, a FIFO a program reads) is
// written in place, as a shell's redirection would; a pipe that no program
// reads is refused at once instead of being waited for. Anything else (a
// folder, a disk) is refused: a settings file must never take a device
// node's place.
//
// The reason when the bytes were not written whole, else the empty text.
QString writeFileWhole(const QString& path, const QByteArray& bytes);
