#pragma once

#include "sim/simflash.h"
#include "sim/simknobs.h"

#include <QByteArray>

// The device's loader, byte by byte. It answers the probe 5F 00 00 F5 with
// E5, takes the length packet 5E hi lo whole E5, and then asks for one block
// packet after another (2048 data bytes and their XOR) until it holds
// whole + 1 blocks:
//  - C5 asks for the next block; the packet answering it is stored when its
//    checksum is right.
//  - 55 asks the host to send the current block again without moving on; the
//    packet answering it is discarded, and a C5 always follows, so "55 then
//    C5" stores that block once.
//  - After a packet with a wrong checksum the loader asks again: 55, then C5.
// A transfer the host abandons part way is given up (see giveUpTransfer): the
// flash keeps the blocks it got, and the loader listens for a probe again, so
// a new update can start without a power cycle.
// With every block stored the device boots the new firmware, which answers
// "SETUP#" again; an image that does not take (a knob) leaves the loader
// listening for a probe instead. Knobs make it misbehave: a loader that
// answers E5 (repeated every second, see repeatedAnswer) or only 0x55 once
// some blocks are stored, so that the host never gets further.
// These rules are the simulated loader's whole behaviour; kv120-sim's options
// only set the knobs.
class SimLoader {
public:
    static constexpr char kProbeAnswer = '\xE5';
    static constexpr char kNextBlock = '\xC5';
    static constexpr char kSameBlock = '\x55';

    struct Step {
        QByteArray answer;          // bytes for the host
        bool flashChanged = false;  // a transfer started or a block was stored
    };

    // Writes into flash from the moment a length packet arrives.
    SimLoader(const SimKnobs& knobs, SimFlash& flash) : knobs_(knobs), flash_(flash) {}

    Step receive(char byte);

    // The probe was answered: the loader stays rather than booting the firmware.
    bool hasAnswered() const { return answered_; }
    // Between the length packet and the last block.
    bool isTransferring() const { return phase_ == Phase::Receiving; }
    // Every block is stored: the device boots the new firmware.
    bool isDone() const { return phase_ == Phase::Done; }
    // What the loader sends again when the host has sent nothing for a
    // second: E5 while the ready knob holds it; empty: nothing.
    QByteArray repeatedAnswer() const {
        return answersReady_ ? QByteArray(1, kProbeAnswer) : QByteArray();
    }

    // Drops the packet in progress and listens for a probe again. The image
    // in flash stays incomplete, so the device stays in its loader.
    void giveUpTransfer();

private:
    enum class Phase { Listening, AwaitingLength, Receiving, Done };

    Step listen(char byte);
    Step takeLength();
    Step takePacket();
    bool checksumHolds(const QByteArray& packet);
    // The next request, or nothing when the loader stalls.
    QByteArray request();

    const SimKnobs& knobs_;
    SimFlash& flash_;
    Phase phase_ = Phase::Listening;
    QByteArray recent_;  // the last bytes before the transfer, to find the packets in
    int probes_ = 0;
    bool answered_ = false;
    QByteArray packet_;
    char pending_ = 0;  // the request the next packet answers; 0: none
    char lastRequest_ = 0;
    int requests_ = 0;
    bool askAgain_ = false;
    bool corrupted_ = false;     // the corrupt-checksum knob has acted
    bool answersReady_ = false;  // the ready knob has acted: E5 instead of requests
};
