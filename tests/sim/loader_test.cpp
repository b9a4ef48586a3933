#include "loaderhost.h"
#include "support/printers.h"
#include "support/testfiles.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

const QByteArray kProbe("\x5F\x00\x00\xF5", 4);

// Restarts the device into its loader and sends the probe once the REBOOT# is in.
void rebootAndProbe(DeviceRig& rig, LoaderHost& host, int thenMs = 60'000) {
    rig.link.write("REBOOT#\r\n");
    rig.clock.advance(100);
    host.probe();
    rig.clock.advance(thenMs);
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
        SCOPED_TRACE(c.length);
        DeviceRig rig;
        LoaderHost host(rig, patternBytes(c.length));
        rebootAndProbe(rig, host);
        const SimFlash& flash = rig.device.flash();
        EXPECT_EQ(host.heard, "\xE5" + QByteArray(c.blocks, '\xC5'));
        EXPECT_EQ(receivedBytes(rig.device.received()).mid(13, 5), c.lengthPacket);
        EXPECT_EQ(flash.length, c.length);
        EXPECT_EQ(flash.blocks, c.blocks);
        EXPECT_TRUE(flash.complete);
        EXPECT_EQ(flash.image, host.padded);
        EXPECT_EQ(flash.digest(),
                  QCryptographicHash::hash(host.padded, QCryptographicHash::Sha256));
        EXPECT_FALSE(rig.device.inLoader());
        EXPECT_EQ(rig.exchange("SETUP#\r\n"), "CONNECT\r\n") << "the firmware runs again";
    }
}

TEST(Loader, AnswersAProbeOnlyWhileListeningAfterARestart) {
    struct Case {
        const char* name;
        SimKnobs knobs;
        QByteArray before;  // sent before the probe
        int waitMs;         // between those bytes and the probe
        QByteArray answer;
    };
    const Case cases[] = {
        {"firmware running", {}, "", 0, ""},
        {"just restarted", {}, "REBOOT#\r\n", 100, "\xE5"},
        {"restarted, late in the window", {}, "REBOOT#\r\n", 2900, "\xE5"},
        {"window over, booted", {}, "REBOOT#\r\n", 3100, ""},
        {"short window, late in it", {.loaderListenMs = 500}, "REBOOT#\r\n", 400, "\xE5"},
        {"short window over", {.loaderListenMs = 500}, "REBOOT#\r\n", 600, ""},
        {"long window, late in it", {.loaderListenMs = 8000}, "REBOOT#\r\n", 7900, "\xE5"},
        {"probe bytes among others", {}, "REBOOT#\r\n\x01\x5F", 100, "\xE5"},
    };
    for (const Case& c : cases) {
        DeviceRig rig(c.knobs);
        rig.exchange(c.before, c.waitMs);
        EXPECT_EQ(rig.exchange(kProbe), c.answer) << c.name;
    }
}

TEST(Loader, TheLoaderKnowsNoCommandsAndAnAnsweredProbeKeepsItBeyondTheWindow) {
    DeviceRig rig;
    rig.exchange("REBOOT#\r\n", 100);
    EXPECT_EQ(rig.exchange("SETUP#\r\n", 50), "");
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
        SCOPED_TRACE(c.packet.toHex().toStdString());
        DeviceRig rig;
        rig.exchange("REBOOT#\r\n", 100);
        rig.exchange(kProbe, 100);
        EXPECT_EQ(rig.exchange(c.packet), c.answer);
        EXPECT_EQ(rig.device.flash().length, c.length);
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
        SCOPED_TRACE(testing::Message() << c.askAgainEvery << c.hostAdvancesOn55);
        DeviceRig rig(SimKnobs{.askAgainEvery = c.askAgainEvery});
        LoaderHost host(rig, patternBytes(5000));
        host.advancesOnSameBlock = c.hostAdvancesOn55;
        rebootAndProbe(rig, host);
        EXPECT_EQ(host.heard.mid(1), c.requests);
        EXPECT_EQ(rig.device.flash().discarded, c.discarded);
        EXPECT_EQ(rig.device.flash().complete, c.imageIntact);
        EXPECT_EQ(rig.device.flash().image == host.padded, c.imageIntact);
    }
}

TEST(Loader, ABadChecksumIsRefusedOnceAndAskedForAgain) {
    // The host has already moved past the refused block, so the block that
    // comes for the repeated request is the next one: the image stays short
    // and the device does not boot it.
    struct Case {
        const char* name;
        int corruptKnob;
        int hostBadBlock;
        QByteArray heard;
        QList<int> stored;  // the host's blocks the flash holds
    };
    const Case cases[] = {
        {"knob on block 1", 1, -1, "\xE5\xC5\xC5\x55\xC5\xC5", {0, 2}},
        {"host's checksum of block 1 wrong", -1, 1, "\xE5\xC5\xC5\x55\xC5\xC5", {0, 2}},
        {"knob on block 0", 0, -1, "\xE5\xC5\x55\xC5\xC5\xC5", {1, 2}},
        {"knob on the last block", 2, -1, "\xE5\xC5\xC5\xC5\x55", {0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRig rig(SimKnobs{.corruptChecksumOfBlock = c.corruptKnob});
        LoaderHost host(rig, patternBytes(5000));
        host.badChecksumBlock = c.hostBadBlock;
        rebootAndProbe(rig, host);
        const SimFlash& flash = rig.device.flash();
        QByteArray stored;
        for (const int block : c.stored) {
            stored += host.padded.mid(block * 2048, 2048);
        }
        EXPECT_EQ(host.heard, c.heard);
        EXPECT_EQ(flash.rejected, 1);
        EXPECT_EQ(flash.blocks, 2);
        EXPECT_EQ(flash.image, stored);
        EXPECT_FALSE(flash.complete);
        EXPECT_TRUE(rig.device.inLoader());
    }
}

TEST(Loader, StallsAfterTheNamedBlockAndStaysInTheLoader) {
    for (const int stall : {0, 1, 2}) {
        SCOPED_TRACE(stall);
        DeviceRig rig(SimKnobs{.stallAfterBlock = stall});
        LoaderHost host(rig, patternBytes(5000));
        rebootAndProbe(rig, host);
        EXPECT_EQ(host.heard, "\xE5" + QByteArray(stall, '\xC5'));
        EXPECT_EQ(rig.exchange(QByteArray(2049, 'x')), "") << "nothing asked for, nothing taken";
        EXPECT_EQ(rig.device.flash().blocks, stall);
        EXPECT_FALSE(rig.device.flash().complete);
        EXPECT_TRUE(rig.device.inLoader());
    }
}

TEST(Loader, ANewTransferStartsTheFlashRecordAfreshAndARestartKeepsIt) {
    DeviceRig rig;
    {
        LoaderHost host(rig, patternBytes(5000));
        rebootAndProbe(rig, host);
    }
    const SimFlash first = rig.device.flash();
    rig.exchange("REBOOT#\r\n", 5000);
    EXPECT_EQ(rig.device.flash(), first) << "a restart without a transfer keeps it";
    LoaderHost host(rig, patternBytes(6000));
    host.badChecksumBlock = 0;
    rebootAndProbe(rig, host);
    EXPECT_EQ(rig.device.flash().length, 6000);
    EXPECT_EQ(rig.device.flash().rejected, 1);
}

}  // namespace
