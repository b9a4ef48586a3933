#include "protocol/trafficlog.h"
#include "support/printers.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

using Direction = TrafficTap::Direction;

TEST(TrafficLog, PasscodeAndWifiPasswordAreHidden) {
    const std::pair<QByteArray, QString> cases[] = {
        {"AT+PASS,12345#\r\n", "AT+PASS,*****#\r\n"},
        {"PASS:-1", "PASS:**"},
        {"AT+WIFI,home,secret#\r\n", "AT+WIFI,home,******#\r\n"},
        // A password holding the command's own separators is hidden whole.
        {"AT+WIFI,home,se,c#ret#\r\n", "AT+WIFI,home,********#\r\n"},
        {"AT+WIFI,nocomma#\r\n", "AT+WIFI,nocomma#\r\n"},
        {"AT+COMMENT,PASS#\r\n", "AT+COMMENT,PASS#\r\n"},
        {"\r\nAT+PASS,1#\r\nAT+PASS,22#\r\n", "\r\nAT+PASS,*#\r\nAT+PASS,**#\r\n"},
    };
    for (const auto& [bytes, shown] : cases) {
        const QList<bool> hidden = secretBytes(bytes);
        QString text;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            text += hidden[i] ? u'*' : QChar(QLatin1Char(bytes[i]));
        }
        EXPECT_EQ(text, shown);
    }
}

TEST(TrafficLog, HiddenBytesShowInNeitherHexNorText) {
    const qint64 at = QDateTime(QDate(2024, 5, 1), QTime(13, 45, 12, 345)).toMSecsSinceEpoch();
    EXPECT_EQ(formatEntry({at, Direction::Sent, "AT+PASS,12#\r\n"}, 100),
              "13:45:12.345 TX  41 54 2B 50 41 53 53 2C ******** 23 0D 0A  AT+PASS,********#..");
    EXPECT_EQ(formatEntry({at, Direction::Sent, "AT+PASS,1#"}, 100),
              "13:45:12.345 TX  41 54 2B 50 41 53 53 2C ******** 23  AT+PASS,********#");
    EXPECT_EQ(formatEntry({at, Direction::Received, QByteArray("\xE5\x7F ~", 4)}, 100),
              "13:45:12.345 RX  E5 7F 20 7E  .. ~");
    EXPECT_EQ(formatEntry({at, Direction::Sent, QByteArray(2049, 'A')}, 2),
              "13:45:12.345 TX  41 41  AA ... (2049 bytes)");
}

TEST(TrafficLog, OneLinePerCommandOrReply) {
    struct Chunk {
        Direction direction;
        qint64 atMs;
        QByteArray bytes;
    };
    const auto tx = Direction::Sent;
    const auto rx = Direction::Received;
    const QByteArray longReply(TrafficLog::kMaxEntryBytes + 3, 'x');
    const QByteArray longWrite(TrafficLog::kMaxEntryBytes + 1, 'y');
    const std::pair<std::vector<Chunk>, QList<QByteArray>> cases[] = {
        {{{tx, 0, "A#\r\n"}, {tx, 1, "B#\r\n"}}, {"A#\r\n", "B#\r\n"}},
        {{{rx, 0, "CONN"}, {rx, 5, "ECT\r"}, {rx, 9, "\nREAD"}, {rx, 12, " END\r\n"}},
         {"CONNECT\r\n", "READ END\r\n"}},
        // The loader's answers are cut by the packets sent.
        {{{rx, 0, "\xE5"}, {tx, 1, "len"}, {rx, 2, "\xC5"}, {tx, 3, "block"}, {rx, 4, "\xC5"}},
         {"\xE5", "len", "\xC5", "block", "\xC5"}},
        // A pause ends a line without line end.
        {{{rx, 0, "ab"}, {rx, 100, "c"}, {rx, 201, "d"}}, {"abc", "d"}},
        {{{rx, 0, longReply}}, {longReply.first(TrafficLog::kMaxEntryBytes), "xxx"}},
        {{{tx, 0, longWrite}}, {longWrite.first(TrafficLog::kMaxEntryBytes), "y"}},
    };
    for (const auto& [chunks, expected] : cases) {
        TrafficLog log;
        for (const Chunk& chunk : chunks) {
            log.record(chunk.direction, chunk.atMs, chunk.bytes);
        }
        QList<QByteArray> lines;
        for (const TrafficEntry& entry : log.entries()) {
            lines << entry.bytes;
        }
        EXPECT_EQ(lines, expected);
    }
}

TEST(TrafficLog, KeepsTheNewestLinesWithinItsBounds) {
    // Lines recorded, their size, lines kept: at most 5000 lines and 1 MiB in all.
    const std::tuple<int, int, int> cases[] = {{5001, 1, 5000}, {257, 4096, 256}};
    for (const auto& [lines, lineBytes, kept] : cases) {
        TrafficLog log;
        for (int line = 0; line < lines; ++line) {
            log.record(Direction::Sent, line, QByteArray(lineBytes, 'x'));
        }
        ASSERT_EQ(log.entries().size(), size_t(kept));
        EXPECT_EQ(log.entries().front().atMs, lines - kept);
        EXPECT_EQ(log.dropped(), lines - kept);
        EXPECT_EQ(log.bytesHeld(), qint64(kept) * lineBytes);
    }
}

}  // namespace
