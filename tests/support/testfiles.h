#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Bytes that differ from block to block and from the 0xFF padding, so a
// block sent twice, out of order or cut short shows.
inline QByteArray patternBytes(qsizetype size, int seed = 0) {
    QByteArray bytes(size, 0);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char((i * 31 + i / 2048 * 7 + seed) % 251);
    }
    return bytes;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Makes the bytes the whole file; false when that fails.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
