#pragma once

#include "serial/bytetrace.h"

#include <QByteArray>
#include <QString>

#include <functional>

// Turns every received byte into two things: the received-byte trace (read
// by the firmware update) and the reply line (read by the reply parser).
//
// The reply line is built from bytes: CR empties it, LF leaves it as it is,
// any other byte is appended. After every byte, whatever it was, the line
// handler runs, so it sees every prefix of every line, then the empty line
// after the CR (and once more after an LF).
//
// The device's longest reply is a few dozen bytes. A line that runs on
// without a CR (a device babbling after a keyword) stops growing at
// kReplyLineLimit: the handler parses the whole line after every byte, and an
// unbounded line would make that quadratic, freezing the window for minutes
// over a few tens of KiB.
class ReceivePath {
public:
    using LineHandler = std::function<void(const QByteArray& replyLine)>;

    static constexpr qsizetype kReplyLineLimit = 1024;

    explicit ReceivePath(LineHandler onLine) : onLine_(std::move(onLine)) {}

    void receive(const QByteArray& bytes);

    ByteTrace& trace() { return trace_; }
    const ByteTrace& trace() const { return trace_; }
    const QByteArray& replyLine() const { return replyLine_; }
    void setReplyLine(const QByteArray& line) { replyLine_ = line; }

private:
    ByteTrace trace_;
    QByteArray replyLine_;
    LineHandler onLine_;
};
