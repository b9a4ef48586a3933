#include "update/loaderprotocol.h"
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
