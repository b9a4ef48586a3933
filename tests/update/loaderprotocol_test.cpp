#include "update/loaderprotocol.h"
#include "serial/bytetrace.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int value : values) {
        result.append(char(value));
    }
    return result;
}

TEST(LoaderProtocol, LengthPacketDescribesPartialBlockAndWholeBlocks) {
    struct Case {
        qint32 length;
        QByteArray packet;
    };
    const Case cases[] = {
        {5000, bytes({0x5E, 0x03, 0x88, 0x02, 0xE5})},
        {8192, bytes({0x5E, 0x00, 0x00, 0x04, 0xE5})},
        {2047, bytes({0x5E, 0x07, 0xFF, 0x00, 0xE5})},
        {2048, bytes({0x5E, 0x00, 0x00, 0x01, 0xE5})},
        {kMaxImageLength, bytes({0x5E, 0x07, 0xFF, 0xFF, 0xE5})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(lengthPacket(c.length), c.packet) << "length " << c.length;
    }
}

TEST(LoaderProtocol, ChecksumCoversEveryByteButTheLast) {
    struct Case {
        QByteArray packet;
        quint8 sum;
    };
    const Case cases[] = {
        {bytes({0x01, 0x02, 0x04, 0x99}), 0x07},
        {bytes({0xA5, 0x5A}), 0xA5},
        {QByteArray(), 0x00},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xorChecksum(c.packet), c.sum) << c.packet.toHex().toStdString();
    }
}

TEST(LoaderProtocol, AnswerIsTheFirstByteSinceTheTraceWasCleared) {
    struct Case {
        const char* name;
        bool cleared;
        QByteArray received;
        LoaderAnswer answer;
    };
    const Case cases[] = {
        {"E5", true, bytes({0xE5}), LoaderAnswer::Ready},
        {"C5", true, bytes({0xC5}), LoaderAnswer::NextBlock},
        {"55", true, bytes({0x55}), LoaderAnswer::RepeatBlock},
        {"another byte first hides the answer", true, bytes({0x00, 0xC5}), LoaderAnswer::None},
        {"0C 55 is not C5 or 55", true, bytes({0x0C, 0x55}), LoaderAnswer::None},
        {"E4 is no answer", true, bytes({0xE4}), LoaderAnswer::None},
        {"nothing received", true, QByteArray(), LoaderAnswer::None},
        {"never cleared: the design text stands first", false, bytes({0xE5}), LoaderAnswer::None},
    };
    for (const Case& c : cases) {
        ByteTrace trace;
        if (c.cleared) {
            trace.set(QStringLiteral("  "));
        }
        for (const char byte : c.received) {
            trace.append(quint8(byte));
        }
        EXPECT_EQ(loaderAnswerIn(trace), c.answer) << c.name;
    }
}

TEST(LoaderProtocol, ProgressRoundsHalvesToTheEvenNeighbour) {
    struct Case {
        int index;
        int count;
        int percent;
    };
    const Case cases[] = {
        {1, 8, 12},  {5, 8, 62}, {1, 3, 33},  {2, 3, 67},      {0, 3, 0},
        {3, 3, 100}, {3, 40, 8}, {1, 200, 0}, {255, 256, 100}, {129, 256, 50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(progressPercent(c.index, c.count), c.percent) << c.index << "/" << c.count;
    }
}

}  // namespace
