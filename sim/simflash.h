#pragma once

#include <QByteArray>

// What the loader wrote into flash, for comparing with the image file.
struct SimFlash {
    static constexpr int kBlockBytes = 2048;

    int length = 0;         // the image length the length packet declared
    int blocks = 0;         // blocks stored
    int rejected = 0;       // block packets refused for their checksum
    int discarded = 0;      // block packets answering 0x55, not stored
    QByteArray image;       // the stored blocks' data, in order: blocks * 2048 bytes
    bool complete = false;  // every block of the declared length is stored and the device booted

    // The loader takes one block more than the length holds whole ones.
    int blockCount() const { return length / kBlockBytes + 1; }

    bool operator==(const SimFlash&) const = default;
};
