#include "serial/receivepath.h"

#include "support/printers.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Feeds the chunks as separate receive events and records the reply line the
// handler saw after every byte.
struct Recorder {
    QStringList lines;
    ReceivePath path{[this](const QByteArray& line) { lines << QString::fromLatin1(line); }};

    void receive(std::initializer_list<QByteArray> chunks) {
        for (const QByteArray& chunk : chunks) {
            path.receive(chunk);
        }
    }
};

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
        Recorder recorder;
        recorder.receive(c.chunks);
        EXPECT_EQ(recorder.lines, c.lines) << c.name;
    }
}

TEST(ReceivePath, TracesEveryByteAsTwoUpperCaseHexDigits) {
    Recorder recorder;
    recorder.receive({"CONNECT\r\n"});
    EXPECT_EQ(recorder.path.trace().first(64), QStringLiteral("Text1434F4E4E4543540D0A"));

    struct Case {
        QByteArray bytes;
        QString trace;
    };
    for (const Case& c : {Case{"\x05", "05"}, Case{"\xE5", "E5"}, Case{"\x55\xC5\x0A", "55C50A"}}) {
        ByteTrace trace;
        trace.set(QStringLiteral("  "));
        for (const char byte : c.bytes) {
            trace.append(static_cast<quint8>(byte));
        }
        EXPECT_EQ(trace.first(64), c.trace);
        EXPECT_EQ(trace.length(), c.trace.size());
    }
}

TEST(ReceivePath, TraceKeepsItsStartAndCountsTheRestOfAMegabyte) {
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
    trace.append(0xC5);
    EXPECT_EQ(trace.first(64), QStringLiteral("C5"));
}

TEST(ReceivePath, DecodesALineAsUtf8OrElseGb18030) {
    const QString comment = QStringLiteral("COMMENT TEXT:中继站");
    EXPECT_EQ(decodeReplyText(comment.toUtf8()), comment);
    // The same text as an older Chinese-language device sends it.
    EXPECT_EQ(decodeReplyText(QByteArray("COMMENT TEXT:\xD6\xD0\xBC\xCC\xD5\xBE")), comment);
    EXPECT_EQ(decodeReplyText("FREQ:144.6400"), QStringLiteral("FREQ:144.6400"));
}

}  // namespace
