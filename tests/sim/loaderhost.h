#pragma once

#include "devicerig.h"

#include <QByteArray>

// The host's side of the loader transfer, as the configuration tool speaks
// it: E5 is answered with the length packet; C5 with the block at the block
// index, which then moves on; 55 with the block at the index, which stays.
// Once the last block has gone out for a C5 the host stops answering.
// Faults a host can have are switches, so tests can show the device catches them.
struct LoaderHost {
    LoaderHost(DeviceRig& rig, const QByteArray& image) : rig(rig), length(image.size()) {
        const int blocks = length / 2048 + 1;
        padded = image + QByteArray(blocks * 2048 - length, '\xFF');
        rig.link.setReceiver([this](const QByteArray& bytes) {
            heard += bytes;
            this->rig.heard.append({this->rig.clock.nowMs(), bytes});
            for (const char byte : bytes) {
                answer(byte);
            }
        });
    }

    int blockCount() const { return length / 2048 + 1; }

    static QByteArray lengthPacket(int length) {
        const char bytes[] = {'\x5E', static_cast<char>(length % 2048 / 256),
                              static_cast<char>(length % 256), static_cast<char>(length / 2048),
                              '\xE5'};
        return QByteArray(bytes, 5);
    }

    QByteArray blockPacket(int index) const {
        QByteArray packet = padded.mid(index * 2048, 2048);
        char sum = 0;
        for (const char byte : packet) {
            sum = static_cast<char>(sum ^ byte);
        }
        return packet + (index == badChecksumBlock ? static_cast<char>(sum ^ 1) : sum);
    }

    void answer(char byte) {
        if (blockIndex == blockCount()) {
            return;
        }
        if (byte == '\xE5') {
            rig.link.write(lengthPacket(length));
        } else if (byte == '\xC5' || byte == '\x55') {
            rig.link.write(blockPacket(blockIndex));
            if (byte == '\xC5' || advancesOnSameBlock) {
                ++blockIndex;
            }
        }
    }

    void probe() { rig.link.write(QByteArray("\x5F\x00\x00\xF5", 4)); }

    DeviceRig& rig;
    int length;
    QByteArray padded;
    int blockIndex = 0;
    QByteArray heard;
    int badChecksumBlock = -1;         // sends this block with a wrong checksum
    bool advancesOnSameBlock = false;  // treats 55 like C5
};
