#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/updaterig.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QByteArray kReady("\xE5", 1);
const QByteArray kNext("\xC5", 1);
const QByteArray kRepeat("\x55", 1);

const QString kComplete = QStringLiteral("update complete update step:100%");

const Ctl kLockedDuringTransfer[] = {Ctl::Command1, Ctl::Command2, Ctl::Command3, Ctl::Combo1};

// The loader's side of a transfer, played by the test on a port the update
// start left open, with requests at moments that fall between the ticks.
struct LoaderPlay {
    explicit LoaderPlay(qsizetype imageLength) : file(patternBytes(imageLength)) {
        loadImage(rig, file);
        rig.link.open();
        clearTraceAsAProbeDoes();
    }
    void clearTraceAsAProbeDoes() { rig.session.receivePath().trace().set(QStringLiteral("  ")); }
    // The block packet the loader must receive for block index.
    QByteArray block(int index) const {
        QByteArray packet;
        fillBlockPacket(packet, padImage(file), index);
        return packet;
    }
    void request(const QByteArray& bytes, int afterMs = 37) {
        rig.clock.advance(afterMs);
        rig.link.send(bytes);
    }
    bool usable() const {
        return std::all_of(std::begin(kLockedDuringTransfer), std::end(kLockedDuringTransfer),
                           [this](Ctl id) { return rig.form.isEnabled(id); });
    }

    ScriptedRig rig;
    QByteArray file;
};

TEST(Transfer, EachRequestIsAnsweredAtOnceWithOnePacketInOrder) {
    struct Case {
        const char* name;
        QList<QByteArray> requests;
        QList<int> packets;  // -1: the length packet, else a block index
    };
    const Case cases[] = {
        {"E5, then C5 per block", {kReady, kNext, kNext}, {-1, 0, 1}},
        {"55 after block 0 sends block 1 without advancing",
         {kReady, kNext, kRepeat, kNext, kNext},
         {-1, 0, 1, 1, 2}},
        {"55 before any C5 sends block 0", {kReady, kRepeat, kNext, kNext}, {-1, 0, 0, 1}},
        {"bytes behind a request are dropped with it",
         {kReady, QByteArray("\xC5\x55\xE5", 3), kNext},
         {-1, 0, 1}},
        {"another first byte hides later requests",
         {kReady, QByteArray(1, '\0'), kNext, kRepeat},
         {-1}},
        {"an E5 behind the length packet answers an older probe and is not answered",
         {kReady, kReady, kNext, kReady, kNext},
         {-1, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderPlay play(5000);
        QList<qint64> requestTimes;
        for (const QByteArray& bytes : c.requests) {
            play.request(bytes);
            requestTimes.append(play.rig.clock.nowMs());
        }
        QList<QByteArray> expected;
        for (const int packet : c.packets) {
            expected.append(packet < 0 ? lengthPacket(5000) : play.block(packet));
        }
        EXPECT_EQ(play.rig.link.writes(), expected);
        for (const ScriptedLink::Event& event : play.rig.link.events) {
            EXPECT_TRUE(requestTimes.contains(event.atMs))
                << "a packet went out at " << event.atMs << ", not when a request arrived";
        }
    }
}

TEST(Transfer, TheUpdateCompletesTheMomentTheLastBlockCheckEnds) {
    // The ticks fall at 105, 205, ... ms; the check of the last block ends
    // between two of them (at 843, 879 and 904 ms). Completion must not wait
    // for the next tick, nor come before the check has run its time.
    for (const int lastAfterMs : {1, 37, 62}) {
        SCOPED_TRACE(lastAfterMs);
        LoaderPlay play(5000);
        play.request(kReady);
        play.request(kNext, 150);
        play.request(kNext, 150);
        play.request(kNext, lastAfterMs);

        play.rig.clock.advance(Updater::kLastBlockCheckMs - 1);
        EXPECT_NE(play.rig.form.text(Ctl::Label2), kComplete);
        EXPECT_TRUE(play.rig.link.isOpen());

        play.rig.clock.advance(1);
        EXPECT_EQ(play.rig.form.text(Ctl::Label2), kComplete);
        EXPECT_FALSE(play.rig.link.isOpen());
        EXPECT_TRUE(play.usable());
    }
}

TEST(Transfer, ASilentLoaderEndsTheTransferAfterTenSeconds) {
    struct Case {
        const char* name;
        QList<QByteArray> requests;
    };
    const Case cases[] = {
        {"silent after the length packet", {kReady}},
        {"silent after block 1", {kReady, kNext, kNext}},
    };
    const QString stalled = QStringLiteral(
        "The update did not complete: the device's loader stopped answering. Run the update "
        "again.");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderPlay play(5000);
        for (const QByteArray& bytes : c.requests) {
            play.request(bytes);
        }
        play.rig.clock.advance(9'950);
        EXPECT_TRUE(play.rig.updater.isTransferring());
        EXPECT_TRUE(play.rig.link.isOpen());
        EXPECT_TRUE(play.rig.prompter.messages.empty());

        play.rig.clock.advance(150);
        EXPECT_FALSE(play.rig.updater.isTransferring());
        EXPECT_FALSE(play.rig.link.isOpen());
        EXPECT_EQ(play.rig.prompter.messageTexts(), QStringList{stalled});
        EXPECT_TRUE(play.rig.status().endsWith("\r\n" + stalled));
        EXPECT_TRUE(play.usable());
        EXPECT_EQ(play.rig.form.text(Ctl::Command2), "update");

        // The window is back to idle: the next update starts from block 0.
        play.rig.link.open();
        play.clearTraceAsAProbeDoes();
        play.request(kReady);
        play.request(kNext);
        ASSERT_FALSE(play.rig.link.writes().isEmpty());
        EXPECT_EQ(play.rig.link.writes().last(), play.block(0));
    }
}

TEST(Transfer, ARequestAfterTheLastBlockMeansTheLoaderRefusedOne) {
    for (const QByteArray& late : {kNext, kRepeat}) {
        SCOPED_TRACE(late.toHex().toStdString());
        LoaderPlay play(5000);
        TextHistory progress(play.rig.form, Ctl::Label2);
        play.request(kReady);
        for (int k = 0; k < 3; ++k) {
            play.request(kNext, 150);
        }
        play.request(late, 200);
        play.rig.clock.advance(100);

        const QString refused = QStringLiteral(
            "The update did not complete: the device's loader refused a block and asked for more "
            "than the image holds. Run the update again.");
        EXPECT_EQ(play.rig.prompter.messageTexts(), QStringList{refused});
        EXPECT_TRUE(play.rig.status().endsWith("\r\n" + refused));
        EXPECT_FALSE(progress.texts.contains(kComplete));
        EXPECT_EQ(play.rig.link.writes().size(), 4) << "nothing was sent for the late request";
        EXPECT_FALSE(play.rig.link.isOpen());
        EXPECT_TRUE(play.usable());
        EXPECT_EQ(play.rig.form.text(Ctl::Command2), "update");
        EXPECT_FALSE(play.rig.updater.isTransferring());
    }
}

TEST(Transfer, ABlockThePortRefusesDoesNotEndTheProgram) {
    LoaderPlay play(5000);
    play.request(kReady);
    play.request(kNext);
    play.rig.link.failWrites = true;
    EXPECT_NO_THROW(play.request(kNext));
    play.rig.link.failWrites = false;
    play.request(kNext);
    play.rig.clock.advance(Updater::kLastBlockCheckMs + 100);

    // The refused block counts as sent, so the next request takes the one after it.
    EXPECT_EQ(play.rig.link.writes(),
              (QList<QByteArray>{lengthPacket(5000), play.block(0), play.block(2)}));
    EXPECT_FALSE(play.rig.link.isOpen());
    EXPECT_TRUE(play.usable());
}

TEST(Transfer, AnswersAreRecognisedOnlyOnceTheTraceWasCleared) {
    ScriptedRig rig;
    loadImage(rig, patternBytes(5000));
    rig.link.open();
    rig.link.send(kReady);
    rig.clock.advance(100);
    EXPECT_TRUE(rig.link.writes().isEmpty()) << "the trace still starts with its design text";
    EXPECT_FALSE(rig.updater.isTransferring());
}

}  // namespace
