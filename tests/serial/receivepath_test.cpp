#include "serial/receivepath.h"
#include "serial/textencoding.h"

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

TEST(TextEncoding, TextIsUtf8OrElseGb18030AndGoesBackAsItCame) {
    struct Case {
        QByteArray bytes;
        TextEncoding encoding;
        bool valid;
    };
    const QString comment = QStringLiteral("COMMENT TEXT:中继站");
    const Case cases[] = {
        {"COMMENT TEXT:ok", TextEncoding::Utf8, true},
        {comment.toUtf8(), TextEncoding::Utf8, true},
        // The same text as an older Chinese-language device sends it.
        {"COMMENT TEXT:\xD6\xD0\xBC\xCC\xD5\xBE", TextEncoding::Gb18030, true},
        {"COMMENT TEXT:\xFF\xD6", TextEncoding::Utf8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toHex(' ').toStdString());
        const DecodedText decoded = decodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding);
        EXPECT_EQ(decoded.valid, c.valid);
        if (c.valid) {
            EXPECT_TRUE(decoded.text.startsWith(u"COMMENT TEXT:"));
            EXPECT_EQ(decodeAs(c.bytes, c.encoding), decoded.text);
            EXPECT_EQ(encodeText(decoded.text, decoded.encoding), c.bytes);
        }
    }
}

}  // namespace
