#include "update/loaderprotocol.h"

#include "serial/bytetrace.h"

#include <algorithm>

QByteArray probePacket() {
    return QByteArray("\x5F\x00\x00\xF5", 4);
}

QByteArray lengthPacket(qint32 imageLength) {
    const qint32 partial = imageLength % kBlockSize;
    const char packet[] = {char(0x5E), char(partial / 256), char(imageLength % 256),
                           char(imageLength / kBlockSize), char(0xE5)};
    return QByteArray(packet, sizeof packet);
}

void fillBlockPacket(QByteArray& packet, const FirmwareImage& image, int index) {
    packet.resize(kBlockPacketSize);
    const QByteArrayView block = image.block(index);
    std::copy(block.begin(), block.end(), packet.begin());
    packet[kBlockSize] = char(xorChecksum(packet));
}

quint8 xorChecksum(QByteArrayView packet) {
    quint8 sum = 0;
    for (qsizetype k = 0; k + 1 < packet.size(); ++k) {
        sum ^= static_cast<quint8>(packet[k]);
    }
    return sum;
}

LoaderAnswer loaderAnswerIn(const ByteTrace& trace) {
    if (trace.startsWith(u"E5")) {
        return LoaderAnswer::Ready;
    }
    if (trace.startsWith(u"C5")) {
        return LoaderAnswer::NextBlock;
    }
    if (trace.startsWith(u"55")) {
        return LoaderAnswer::RepeatBlock;
    }
    return LoaderAnswer::None;
}

int progressPercent(int blockIndex, int blockCount) {
    const int scaled = blockIndex * 100;
    const int whole = scaled / blockCount;
    const int twiceRest = 2 * (scaled % blockCount);
    if (twiceRest > blockCount || (twiceRest == blockCount && whole % 2 != 0)) {
        return whole + 1;
    }
    return whole;
}
