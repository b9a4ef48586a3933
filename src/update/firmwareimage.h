#pragma once

#include <QByteArray>
#include <QByteArrayView>

// A firmware image as the loader receives it: the file's bytes, padded with
// 0xFF to whole 2048-byte blocks. There is always at least one byte of
// padding, so an image whose length is a multiple of 2048 gains a whole
// block of 0xFF; the loader expects exactly that many blocks.
inline constexpr int kBlockSize = 2048;
// The length packet carries the number of whole blocks in one byte.
inline constexpr qint32 kMaxImageLength = 255 * kBlockSize + kBlockSize - 1;
// Anything shorter cannot be a firmware for the device.
inline constexpr qint32 kMinUpdateLength = 5000;

inline int blockCountFor(qint32 length) {
    return length / kBlockSize + 1;
}

struct FirmwareImage {
    qint32 length = 0;  // the file's length; 0 while no image is loaded
    QByteArray buffer;  // blockCount() x 2048 bytes

    int blockCount() const { return blockCountFor(length); }
    // The 2048 bytes of block index.
    QByteArrayView block(int index) const {
        return QByteArrayView(buffer).sliced(qsizetype{index} * kBlockSize, kBlockSize);
    }
};

// The file's bytes followed by 0xFF up to a whole number of blocks. The
// caller keeps files longer than kMaxImageLength out.
FirmwareImage padImage(QByteArrayView fileBytes);

// What a file that is plainly not a raw image looks like.
enum class ImageKind { Raw, Elf, Zip, Uf2, IntelHex };

// Recognises the formats that firmware is commonly shipped in besides raw
// images, so that one of them is not flashed by mistake.
ImageKind imageKindOf(QByteArrayView fileBytes);
