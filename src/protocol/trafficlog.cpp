#include "protocol/trafficlog.h"

#include <QDateTime>

namespace {

using Direction = TrafficTap::Direction;

bool endsLine(char byte) {
    return byte == '\r' || byte == '\n';
}

// Hides from..end of the line that starts at from; a closing "#" stays.
void hideToLineEnd(const QByteArray& bytes, qsizetype from, QList<bool>& hidden) {
    qsizetype end = from;
    while (end < bytes.size() && !endsLine(bytes[end])) {
        ++end;
    }
    if (end > from && bytes[end - 1] == '#') {
        --end;
    }
    for (qsizetype i = from; i < end; ++i) {
        hidden[i] = true;
    }
}

// Hides what follows every occurrence of marker; with skipField, the first
// comma-separated field after it (the WiFi name) stays visible. A password
// holding a comma is hidden whole all the same: everything after the name is.
void hideAfter(const QByteArray& bytes, QByteArrayView marker, bool skipField,
               QList<bool>& hidden) {
    for (qsizetype at = bytes.indexOf(marker); at >= 0; at = bytes.indexOf(marker, at + 1)) {
        qsizetype from = at + marker.size();
        if (skipField) {
            const qsizetype comma = bytes.indexOf(',', from);
            if (comma < 0) {
                continue;
            }
            from = comma + 1;
        }
        hideToLineEnd(bytes, from, hidden);
    }
}

QChar shownAsText(char byte) {
    return byte >= 0x20 && byte < 0x7F ? QChar(QLatin1Char(byte)) : QChar(u'.');
}

}  // namespace

void TrafficLog::record(Direction direction, qint64 atMs, const QByteArray& bytes) {
    if (direction == Direction::Sent) {
        for (qsizetype at = 0; at < bytes.size(); at += kMaxEntryBytes) {
            entries_.push_back({atMs, direction, bytes.mid(at, kMaxEntryBytes)});
        }
        bytesHeld_ += bytes.size();
    } else {
        for (const char byte : bytes) {
            if (!continuesReply(atMs)) {
                entries_.push_back({atMs, direction, {}});
            }
            entries_.back().bytes.append(byte);
            ++bytesHeld_;
            // The next byte of the same batch continues this line.
            lastReceivedMs_ = atMs;
        }
    }
    keepBound();
    ++revision_;
}

bool TrafficLog::continuesReply(qint64 atMs) const {
    if (entries_.empty()) {
        return false;
    }
    const TrafficEntry& last = entries_.back();
    return last.direction == Direction::Received && !last.bytes.endsWith('\n') &&
           last.bytes.size() < kMaxEntryBytes && atMs - lastReceivedMs_ <= kReplyGapMs;
}

void TrafficLog::keepBound() {
    while (entries_.size() > size_t{kMaxEntries} || bytesHeld_ > kMaxBytes) {
        bytesHeld_ -= entries_.front().bytes.size();
        entries_.pop_front();
        ++dropped_;
    }
}

void TrafficLog::clear() {
    entries_.clear();
    bytesHeld_ = 0;
    dropped_ = 0;
    ++revision_;
}

QList<bool> secretBytes(const QByteArray& bytes) {
    QList<bool> hidden(bytes.size(), false);
    hideAfter(bytes, "AT+PASS,", false, hidden);
    hideAfter(bytes, "PASS:", false, hidden);
    hideAfter(bytes, "AT+WIFI,", true, hidden);
    return hidden;
}

QString formatEntry(const TrafficEntry& entry, int maxBytes) {
    const QByteArray& bytes = entry.bytes;
    const QList<bool> hidden = secretBytes(bytes);
    const qsizetype shown = std::min<qsizetype>(bytes.size(), maxBytes);
    QString hex;
    QString text;
    // A secret shows as one mask of fixed length, which tells nothing of its own.
    const QString mask = QStringLiteral("********");
    for (qsizetype i = 0; i < shown; ++i) {
        if (hidden[i] && i > 0 && hidden[i - 1]) {
            continue;
        }
        hex += hidden[i] ? mask
                         : QStringLiteral("%1").arg(quint8(bytes[i]), 2, 16, QChar(u'0')).toUpper();
        hex += u' ';
        text += hidden[i] ? mask : QString(shownAsText(bytes[i]));
    }
    QString line =
        QDateTime::fromMSecsSinceEpoch(entry.atMs).toString(QStringLiteral("HH:mm:ss.zzz"));
    line += entry.direction == Direction::Sent ? QStringLiteral(" TX  ") : QStringLiteral(" RX  ");
    line += hex + u' ' + text;
    if (shown < bytes.size()) {
        line += QStringLiteral(" ... (%1 bytes)").arg(bytes.size());
    }
    return line;
}

QString formatLog(const TrafficLog& log) {
    QString text;
    for (const TrafficEntry& entry : log.entries()) {
        text += formatEntry(entry, int(entry.bytes.size())) + u'\n';
    }
    return text;
}
