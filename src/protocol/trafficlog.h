#pragma once

#include "serial/traffictap.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

// One line of the traffic view: a command or a reply, or what came between.
struct TrafficEntry {
    qint64 atMs;  // when its first byte went or came, in milliseconds since 1970
    TrafficTap::Direction direction;
    QByteArray bytes;
};

// The serial traffic as lines, oldest first, in bounded memory.
//
// Each write is one line (a command, a loader packet). Received bytes join
// the line being received until it ends with LF (the device ends its lines
// with CR LF), until something is sent (the loader's one-byte answers), or
// after a pause; a line never grows past kMaxEntryBytes. The oldest lines go
// once there are more than kMaxEntries or more than kMaxBytes in all: enough
// for a whole firmware update of the largest image with its replies.
class TrafficLog {
public:
    static constexpr int kMaxEntries = 5000;
    static constexpr qint64 kMaxBytes = 1024 * 1024;
    static constexpr int kMaxEntryBytes = 4096;
    static constexpr int kReplyGapMs = 100;

    void record(TrafficTap::Direction direction, qint64 atMs, const QByteArray& bytes);
    void clear();

    const std::deque<TrafficEntry>& entries() const { return entries_; }
    qint64 bytesHeld() const { return bytesHeld_; }
    // Lines dropped to keep the bound since the last clear().
    qint64 dropped() const { return dropped_; }
    // Changes with every record() and clear(), so a view knows when to redraw.
    quint64 revision() const { return revision_; }

private:
    bool continuesReply(qint64 atMs) const;
    void keepBound();

    std::deque<TrafficEntry> entries_;
    qint64 bytesHeld_ = 0;
    qint64 dropped_ = 0;
    qint64 lastReceivedMs_ = 0;
    quint64 revision_ = 0;
};

// Which bytes of a line are secret: the passcode ("AT+PASS," and the device's
// "PASS:" line) and the WiFi password (what follows the name in "AT+WIFI,").
// True for each byte to hide.
QList<bool> secretBytes(const QByteArray& bytes);

// One line of text: local time, "TX" or "RX", the bytes in hex and as text
// (a dot for a byte that is not printable ASCII), each secret shown as
// "********" in both, whatever its length. At most maxBytes bytes are shown,
// then the count of all of them.
QString formatEntry(const TrafficEntry& entry, int maxBytes);

// Every line of the log, each ended by a line break, with all its bytes: the
// text that "Save…" writes.
QString formatLog(const TrafficLog& log);
