#include "protocol/trafficlog.h"
#include "support/printers.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using Direction = TrafficTap::Direction;

// The bytes as the log shows them as text, secrets as "*".
QString maskedText(const QByteArray& bytes) {
    const QList<bool> hidden = secretBytes(bytes);
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        text += hidden[i] ? u'*' : QChar(QLatin1Char(bytes[i]));
    }
    return text;
}

TEST(TrafficLog, PasscodeAndWifiPasswordAreHidden) {
    struct Case {
        QByteArray bytes;
        QString shown;
    };
    const Case cases[] = {
        {"AT+PASS,12345#\r\n", "AT+PASS,*****#\r\n"},
        {"AT+PASS,#\r\n", "AT+PASS,#\r\n"},
        {"PASS:12345\r\n", "PASS:*****\r\n"},
        {"PASS:-1", "PASS:**"},
        {"AT+WIFI,home,secret#\r\n", "AT+WIFI,home,******#\r\n"},
        // A password holding the command's own separators is hidden whole.
        {"AT+WIFI,home,se,c#ret#\r\n", "AT+WIFI,home,********#\r\n"},
        {"AT+WIFI,nocomma#\r\n", "AT+WIFI,nocomma#\r\n"},
        {"garbagePASS:777\r\n", "garbagePASS:***\r\n"},
        {"AT+CALL,BG7ABC-9#\r\n", "AT+CALL,BG7ABC-9#\r\n"},
        {"AT+COMMENT,PASS#\r\n", "AT+COMMENT,PASS#\r\n"},
        {"\r\nAT+PASS,1#\r\nAT+PASS,22#\r\n", "\r\nAT+PASS,*#\r\nAT+PASS,**#\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        EXPECT_EQ(maskedText(c.bytes), c.shown);
    }
}

TEST(TrafficLog, HiddenBytesShowInNeitherHexNorText) {
    const qint64 at = QDateTime(QDate(2024, 5, 1), QTime(13, 45, 12, 345)).toMSecsSinceEpoch();
    const TrafficEntry entry{at, Direction::Sent, "AT+PASS,12#\r\n"};
    EXPECT_EQ(formatEntry(entry, 100),
              "13:45:12.345 TX  41 54 2B 50 41 53 53 2C ** ** 23 0D 0A  AT+PASS,**#..");
    const TrafficEntry received{at, Direction::Received, QByteArray("\xE5", 1)};
    EXPECT_EQ(formatEntry(received, 100), "13:45:12.345 RX  E5  .");
    const TrafficEntry block{at, Direction::Sent, QByteArray(2049, 'A')};
    EXPECT_EQ(formatEntry(block, 2), "13:45:12.345 TX  41 41  AA ... (2049 bytes)");
}

TEST(TrafficLog, OneLinePerCommandOrReply) {
    struct Chunk {
        Direction direction;
        qint64 atMs;
        QByteArray bytes;
    };
    struct Case {
        const char* name;
        std::vector<Chunk> chunks;
        QList<QByteArray> lines;
    };
    const auto tx = Direction::Sent;
    const auto rx = Direction::Received;
    const Case cases[] = {
        {"each write is a line", {{tx, 0, "A#\r\n"}, {tx, 1, "B#\r\n"}}, {"A#\r\n", "B#\r\n"}},
        {"a reply in pieces is one line",
         {{rx, 0, "CONN"}, {rx, 5, "ECT\r"}, {rx, 9, "\nREAD"}, {rx, 12, " END\r\n"}},
         {"CONNECT\r\n", "READ END\r\n"}},
        {"the loader's answers are cut by the packets sent",
         {{rx, 0, "\xE5"}, {tx, 1, "len"}, {rx, 2, "\xC5"}, {tx, 3, "block"}, {rx, 4, "\xC5"}},
         {"\xE5", "len", "\xC5", "block", "\xC5"}},
        {"a reply after a pause is one line",
         {{tx, 0, "SETUP#\r\n"}, {rx, 1000, "CONNECT\r\n"}},
         {"SETUP#\r\n", "CONNECT\r\n"}},
        {"a pause ends a line without line end",
         {{rx, 0, "ab"}, {rx, 100, "c"}, {rx, 201, "d"}},
         {"abc", "d"}},
        {"a long reply is cut",
         {{rx, 0, QByteArray(TrafficLog::kMaxEntryBytes + 3, 'x')}},
         {QByteArray(TrafficLog::kMaxEntryBytes, 'x'), "xxx"}},
        {"a long write is cut",
         {{tx, 0, QByteArray(TrafficLog::kMaxEntryBytes + 1, 'y')}},
         {QByteArray(TrafficLog::kMaxEntryBytes, 'y'), "y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TrafficLog log;
        for (const Chunk& chunk : c.chunks) {
            log.record(chunk.direction, chunk.atMs, chunk.bytes);
        }
        QList<QByteArray> lines;
        for (const TrafficEntry& entry : log.entries()) {
            lines << entry.bytes;
        }
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(TrafficLog, MemoryStaysBoundedAndTheNewestLinesStay) {
    struct Case {
        const char* name;
        int writes;
        int bytesPerWrite;
    };
    const Case cases[] = {
        {"many short commands", 3 * TrafficLog::kMaxEntries, 10},
        {"many block packets", 2000, 2049},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TrafficLog log;
        for (int i = 0; i < c.writes; ++i) {
            QByteArray bytes(c.bytesPerWrite, 'z');
            bytes.replace(0, 4, QByteArray::number(i).rightJustified(4, '0').right(4));
            log.record(Direction::Sent, i, bytes);
        }
        EXPECT_LE(log.entries().size(), size_t{TrafficLog::kMaxEntries});
        EXPECT_LE(log.bytesHeld(), TrafficLog::kMaxBytes);
        qint64 held = 0;
        for (const TrafficEntry& entry : log.entries()) {
            held += entry.bytes.size();
        }
        EXPECT_EQ(held, log.bytesHeld());
        EXPECT_EQ(log.dropped() + qint64(log.entries().size()), c.writes);
        EXPECT_EQ(log.entries().back().atMs, c.writes - 1);
    }
}

}  // namespace
