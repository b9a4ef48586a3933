#include "loaderhost.h"
#include "support/printers.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

const QByteArray kProbe("\x5F\x00\x00\xF5", 4);

QByteArray imageOf(int length) {
    QByteArray image(length, '\0');
    for (int i = 0; i < length; ++i) {
        image[i] = static_cast<char>((i * 7 + i / 2048) & 0xFF);
    }
    return image;
}

QByteArray sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Restarts the device into its loader and sends the probe once the REBOOT# is in.
void rebootAndProbe(DeviceRig& rig, LoaderHost& host) {
    rig.link.write("REBOOT#\r\n");
    rig.clock.advance(100);
    host.probe();
    rig.clock.advance(60'000);
}

TEST(Loader, TransfersExactlyBlockCountBlocksAndBootsWithTheImage) {
    struct Case {
        int length;
        QByteArray lengthPacket;
        int blocks;
    };
    const Case cases[] = {
        {5000, QByteArray("\x5E\x03\x88\x02\xE5", 5), 3},
        {8192, QByteArray("\x5E\x00\x00\x04\xE5", 5), 5},
        {524287, QByteArray("\x5E\x07\xFF\xFF\xE5", 5), 256},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        LoaderHost host(rig, imageOf(c.length));
        rebootAndProbe(rig, host);
        const SimFlash& flash = rig.device.flash();
        EXPECT_EQ(host.heard, "\xE5" + QByteArray(c.blocks, '\xC5')) << c.length;
        EXPECT_EQ(receivedBytes(rig.device.received()).mid(13, 5), c.lengthPacket) << c.length;
        EXPECT_EQ(flash.length, c.length);
        EXPECT_EQ(flash.blocks, c.blocks);
        EXPECT_TRUE(flash.complete) << c.length;
        EXPECT_EQ(flash.image, host.padded) << c.length;
        EXPECT_EQ(flash.digest(), sha256(host.padded)) << c.length;
        EXPECT_FALSE(rig.device.inLoader()) << c.length;
        EXPECT_EQ(rig.exchange("SETUP#\r\n"), "CONNECT\r\n") << "the firmware runs again";
    }
}

TEST(Loader, AnswersAProbeOnlyWhileListeningAfterARestart) {
    struct Case {
        const char* name;
        QByteArray before;  // sent before the probe
        int waitMs;         // between those bytes and the probe
        QByteArray answer;
    };
    const Case cases[] = {
        {"firmware running", "", 0, ""},
        {"just restarted", "REBOOT#\r\n", 100, "\xE5"},
        {"restarted, late in the window", "REBOOT#\r\n", 2900, "\xE5"},
        {"window over, booted", "REBOOT#\r\n", 3100, ""},
        {"a second REBOOT# is no probe", "REBOOT#\r\n", 100, "\xE5"},
        {"probe bytes among others", "REBOOT#\r\n\x01\x5F", 100, "\xE5"},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        rig.exchange(c.before, c.waitMs);
        EXPECT_EQ(rig.exchange(kProbe), c.answer) << c.name;
    }
}

TEST(Loader, TheListenWindowFollowsItsKnobAndEndsInTheFirmware) {
    for (const int listenMs : {500, 3000, 8000}) {
        DeviceRig rig(SimKnobs{.loaderListenMs = listenMs});
        rig.link.write("REBOOT#\r\n");
        rig.clock.advance(listenMs - 100);
        EXPECT_TRUE(rig.device.inLoader()) << listenMs;
        EXPECT_EQ(rig.exchange("SETUP#\r\n", 50), "") << "the loader does not know SETUP#";
        rig.clock.advance(100);
        EXPECT_FALSE(rig.device.inLoader()) << listenMs;
        EXPECT_EQ(rig.exchange("SETUP#\r\n"), "CONNECT\r\n") << listenMs;
    }
}

TEST(Loader, AnsweredProbeKeepsTheLoaderBeyondTheWindow) {
    DeviceRig rig;
    rig.exchange("REBOOT#\r\n", 100);
    rig.exchange(kProbe, 10'000);
    EXPECT_TRUE(rig.device.inLoader());
    EXPECT_EQ(rig.exchange(kProbe), "\xE5") << "a repeated probe is answered again";
}

TEST(Loader, AnswersFromTheNthProbe) {
    struct Case {
        int from;
        QByteArray answers;  // after each of four probes
    };
    const Case cases[] = {{1, "\xE5\xE5\xE5\xE5"}, {3, "\xE5\xE5"}, {0, ""}};
    for (const Case& c : cases) {
        DeviceRig rig(SimKnobs{.answerProbeFrom = c.from});
        rig.exchange("REBOOT#\r\n", 100);
        QByteArray answers;
        for (int i = 0; i < 4; ++i) {
            answers += rig.exchange(kProbe, 500);
        }
        EXPECT_EQ(answers, c.answers) << c.from;
    }
}

TEST(Loader, TakesOnlyAWellFormedLengthPacket) {
    struct Case {
        QByteArray packet;
        QByteArray answer;
        int length;
    };
    const Case cases[] = {
        {QByteArray("\x5E\x03\x88\x02\xE5", 5), "\xC5", 5000},
        {QByteArray("\x5E\x00\x00\x00\xE5", 5), "\xC5", 0},
        {QByteArray("\x5E\x08\x00\x02\xE5", 5), "", 0},  // a partial block of 2048 or more
        {QByteArray("\x5D\x03\x88\x02\xE5", 5), "", 0},
        {QByteArray("\x5E\x03\x88\x02\xE4", 5), "", 0},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        rig.exchange("REBOOT#\r\n", 100);
        rig.exchange(kProbe, 100);
        EXPECT_EQ(rig.exchange(c.packet), c.answer) << c.packet.toHex().toStdString();
        EXPECT_EQ(rig.device.flash().length, c.length) << c.packet.toHex().toStdString();
    }
}

TEST(Loader, AskingWith55DiscardsThatPacketAndTheNextC5StoresTheBlockOnce) {
    struct Case {
        int askAgainEvery;
        bool hostAdvancesOn55;
        QByteArray requests;
        int discarded;
        bool imageIntact;
    };
    const Case cases[] = {
        {2, false, "\xC5\x55\xC5\x55\xC5", 2, true},
        {1, false, "\x55\xC5\x55\xC5\x55\xC5", 3, true},
        {3, false, "\xC5\xC5\x55\xC5", 1, true},
        // A host that moves on for 55 skips a block, believes it is done and
        // leaves the last request unanswered.
        {2, true, "\xC5\x55\xC5\x55", 1, false},
    };
    for (const Case& c : cases) {
        DeviceRig rig(SimKnobs{.askAgainEvery = c.askAgainEvery});
        LoaderHost host(rig, imageOf(5000));
        host.advancesOnSameBlock = c.hostAdvancesOn55;
        rebootAndProbe(rig, host);
        EXPECT_EQ(host.heard.mid(1), c.requests) << c.askAgainEvery << c.hostAdvancesOn55;
        EXPECT_EQ(rig.device.flash().discarded, c.discarded);
        EXPECT_EQ(rig.device.flash().complete, c.imageIntact);
        EXPECT_EQ(rig.device.flash().image == host.padded, c.imageIntact);
    }
}

TEST(Loader, ABadChecksumIsRefusedAndAskedForAgain) {
    // The host has already moved past the refused block, so the block that
    // comes for the repeated request is the next one: the image stays short
    // and the device does not boot it.
    struct Case {
        const char* name;
        int corruptKnob;
        int hostBadBlock;
    };
    const Case cases[] = {{"knob", 1, -1}, {"host's checksum wrong", -1, 1}};
    for (const Case& c : cases) {
        DeviceRig rig(SimKnobs{.corruptChecksumOfBlock = c.corruptKnob});
        LoaderHost host(rig, imageOf(5000));
        host.badChecksumBlock = c.hostBadBlock;
        rebootAndProbe(rig, host);
        const SimFlash& flash = rig.device.flash();
        EXPECT_EQ(host.heard, "\xE5\xC5\xC5\x55\xC5\xC5") << c.name;
        EXPECT_EQ(flash.rejected, 1) << c.name;
        EXPECT_EQ(flash.blocks, 2) << c.name;
        EXPECT_EQ(flash.image, host.padded.left(2048) + host.padded.mid(4096, 2048)) << c.name;
        EXPECT_FALSE(flash.complete) << c.name;
        EXPECT_TRUE(rig.device.inLoader()) << c.name;
    }
}

TEST(Loader, TheCorruptKnobActsOnceOnTheNamedBlock) {
    for (const int block : {0, 2}) {
        DeviceRig rig(SimKnobs{.corruptChecksumOfBlock = block});
        LoaderHost host(rig, imageOf(5000));
        rig.link.write("REBOOT#\r\n");
        rig.clock.advance(100);
        host.probe();
        rig.clock.advance(1000);
        EXPECT_EQ(rig.device.flash().rejected, 1) << block;
        EXPECT_EQ(rig.device.flash().blocks, 2) << block;
    }
}

TEST(Loader, StallsAfterTheNamedBlockAndStaysInTheLoader) {
    for (const int stall : {0, 1, 2}) {
        DeviceRig rig(SimKnobs{.stallAfterBlock = stall});
        LoaderHost host(rig, imageOf(5000));
        rebootAndProbe(rig, host);
        EXPECT_EQ(host.heard, "\xE5" + QByteArray(stall, '\xC5')) << stall;
        EXPECT_EQ(rig.device.flash().blocks, stall);
        EXPECT_FALSE(rig.device.flash().complete);
        EXPECT_TRUE(rig.device.inLoader());
    }
}

TEST(Loader, ANewTransferStartsTheFlashRecordAfreshAndARestartKeepsIt) {
    DeviceRig rig;
    {
        LoaderHost host(rig, imageOf(5000));
        rebootAndProbe(rig, host);
    }
    const SimFlash first = rig.device.flash();
    rig.exchange("REBOOT#\r\n", 5000);
    EXPECT_EQ(rig.device.flash(), first) << "a restart without a transfer keeps it";
    LoaderHost host(rig, imageOf(6000));
    host.badChecksumBlock = 0;
    rebootAndProbe(rig, host);
    EXPECT_EQ(rig.device.flash().length, 6000);
    EXPECT_EQ(rig.device.flash().rejected, 1);
}

TEST(Loader, TheLineRateSetsTheTransferTime) {
    // Each block takes 178 ms on the line at 115200 baud and the loader's next
    // request 20 ms more: the transfer is bounded below by the line, not the host.
    DeviceRig rig(SimKnobs{.bytesPerSecond = kLineRate115200});
    LoaderHost host(rig, imageOf(5000));
    rig.link.write("REBOOT#\r\n");
    rig.clock.advance(100);
    host.probe();
    const qint64 start = rig.clock.elapsedMs();
    while (!rig.device.flash().complete && rig.clock.elapsedMs() - start < 10'000) {
        rig.clock.advance(1);
    }
    EXPECT_TRUE(rig.device.flash().complete);
    const QList<SimReceived>& received = rig.device.received();
    const qint64 lastBlockAt = static_cast<qint32>(received.back().atMs - received[2].atMs);
    // From the length packet's arrival: 3 × (20 ms request + 1 ms byte + 178 ms block).
    EXPECT_EQ(lastBlockAt, 3 * (20 + 1 + 178));
}

}  // namespace
