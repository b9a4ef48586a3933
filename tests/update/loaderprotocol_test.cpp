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

TEST(LoaderProtocol, ProbeIsFourFixedBytes) {
    EXPECT_EQ(probePacket(), bytes({0x5F, 0x00, 0x00, 0xF5}));
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
        const char* name;
        QByteArray packet;
        quint8 sum;
    };
    QByteArray allFf(kBlockPacketSize, char(0xFF));
    QByteArray ffThenOne = allFf;
    ffThenOne[0] = 0x01;
    const Case cases[] = {
        {"01 02 04, last ignored", bytes({0x01, 0x02, 0x04, 0x99}), 0x07},
        {"single element", bytes({0x42}), 0x00},
        {"empty", QByteArray(), 0x00},
        {"2048 x FF, any last", allFf, 0x00},
        {"01 then 2047 x FF", ffThenOne, 0xFE},
        {"last byte would change the sum", bytes({0xA5, 0x5A}), 0xA5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(xorChecksum(c.packet), c.sum) << c.name;
    }
}

TEST(LoaderProtocol, BlockPacketIsTheBlockAndItsChecksum) {
    QByteArray file(5000, 0);
    for (int i = 0; i < file.size(); ++i) {
        file[i] = char(i * 7 + 3);
    }
    const FirmwareImage image = padImage(file);
    QByteArray packet;
    for (int index = 0; index < image.blockCount(); ++index) {
        fillBlockPacket(packet, image, index);
        ASSERT_EQ(packet.size(), kBlockPacketSize);
        EXPECT_EQ(packet.first(kBlockSize), image.buffer.mid(index * kBlockSize, kBlockSize));
        quint8 sum = 0;
        for (int i = 0; i < kBlockSize; ++i) {
            sum ^= quint8(packet[i]);
        }
        EXPECT_EQ(quint8(packet[kBlockSize]), sum) << "block " << index;
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
        {"C5 with more behind it", true, bytes({0xC5, 0x55, 0xE5}), LoaderAnswer::NextBlock},
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
        {1, 8, 12},  {5, 8, 62},  {1, 3, 33},     {2, 3, 67},     {3, 3, 100}, {0, 3, 0},
        {1, 40, 2},  {3, 40, 8},  {1, 200, 0},    {3, 200, 2},    {1, 2, 50},  {255, 256, 100},
        {1, 256, 0}, {2, 256, 1}, {127, 256, 50}, {129, 256, 50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(progressPercent(c.index, c.count), c.percent) << c.index << "/" << c.count;
    }
}

}  // namespace
