#include "sim/receivelog.h"
#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/simrig.h"

#include <gtest/gtest.h>

namespace {

const QString kComplete = QStringLiteral("update complete update step:100%");

QByteArray padded(const QByteArray& file) {
    return file + QByteArray(blockCountFor(file.size()) * kBlockSize - file.size(), char(0xFF));
}

// What the device received after the length packet: the block packets, one after the other.
QByteArray afterLengthPacket(const SimRig& rig, qint32 length) {
    const QByteArray received = receivedBytes(rig.device.received());
    const qsizetype at = received.indexOf(lengthPacket(length));
    return at < 0 ? QByteArray() : received.sliced(at + 5);
}

TEST(SimulatedUpdate, TheDeviceFlashesTheImagePaddedToWholeBlocks) {
    for (const qsizetype length : {5000, 6144, 8192, 100'000, int{kMaxImageLength}}) {
        SCOPED_TRACE(length);
        SimRig rig;
        const QByteArray file = patternBytes(length, int(length % 97));
        loadImage(rig, file);
        rig.runUpdate();

        const SimFlash& flash = rig.device.flash();
        EXPECT_TRUE(flash.complete);
        EXPECT_EQ(flash.length, length);
        EXPECT_EQ(flash.image, padded(file));
        EXPECT_EQ(flash.rejected, 0);
        EXPECT_FALSE(rig.device.inLoader());
        EXPECT_EQ(rig.form.text(Ctl::Label2), kComplete);
        EXPECT_EQ(rig.form.value(Ctl::ProgressBar1), blockCountFor(length));
        EXPECT_TRUE(rig.usable());
        EXPECT_TRUE(rig.prompter.messages.empty());
        EXPECT_FALSE(rig.updater.isTransferring());
    }
}

TEST(SimulatedUpdate, LengthPacketAndBlocksAsTheDeviceReceivesThem) {
    struct Case {
        qsizetype length;
        QByteArray lengthPacket;
        QStringList progress;
    };
    const QString updating = QStringLiteral("updating，don't remove power update step:");
    const Case cases[] = {
        {5000,
         QByteArray("\x5E\x03\x88\x02\xE5", 5),
         {updating + "33%", updating + "67%", kComplete}},
        {8192,
         QByteArray("\x5E\x00\x00\x04\xE5", 5),
         {updating + "20%", updating + "40%", updating + "60%", updating + "80%", kComplete}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        SimRig rig;
        TextHistory progress(rig.form, Ctl::Label2);
        QList<bool> lockedWhileUpdating;
        QObject::connect(&rig.form, &Form::changed, [&rig, &lockedWhileUpdating](Ctl id) {
            if (id == Ctl::Label2 && rig.form.text(id).startsWith("updating")) {
                lockedWhileUpdating.append(
                    !rig.form.isEnabled(Ctl::Command1) && !rig.form.isEnabled(Ctl::Command2) &&
                    !rig.form.isEnabled(Ctl::Command3) && !rig.form.isEnabled(Ctl::Combo1));
            }
        });
        const QByteArray file = patternBytes(c.length);
        loadImage(rig, file);
        rig.runUpdate();

        const QByteArray received = receivedBytes(rig.device.received());
        ASSERT_TRUE(received.contains(c.lengthPacket));
        const QByteArray blocks = afterLengthPacket(rig, c.length);
        const int count = blockCountFor(c.length);
        ASSERT_EQ(blocks.size(), count * kBlockPacketSize);
        for (int k = 0; k < count; ++k) {
            const QByteArray packet = blocks.sliced(k * kBlockPacketSize, kBlockPacketSize);
            EXPECT_EQ(packet.first(kBlockSize), padded(file).sliced(k * kBlockSize, kBlockSize));
            EXPECT_EQ(quint8(packet.back()), xorChecksum(packet)) << "block " << k;
        }
        EXPECT_EQ(blocks.sliced((count - 1) * kBlockPacketSize).first(kBlockSize),
                  padded(file).sliced((count - 1) * kBlockSize))
            << "the last block: the file's tail, then 0xFF";
        EXPECT_EQ(progress.texts, c.progress);
        EXPECT_EQ(lockedWhileUpdating, QList<bool>(count - 1, true));
        EXPECT_TRUE(rig.usable());
    }
}

TEST(SimulatedUpdate, BlocksGoOutAsFastAsTheLineCarriesThem) {
    SimKnobs knobs = SimRig::lineRateKnobs();
    knobs.answerDelayMs = 40;  // the loader's time to store a block and ask for the next
    SimRig rig(knobs);
    const QByteArray file = patternBytes(kMaxImageLength);
    loadImage(rig, file);
    rig.updater.updateStart();
    const auto lengthSent = [&rig] {
        return receivedBytes(rig.device.received()).contains(lengthPacket(kMaxImageLength));
    };
    while (!lengthSent()) {
        rig.clock.advance(10);
    }
    const qint64 transferStart = rig.clock.elapsedMs();
    while (!rig.device.flash().complete) {
        rig.clock.advance(10);
    }
    // A block packet spends 178 ms on the line; answering at the next 100 ms
    // tick rather than at once would add 50 ms a block on average.
    const double lineMs = kBlockPacketSize * 1000.0 / kLineRate115200;
    const double perBlockMs = double(rig.clock.elapsedMs() - transferStart) / 256;
    EXPECT_LE(perBlockMs, lineMs + knobs.answerDelayMs + 2);
    EXPECT_EQ(rig.device.flash().image, padded(file));
}

TEST(SimulatedUpdate, BlocksAskedForAgainAreSentAgainAndStoredOnce) {
    SimKnobs knobs = SimRig::lineRateKnobs();
    knobs.askAgainEvery = 3;
    SimRig rig(knobs);
    const QByteArray file = patternBytes(30'000);
    loadImage(rig, file);
    rig.runUpdate();
    EXPECT_GT(rig.device.flash().discarded, 0);
    EXPECT_EQ(rig.device.flash().image, padded(file));
    EXPECT_EQ(rig.form.text(Ctl::Label2), kComplete);
    EXPECT_TRUE(rig.usable());
}

TEST(SimulatedUpdate, TheUpdateGoesOnWithoutResetConfirmationAndWaitsForTheLoader) {
    struct Case {
        const char* name;
        bool eeramReset;
        int answerProbeFrom;  // 0: the loader never answers
        bool flashed;
    };
    const Case cases[] = {
        {"no reset confirmation", false, 1, true},
        {"loader answers the 3rd probe", true, 3, true},
        {"loader answers the 9th probe", true, 9, true},
        {"loader never answers", true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKnobs knobs = SimRig::lineRateKnobs();
        knobs.noEeramReset = !c.eeramReset;
        knobs.answerProbeFrom = c.answerProbeFrom;
        knobs.loaderListenMs = 20'000;
        SimRig rig(knobs);
        const QByteArray file = patternBytes(9'000);
        loadImage(rig, file);
        rig.runUpdate();

        EXPECT_EQ(rig.device.flash().complete, c.flashed);
        EXPECT_EQ(rig.device.flash().image, c.flashed ? padded(file) : QByteArray());
        EXPECT_TRUE(rig.usable());
        EXPECT_EQ(rig.status().endsWith("Connect fail, Please try again."), !c.flashed);
        EXPECT_TRUE(rig.prompter.messages.empty());
    }
}

TEST(SimulatedUpdate, ACancelledStartLeavesTheDeviceOutOfItsLoaderAndTheWindowReady) {
    SimKnobs knobs = SimRig::lineRateKnobs();
    knobs.noEeramReset = true;
    SimRig rig(knobs);
    loadImage(rig, patternBytes(9'000));
    rig.clock.post(2'000, [&rig] { rig.updater.updateStart(); });
    rig.runUpdate(20'000);

    EXPECT_FALSE(rig.commands().contains("REBOOT#"));
    EXPECT_FALSE(rig.device.inLoader());
    EXPECT_TRUE(rig.usable());

    // The next click runs a whole update.
    rig.device.knobs().noEeramReset = false;
    rig.prompter.messages.clear();
    rig.runUpdate();
    EXPECT_TRUE(rig.device.flash().complete);
    EXPECT_TRUE(rig.prompter.messages.empty());
}

TEST(SimulatedUpdate, AnUnfinishedTransferEndsWithAMessageAndAUsableWindow) {
    const QString stalled = QStringLiteral(
        "The update did not complete: the device's loader stopped answering. Run the update "
        "again.");
    const QString refused = QStringLiteral(
        "The update did not complete: the device's loader refused a block and asked for more "
        "than the image holds. Run the update again.");
    struct Case {
        const char* name;
        std::function<void(SimKnobs&)> fault;
        QString message;
    };
    const Case cases[] = {
        {"loader stalls after block 2", [](SimKnobs& k) { k.stallAfterBlock = 2; }, stalled},
        {"device unplugged in block 2",
         [](SimKnobs& k) { k.disconnectAfterBytes = 11 + 9 + 4 + 5 + 2049 + 1000; }, stalled},
        {"checksum of block 1 taken as wrong", [](SimKnobs& k) { k.corruptChecksumOfBlock = 1; },
         refused},
        {"checksum of the last block taken as wrong",
         [](SimKnobs& k) { k.corruptChecksumOfBlock = 4; }, refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKnobs knobs = SimRig::lineRateKnobs();
        c.fault(knobs);
        SimRig rig(knobs);
        TextHistory progress(rig.form, Ctl::Label2);
        loadImage(rig, patternBytes(9'000));
        rig.runUpdate();

        EXPECT_FALSE(rig.device.flash().complete);
        EXPECT_EQ(rig.prompter.messageTexts(), QStringList{c.message});
        EXPECT_TRUE(rig.status().endsWith("\r\n" + c.message));
        EXPECT_FALSE(progress.texts.contains(kComplete));
        EXPECT_TRUE(rig.usable());
        EXPECT_FALSE(rig.updater.isTransferring());

        // The buttons work again: the next click starts a new update.
        rig.device.plugIn();
        rig.device.clearReceived();
        rig.updater.updateStart();
        rig.clock.advance(500);
        EXPECT_TRUE(rig.commands().contains("AT+RESET#"));
    }
}

}  // namespace
