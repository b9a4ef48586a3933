#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/updaterig.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kReady("\xE5", 1);
const QByteArray kNext("\xC5", 1);
const QByteArray kRepeat("\x55", 1);

const QString kComplete = QStringLiteral("update complete update step:100%");

// The loader's side of a transfer, played by the test on a port the update
// start left open, with requests at moments that fall between the ticks.
struct LoaderPlay {
    explicit LoaderPlay(qsizetype imageLength = 5000) : file(patternBytes(imageLength)) {
        loadImage(rig, file);
        openAsTheUpdateStartLeavesIt();
    }
    void openAsTheUpdateStartLeavesIt() {
        rig.link.open();
        rig.session.receivePath().trace().set(QStringLiteral("  "));
    }
    // The block packet the loader must receive for block index.
    QByteArray block(int index) const {
        QByteArray packet =
            (file + QByteArray(kBlockSize, char(0xFF))).sliced(index * kBlockSize, kBlockSize);
        char sum = 0;
        for (const char byte : packet) {
            sum ^= byte;
        }
        return packet + sum;
    }
    void request(const QByteArray& bytes, int afterMs = 37) {
        rig.clock.advance(afterMs);
        rig.link.send(bytes);
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
        // The trace holds hex digits: "0C55" must not read as C5 or 55.
        {"0C 55 is no request", {kReady, QByteArray("\x0C\x55", 2), kNext}, {-1}},
        {"E4 is no request", {QByteArray("\xE4", 1), kReady}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderPlay play;
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

TEST(Transfer, RequestsCountOnlyOnceTheTraceWasCleared) {
    ScriptedRig rig;
    loadImage(rig, patternBytes(5000));
    rig.link.open();
    rig.link.send(kReady);
    rig.clock.advance(100);
    EXPECT_TRUE(rig.link.writes().isEmpty()) << "the trace still starts with its design text";
    EXPECT_FALSE(rig.updater.isTransferring());
}

TEST(Transfer, TheUpdateCompletesTheMomentTheLastBlockCheckEnds) {
    // The ticks fall at 105, 205, ... ms; the check of the last block ends
    // between two of them (at 843, 879 and 904 ms). Completion must not wait
    // for the next tick, nor come before the check has run its time.
    for (const int lastAfterMs : {1, 37, 62}) {
        SCOPED_TRACE(lastAfterMs);
        LoaderPlay play;
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
        EXPECT_TRUE(idle(play.rig.form));
    }
}

TEST(Transfer, ARequestForTheNextBlockAfterTheLastOneLeavesTheUpdateComplete) {
    LoaderPlay play;
    play.request(kReady);
    for (int block = 0; block < 3; ++block) {
        play.request(kNext, 150);
    }
    play.request(kNext, 200);
    play.rig.clock.advance(Updater::kLastBlockCheckMs + 100);

    EXPECT_EQ(play.rig.form.text(Ctl::Label2), kComplete);
    EXPECT_TRUE(play.rig.prompter.messages.empty());
    EXPECT_EQ(play.rig.link.writes().size(), 4);
    EXPECT_FALSE(play.rig.link.isOpen());
}

TEST(Transfer, AnUnfinishedTransferEndsWithAMessageAndAnIdleWindow) {
    struct Request {
        QByteArray bytes;
        int afterMs;
    };
    struct Case {
        const char* name;
        QList<Request> requests;
        int stillRunningForMs;  // after the last request
        QString message;
        int packets;  // none for a request after the last block
    };
    const QList<Request> allBlocks = {{kReady, 37}, {kNext, 150}, {kNext, 150}, {kNext, 150}};
    const Case cases[] = {
        {"silent after the length packet", {{kReady, 37}}, 9'950, kLoaderStalledText, 1},
        {"silent after block 1",
         {{kReady, 37}, {kNext, 37}, {kNext, 37}},
         9'950,
         kLoaderStalledText,
         3},
        // The loader asks once more for a last block it refused.
        {"55 after the last block", allBlocks + QList<Request>{{kRepeat, 200}}, 0,
         kBlockRefusedText, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderPlay play;
        TextHistory progress(play.rig.form, Ctl::Label2);
        for (const Request& request : c.requests) {
            play.request(request.bytes, request.afterMs);
        }
        play.rig.clock.advance(c.stillRunningForMs);
        EXPECT_TRUE(play.rig.updater.isTransferring());
        EXPECT_TRUE(play.rig.prompter.messages.empty());

        play.rig.clock.advance(150);
        EXPECT_EQ(play.rig.prompter.messageTexts(), QStringList{c.message});
        EXPECT_TRUE(play.rig.status().endsWith("\r\n" + c.message));
        EXPECT_FALSE(progress.texts.contains(kComplete));
        EXPECT_EQ(play.rig.link.writes().size(), c.packets);
        EXPECT_FALSE(play.rig.link.isOpen());
        EXPECT_TRUE(idle(play.rig.form));
        EXPECT_FALSE(play.rig.updater.isTransferring());

        // The next update starts from block 0.
        play.openAsTheUpdateStartLeavesIt();
        play.request(kReady);
        play.request(kNext);
        EXPECT_EQ(play.rig.link.writes().last(), play.block(0));
    }
}

TEST(Transfer, ABlockThePortRefusesDoesNotEndTheProgram) {
    LoaderPlay play;
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
    EXPECT_TRUE(idle(play.rig.form));
}

}  // namespace
