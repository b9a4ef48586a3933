#pragma once

#include <QString>

// The received-byte trace: two upper-case hexadecimal digits per received
// byte, oldest first, no separators. Before each append, blanks at both ends
// are trimmed, so a trace reset to two blanks starts afresh with the next
// byte. It starts as "Text1".
//
// Only the start of the trace is ever read (the loader's answer is its first
// byte), so only the first kKept characters are stored; the rest is counted.
// Reads of the kept part give what the whole, ever-growing text would.
class ByteTrace {
public:
    static constexpr qsizetype kKept = 64;

    ByteTrace() : text_(QStringLiteral("Text1")), length_(text_.size()) {}

    void append(quint8 byte);
    // Replaces the whole trace, as setting the hidden text box's text does.
    void set(const QString& text);
    // The first n characters of the trace (n at most kKept).
    QString first(qsizetype n) const { return text_.left(n); }
    bool startsWith(QStringView prefix) const { return text_.startsWith(prefix); }
    // The length of the whole trace, including what is not kept.
    qint64 length() const { return length_; }

private:
    QString text_;
    qint64 length_;
};
