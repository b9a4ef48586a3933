#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/simrig.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kComplete = QStringLiteral("update complete update step:100%");
const QString kTitle = QStringLiteral("Lumeno KV120 aprs config");

QByteArray padded(const QByteArray& file) {
    return file + QByteArray(blockCountFor(file.size()) * kBlockSize - file.size(), char(0xFF));
}

TEST(SimulatedUpdate, TheDeviceFlashesTheImagePaddedToWholeBlocks) {
    struct Case {
        qsizetype length;
        int askAgainEvery;  // the loader asks for a block again with 55
    };
    for (const Case c :
         {Case{5000, 0}, Case{6144, 0}, Case{8192, 0}, Case{30'000, 3}, Case{kMaxImageLength, 0}}) {
        SCOPED_TRACE(c.length);
        SimKnobs knobs = SimRig::lineRateKnobs();
        knobs.askAgainEvery = c.askAgainEvery;
        SimRig rig(knobs);
        const QByteArray file = patternBytes(c.length, int(c.length % 97));
        loadImage(rig, file);
        rig.runUpdate();

        const SimFlash& flash = rig.device.flash();
        EXPECT_TRUE(flash.complete);
        EXPECT_EQ(flash.length, c.length);
        EXPECT_EQ(flash.image, padded(file));
        EXPECT_EQ(flash.rejected, 0);
        EXPECT_EQ(flash.discarded > 0, c.askAgainEvery > 0);
        EXPECT_FALSE(rig.device.inLoader());
        EXPECT_EQ(rig.form.text(Ctl::Label2), kComplete);
        EXPECT_EQ(rig.form.value(Ctl::ProgressBar1), blockCountFor(c.length));
        EXPECT_TRUE(rig.usable());
        EXPECT_TRUE(rig.prompter.messages.empty());
        EXPECT_FALSE(rig.updater.isTransferring());
    }
}

TEST(SimulatedUpdate, EachBlockShowsInTheWindowWhileTheControlsStayLocked) {
    SimRig rig;
    rig.form.setText(Ctl::Form1, kTitle);
    TextHistory progress(rig.form, Ctl::Label2);
    TextHistory titles(rig.form, Ctl::Form1);
    QList<bool> locked;
    QObject::connect(&rig.form, &Form::changed, [&rig, &locked](Ctl id) {
        if (id == Ctl::Label2 && rig.form.text(id).startsWith("updating")) {
            locked.append(!rig.form.isEnabled(Ctl::Command1) &&
                          !rig.form.isEnabled(Ctl::Command2) &&
                          !rig.form.isEnabled(Ctl::Command3) && !rig.form.isEnabled(Ctl::Combo1));
        }
    });
    loadImage(rig, patternBytes(5000));
    rig.runUpdate();

    const QString updating = QStringLiteral("updating，don't remove power update step:");
    EXPECT_EQ(progress.texts, (QStringList{updating + "33%", updating + "67%", kComplete}));
    EXPECT_EQ(locked, (QList<bool>{true, true}));
    EXPECT_EQ(titles.texts,
              (QStringList{"33% - " + kTitle, "67% - " + kTitle, "100% - " + kTitle, kTitle}));
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

TEST(SimulatedUpdate, AnUnfinishedTransferEndsWithAMessageAndAUsableWindow) {
    struct Case {
        const char* name;
        std::function<void(SimKnobs&)> fault;
        QString message;
    };
    const Case cases[] = {
        {"device unplugged in block 2",
         [](SimKnobs& k) { k.disconnectAfterBytes = 11 + 9 + 4 + 5 + 2049 + 1000; },
         kLoaderStalledText},
        {"checksum of block 1 taken as wrong", [](SimKnobs& k) { k.corruptChecksumOfBlock = 1; },
         kBlockRefusedText},
        {"checksum of the last block taken as wrong",
         [](SimKnobs& k) { k.corruptChecksumOfBlock = 4; }, kBlockRefusedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKnobs knobs = SimRig::lineRateKnobs();
        c.fault(knobs);
        SimRig rig(knobs);
        rig.form.setText(Ctl::Form1, kTitle);
        TextHistory progress(rig.form, Ctl::Label2);
        loadImage(rig, patternBytes(9'000));
        rig.runUpdate();

        EXPECT_FALSE(rig.device.flash().complete);
        EXPECT_EQ(rig.prompter.messageTexts(), QStringList{c.message});
        EXPECT_TRUE(rig.status().endsWith("\r\n" + c.message));
        EXPECT_FALSE(progress.texts.contains(kComplete));
        EXPECT_EQ(rig.form.text(Ctl::Form1), kTitle);
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
