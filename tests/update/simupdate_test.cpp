#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/simrig.h"

#include <gtest/gtest.h>

namespace {

const QString kComplete = QStringLiteral("update complete update step:100%");
const QString kTitle = QStringLiteral("Lumeno KV120 aprs config");

QByteArray padded(const QByteArray& file) {
    return file + QByteArray(blockCountFor(file.size()) * kBlockSize - file.size(), char(0xFF));
}

TEST(SimulatedUpdate, TheImageIsFlashedPaddedAndEachBlockShowsWhileTheControlsStayLocked) {
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
    const QByteArray file = patternBytes(5000);
    loadImage(rig, file);
    rig.runUpdate();

    EXPECT_TRUE(rig.device.flash().complete);
    EXPECT_EQ(rig.device.flash().image, padded(file));
    EXPECT_FALSE(rig.device.inLoader());
    EXPECT_EQ(rig.form.value(Ctl::ProgressBar1), 3);
    EXPECT_TRUE(rig.usable());
    EXPECT_TRUE(rig.prompter.messages.empty());
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

// The loader refuses the last block by asking for it again; the window must
// not take that request for more of the image.
TEST(SimulatedUpdate, ARefusedLastBlockEndsTheTransferWithAMessageAndAUsableWindow) {
    SimKnobs knobs = SimRig::lineRateKnobs();
    knobs.corruptChecksumOfBlock = 4;
    SimRig rig(knobs);
    rig.form.setText(Ctl::Form1, kTitle);
    TextHistory progress(rig.form, Ctl::Label2);
    loadImage(rig, patternBytes(9'000));
    rig.runUpdate();

    EXPECT_FALSE(rig.device.flash().complete);
    EXPECT_EQ(rig.prompter.messageTexts(), QStringList{kBlockRefusedText});
    EXPECT_TRUE(rig.status().endsWith("\r\n" + kBlockRefusedText));
    EXPECT_FALSE(progress.texts.contains(kComplete));
    EXPECT_EQ(rig.form.text(Ctl::Form1), kTitle);
    EXPECT_TRUE(rig.usable());
    EXPECT_FALSE(rig.updater.isTransferring());
}

}  // namespace
