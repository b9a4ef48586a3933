#pragma once

#include "update/firmwareimage.h"

#include <QByteArray>
#include <QByteArrayView>

class ByteTrace;

// The byte protocol of the device's loader. The tool probes, the loader
// answers with one byte, and every answer is met with exactly one packet.

// Sent once a second until the loader answers 0xE5.
QByteArray probePacket();

// 5E, length of the final partial block (high, low), number of whole blocks, E5.
QByteArray lengthPacket(qint32 imageLength);

// The block packet's size: 2048 image bytes and their checksum.
inline constexpr int kBlockPacketSize = kBlockSize + 1;

// Fills the 2049-byte packet with block index of the image and its checksum.
void fillBlockPacket(QByteArray& packet, const FirmwareImage& image, int index);

// XOR of every byte but the last, which is the slot the checksum goes into.
quint8 xorChecksum(QByteArrayView packet);

enum class LoaderAnswer {
    None,
    Ready,        // 0xE5: the loader answers the probe and wants the length
    NextBlock,    // 0xC5: send the block at the current position and advance
    RepeatBlock,  // 0x55: send the block at the current position, do not advance
};

// The loader's answer is the first byte received since the trace was last
// cleared; any other first byte is no answer, and hides later ones until the
// trace is cleared again.
LoaderAnswer loaderAnswerIn(const ByteTrace& trace);

// How much of the image has been sent, in whole percent, halves rounded to
// the even neighbour.
int progressPercent(int blockIndex, int blockCount);
