#include "update/firmwareimage.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

QByteArray countingBytes(qsizetype size) {
    QByteArray bytes(size, 0);
    for (qsizetype i = 0; i < size; ++i) {
        bytes[i] = char(i % 251);
    }
    return bytes;
}

TEST(FirmwareImage, PadsWithFfToWholeBlocksAlwaysAddingSome) {
    struct Case {
        qsizetype length;
        int blocks;
    };
    const Case cases[] = {
        {0, 1},    {1, 1},    {2047, 1}, {2048, 2},
        {4096, 3}, {5000, 3}, {8192, 5}, {kMaxImageLength, 256},
    };
    for (const Case& c : cases) {
        const QByteArray file = countingBytes(c.length);
        const FirmwareImage image = padImage(file);
        EXPECT_EQ(image.length, c.length);
        EXPECT_EQ(image.blockCount(), c.blocks) << "length " << c.length;
        ASSERT_EQ(image.buffer.size(), qsizetype{c.blocks} * kBlockSize) << "length " << c.length;
        EXPECT_EQ(image.buffer.first(c.length), file) << "length " << c.length;
        EXPECT_EQ(image.buffer.sliced(c.length),
                  QByteArray(image.buffer.size() - c.length, char(0xFF)))
            << "length " << c.length;
    }
}

TEST(FirmwareImage, BlocksAreConsecutive2048ByteSlices) {
    const FirmwareImage image = padImage(countingBytes(5000));
    EXPECT_EQ(image.block(0).toByteArray(), countingBytes(5000).first(kBlockSize));
    const QByteArray third = image.block(2).toByteArray();
    EXPECT_EQ(third.first(904), countingBytes(5000).sliced(4096));
    EXPECT_EQ(third.sliced(904), QByteArray(1144, char(0xFF)));
}

TEST(FirmwareImage, RecognisesFilesThatAreNotRawImages) {
    struct Case {
        const char* name;
        QByteArray start;
        ImageKind kind;
    };
    const Case cases[] = {
        {"ELF",
         QByteArray("\x7F"
                    "ELF\x01\x01\x01\x00",
                    8),
         ImageKind::Elf},
        {"ZIP", QByteArray("PK\x03\x04\x14\x00", 6), ImageKind::Zip},
        {"UF2", QByteArray("UF2\nWQ]\x9E", 8), ImageKind::Uf2},
        {"Intel HEX", ":020000040800F2\r\n:10000000FFFF\r\n:00000001FF\r\n", ImageKind::IntelHex},
        {"Intel HEX, LF only", ":00000001FF\n", ImageKind::IntelHex},
        {"raw starting with a colon", QByteArray(":\x00\x20\x00\x08", 5), ImageKind::Raw},
        {"hex digits without the colon", "020000040800F2\r\n", ImageKind::Raw},
        {"ELF signature not at the start",
         QByteArray("\x00\x7F"
                    "ELF",
                    5),
         ImageKind::Raw},
        {"typical vector table", QByteArray("\x00\x50\x00\x20\xC1\x01\x00\x08", 8), ImageKind::Raw},
        {"empty", QByteArray(), ImageKind::Raw},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(imageKindOf(c.start), c.kind) << c.name;
    }
}

}  // namespace
