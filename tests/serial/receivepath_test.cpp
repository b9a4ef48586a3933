#include "serial/receivepath.h"

#include "support/printers.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(ReceivePath, HandsEveryPrefixAndTheEmptyLinesAfterCrAndLf) {
    const QStringList connect{"C", "CO", "CON", "CONN", "CONNE", "CONNEC", "CONNECT", "", ""};
    struct Case {
        const char* name;
        std::initializer_list<QByteArray> chunks;
        QStringList lines;
    };
    const Case cases[] = {
        {"one event", {"CONNECT\r\n"}, connect},
        {"split over two events", {"CONN", "ECT\r\n"}, connect},
        {"lone LF leaves the line", {"AB\nC"}, {"A", "AB", "AB", "ABC"}},
        {"LF before CR", {"A\n\rB"}, {"A", "A", "", "B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines;
        ReceivePath path([&lines](const QByteArray& line) { lines << QString::fromLatin1(line); });
        for (const QByteArray& chunk : c.chunks) {
            path.receive(chunk);
        }
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(ReceivePath, TracesEveryByteAsHexKeepingItsStartAndCountingTheRest) {
    ReceivePath path([](const QByteArray&) {});
    path.receive("CONNECT\r\n");
    EXPECT_EQ(path.trace().first(64), QStringLiteral("Text1434F4E4E4543540D0A"));

    ByteTrace trace;
    trace.set(QStringLiteral("  "));
    for (int i = 0; i < (1 << 20); ++i) {
        trace.append(static_cast<quint8>(i));
    }
    EXPECT_EQ(trace.length(), 2 << 20);
    EXPECT_EQ(trace.first(8), QStringLiteral("00010203"));
    EXPECT_EQ(trace.first(ByteTrace::kKept).size(), ByteTrace::kKept);

    // A reset starts afresh however long the trace had grown.
    trace.set(QStringLiteral("  "));
    trace.append(0xE5);
    trace.append(0x0A);
    EXPECT_EQ(trace.first(64), QStringLiteral("E50A"));
    EXPECT_EQ(trace.length(), 4);
}

TEST(ReceivePath, DecodesALineAsUtf8OrElseGb18030) {
    const QString comment = QStringLiteral("COMMENT TEXT:中继站");
    EXPECT_EQ(decodeReplyText(comment.toUtf8()), comment);
    // The same text as an older Chinese-language device sends it.
    EXPECT_EQ(decodeReplyText(QByteArray("COMMENT TEXT:\xD6\xD0\xBC\xCC\xD5\xBE")), comment);
}

}  // namespace
