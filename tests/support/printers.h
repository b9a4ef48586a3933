#pragma once

#include "serial/seriallink.h"

#include <QByteArray>
#include <QString>

#include <ostream>

// Lets GoogleTest show Qt strings in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << '"' << bytes.toStdString() << "\" (" << bytes.toHex(' ').toStdString() << ')';
}
inline void PrintTo(const PortUser& user, std::ostream* out) {
    *out << user.program.toStdString() << " (process " << user.pid << ')';
}
