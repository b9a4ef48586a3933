#include "serial/portlister.h"
#include "support/sessionrig.h"
#include "support/texthistory.h"
#include "update/loaderprotocol.h"
#include "update/updater.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

namespace {

const QByteArray kReady("\xE5", 1);
const QByteArray kNext("\xC5", 1);
const QByteArray kRepeat("\x55", 1);
const QString kComplete = QStringLiteral("update complete update step:100%");

struct UpdateRig : SessionRig {
    using SessionRig::SessionRig;
    // "Open ROM", the user picking a file of these bytes.
    bool load(const QByteArray& bytes) {
        prompter.files.push_back(writeFile(QStringLiteral("image.bin"), bytes));
        return updater.imageOpen();
    }

    Updater updater{session};
};

// The loader's side of a transfer, played by the test at moments between the
// ticks: the device's firmware takes the packets in without a word, and the
// test sends the loader's requests down the device's line.
struct LoaderPlay : UpdateRig {
    LoaderPlay() : UpdateRig(SimKnobs{.answerDelayMs = 0}) {
        load(file);
        openAsTheUpdateStartLeavesIt();
    }
    void openAsTheUpdateStartLeavesIt() {
        session.openPort();
        session.receivePath().trace().set(QStringLiteral("  "));
    }
    void request(const QByteArray& bytes, int afterMs = 37) {
        clock.advance(afterMs);
        device.sendNoise(bytes);
        deliverPendingBytes();
    }
    // The packet the loader must receive for block index: 2048 bytes and their XOR.
    QByteArray block(int index) const {
        const QByteArray data = (file + QByteArray(kBlockSize, char(0xFF))).mid(index * kBlockSize);
        return data.first(kBlockSize) +
               std::accumulate(data.begin(), data.begin() + kBlockSize, char(0), std::bit_xor<>());
    }

    QByteArray file = patternBytes(5000);
};

TEST(Transfer, EachRequestIsAnsweredAtOnceWithOnePacketInOrder) {
    struct Case {
        const char* name;
        QList<QByteArray> requests;
        QList<int> packets;  // -1: the length packet, else a block index
    };
    const Case cases[] = {
        {"E5, then C5 per block", {kReady, kNext, kNext}, {-1, 0, 1}},
        {"55 sends the next block, not moving on", {kReady, kNext, kRepeat, kNext}, {-1, 0, 1, 1}},
        {"bytes behind a request go with it", {kReady, "\xC5\x55\xE5", kNext}, {-1, 0, 1}},
        {"another first byte hides later ones", {kReady, QByteArray(1, '\0'), kNext}, {-1}},
        // An E5 behind the length packet answers an older probe: a second
        // length packet would shift every block.
        {"E5 during the transfer", {kReady, kReady, kNext, kReady, kNext}, {-1, 0, 1}},
        // The trace holds hex digits: "0C55" must not read as C5 or 55.
        {"0C 55 is no request", {kReady, "\x0C\x55", kNext}, {-1}},
        {"E4 is no request", {"\xE4", kReady}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoaderPlay play;
        QList<quint32> requestTimes;
        for (const QByteArray& bytes : c.requests) {
            play.request(bytes);
            requestTimes << play.clock.nowMs();
        }
        QByteArray expected;
        for (const int packet : c.packets) {
            expected += packet < 0 ? QByteArray("\x5E\x03\x88\x02\xE5", 5) : play.block(packet);
        }
        EXPECT_EQ(play.bytesReceived(), expected);
        for (const SimReceived& chunk : play.received.chunks) {
            EXPECT_TRUE(requestTimes.contains(chunk.atMs)) << "not sent when asked for";
        }
    }
}

TEST(Transfer, EachBlockShowsItsProgressAndTheUpdateCompletesOnceTheDeviceRunsAgain) {
    LoaderPlay play;
    play.form.setText(Ctl::Form1, "KV120");
    TextHistory progress(play.form, Ctl::Label2);
    TextHistory titles(play.form, Ctl::Form1);
    QList<bool> locked;
    QList<int> bar;
    QObject::connect(&play.form, &Form::changed, [&play, &locked, &bar](Ctl id) {
        if (id != Ctl::Label2) {
            return;
        }
        locked << !(play.form.isEnabled(Ctl::Command1) || play.form.isEnabled(Ctl::Command2) ||
                    play.form.isEnabled(Ctl::Command3) || play.form.isEnabled(Ctl::Combo1));
        if (play.form.text(id).startsWith("updating")) {
            bar << play.form.value(Ctl::ProgressBar1);
        }
    });
    play.request(kReady);
    for (const int afterMs : {37, 150, 150}) {
        play.request(kNext, afterMs);
    }
    // The last block went out at 374 ms; its check ends between two ticks.
    // The handshake that asks whether the device runs again must not wait
    // for the next tick, nor come before the check has run its time.
    play.clock.advance(Updater::kLastBlockCheckMs - 1);
    EXPECT_TRUE(play.link.isOpen());
    play.received.chunks.clear();
    play.clock.advance(2'000);

    // The port is opened afresh for the handshake; the device answers it.
    EXPECT_EQ(play.commands(), QByteArrayList{"SETUP#"});
    // A delay returns once more than its time has passed.
    EXPECT_EQ(play.commandTimes(),
              QList<quint32>{374 + Updater::kLastBlockCheckMs + Updater::kPortSettleMs + 1});
    const QString updating = QStringLiteral("updating，don't remove power update step:");
    EXPECT_EQ(progress.texts,
              (QStringList{updating + "33%", updating + "67%", updating + "100%", kComplete}));
    EXPECT_EQ(play.status().split("\r\n").last(), "The device answers with its new firmware.");
    EXPECT_EQ(titles.texts, (QStringList{"33% - KV120", "67% - KV120", "100% - KV120", "KV120"}));
    // The window is free again once it says the update is complete.
    EXPECT_EQ(locked, (QList<bool>{true, true, true, false}));
    EXPECT_EQ(bar, (QList<int>{1, 2, 3}));
    EXPECT_FALSE(play.link.isOpen());
    EXPECT_FALSE(play.updater.isBusy());
    EXPECT_TRUE(play.prompter.messages.empty());
}

TEST(Transfer, ATransferEndsCompleteOrWithAMessageAndAnIdleWindowEitherWay) {
    const QString incomplete = QStringLiteral("The update did not complete: the device's loader ");
    const QString again = QStringLiteral(". Run the update again.");
    struct Case {
        QList<QByteArray> requests;  // after E5, 150 ms apart
        int runningForMs;            // after the last request
        QString message;             // empty: the update completes
    };
    const Case cases[] = {
        // A loader may answer the last block as it answered every other one.
        {{kNext, kNext, kNext, kNext}, 300, {}},
        // The loader asks once more for a last block it refused.
        {{kNext, kNext, kNext, kRepeat}, 0, incomplete + "refused the image's last block" + again},
        {{}, 9'950, incomplete + "asked for no new block for 10 seconds" + again},
        {{kNext, kNext}, 9'950, incomplete + "asked for no new block for 10 seconds" + again},
        // Neither repeated requests nor E5s move the transfer on.
        {{kNext, kRepeat, kRepeat, kRepeat, kReady, kRepeat},
         9'200,
         incomplete + "asked for no new block for 10 seconds" + again},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requests.size());
        LoaderPlay play;
        play.request(kReady);
        for (const QByteArray& bytes : c.requests) {
            play.request(bytes, 150);
        }
        play.clock.advance(c.runningForMs);
        EXPECT_TRUE(play.updater.isTransferring());
        EXPECT_TRUE(play.link.isOpen());

        play.clock.advance(c.message.isEmpty() ? 2'000 : 300);
        EXPECT_EQ(play.prompter.messageTexts(),
                  c.message.isEmpty() ? QStringList{} : QStringList{c.message});
        EXPECT_TRUE(play.status().endsWith(c.message.isEmpty() ? "" : "\r\n" + c.message));
        EXPECT_EQ(play.form.text(Ctl::Label2) == kComplete, c.message.isEmpty());
        const qsizetype packets = c.requests.size() - c.requests.count(kReady);
        const qsizetype blocksSent = std::min<qsizetype>(packets, 3);
        EXPECT_EQ(play.bytesReceived().left(5 + 3 * kBlockPacketSize).size(),
                  5 + blocksSent * kBlockPacketSize);
        EXPECT_FALSE(play.link.isOpen());
        // The controls a transfer locks are enabled and "update" is no longer busy.
        for (const Ctl control : {Ctl::Command1, Ctl::Command2, Ctl::Command3, Ctl::Combo1}) {
            EXPECT_TRUE(play.form.isEnabled(control));
        }
        EXPECT_EQ(play.form.text(Ctl::Command2), "update");
        EXPECT_FALSE(play.updater.isTransferring());

        // The next update starts from block 0.
        play.openAsTheUpdateStartLeavesIt();
        play.request(kReady);
        play.request(kNext);
        EXPECT_TRUE(play.bytesReceived().endsWith(play.block(0)));
    }
}

TEST(UpdateStart, AnImageOfLessThan5000BytesIsRefusedWithTheReasonOnALineOfItsOwn) {
    struct Case {
        qsizetype length;  // -1: no image loaded
        QString reason;
    };
    for (const Case& c :
         {Case{-1, "No firmware image is loaded."}, Case{0, "The image file is empty."},
          Case{4999, "The image is too small: 4999 bytes, at least 5000."}}) {
        SCOPED_TRACE(c.length);
        UpdateRig rig;
        if (c.length >= 0) {
            rig.load(patternBytes(c.length));
        }
        rig.updater.updateStart();
        rig.clock.advance(3'000);

        EXPECT_EQ(rig.prompter.messageTexts(), QStringList{"Please choose fireware\n" + c.reason});
        EXPECT_EQ(rig.status(), "Please choose fireware\r\n" + c.reason + "\r\n");
        EXPECT_TRUE(rig.received.chunks.isEmpty());
        EXPECT_EQ(rig.form.text(Ctl::Command2), "update");
    }
}

TEST(UpdateStart, WaitsUpToFiveSecondsForTheResetThenRebootsRegardless) {
    struct Case {
        SimKnobs knobs;
        int waits;  // of a second each, after the reset was sent
        QString statusAtReboot;
    };
    const QString ok = QStringLiteral("\r\nreset eeram OK\r\n");
    const Case cases[] = {
        {{.answerProbeFrom = 0}, 2, "Please wait auto update.\r\n 0/10" + ok},
        {{.answerDelayMs = 2500, .answerProbeFrom = 0}, 4, "Wait for reset eeram  2/5\r\n" + ok},
        {{.noEeramReset = true, .answerProbeFrom = 0}, 5, "Reset eeram fail,Please try again.\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.waits);
        UpdateRig rig(c.knobs);
        rig.load(patternBytes(5000));
        rig.updater.updateStart();
        EXPECT_EQ(rig.status(), c.statusAtReboot);
        EXPECT_EQ(rig.form.text(Ctl::Command2), c.knobs.noEeramReset ? "update" : "update...");
        // The port is reopened for the loader, which is probed once a second.
        rig.clock.advance(3'000);
        const quint32 rebootAt = 101 + c.waits * 1001;
        EXPECT_EQ(rig.commands(),
                  (QByteArrayList{"AT+RESET#", "REBOOT#", probePacket().repeated(3)}));
        EXPECT_EQ(rig.commandTimes(), (QList<quint32>{101, rebootAt, rebootAt + 101 + 3000}));
        EXPECT_TRUE(rig.link.isOpen());
    }
}

// A device that takes no handshake is probed for a loader (three probes, one a
// second from 1102 ms) before its settings are kept: only an E5 alone,
// after a quiet spell and with nothing right after it, is a loader's answer.
TEST(UpdateStart, OnlyALoneE5AnswersTheLookForALoader) {
    const std::pair<QList<std::pair<int, QByteArray>>, bool> cases[] = {
        {{{1500, "\xE5"}}, true},
        {{{1500, "\xE5"}, {1700, "\r\n"}}, false},
        // The loader's E5 comes after 300 ms of quiet.
        {{{1000, "x"}, {1299, "\xE5"}}, false},
        {{{1000, "x"}, {1300, "\xE5"}}, true},
    };
    for (const auto& [noise, loader] : cases) {
        SCOPED_TRACE(loader);
        UpdateRig rig({.noConnect = true});
        rig.updater.setBeforeReset([] { return true; });
        rig.load(patternBytes(5000));
        for (const auto& [atMs, bytes] : noise) {
            rig.clock.post(atMs, [&rig, bytes] { rig.device.sendNoise(bytes); });
        }
        // A click cancels from the first handshake on.
        rig.clock.post(600, [&rig] { EXPECT_TRUE(rig.form.isEnabled(Ctl::Command2)); });
        rig.updater.updateStart();
        EXPECT_EQ(rig.updater.startedInLoader(), loader);
        EXPECT_EQ(rig.bytesReceived().count(probePacket()), loader ? 1 : 3);
        EXPECT_EQ(rig.commands().contains("AT+RESET#"), !loader);
    }
}

TEST(UpdateStart, TheLoaderWaitEndsWhenTheLoaderAnswersOrOnItsTenthTick) {
    struct Case {
        int answeredProbe;  // 0: none
        int probes;
        int countsShown;  // the tick that sees the answer shows none: the transfer runs
    };
    for (const Case c : {Case{3, 3, 3}, Case{9, 9, 9}, Case{0, 9, 10}}) {
        SCOPED_TRACE(c.answeredProbe);
        UpdateRig rig({.bytesPerSecond = kLineRate115200,
                       .loaderListenMs = 12'000,
                       .answerProbeFrom = c.answeredProbe});
        // Five blocks: the transfer outlasts the tick after the answer.
        rig.load(patternBytes(9000));
        TextHistory counts(rig.form, Ctl::Text3);
        rig.updater.updateStart();
        rig.clock.advance(13'000);

        EXPECT_EQ(rig.bytesReceived().count(probePacket()), c.probes);
        QStringList expectedCounts;
        for (int tick = 1; tick <= c.countsShown; ++tick) {
            expectedCounts << QStringLiteral(" %1/10").arg(tick);
        }
        const bool answered = c.answeredProbe > 0;
        // The count is over once the transfer is.
        EXPECT_EQ(counts.texts, answered ? expectedCounts << "0/10" : expectedCounts);
        EXPECT_EQ(rig.status(),
                  answered ? "Waiting for the device to start its new firmware 1/10\r\n"
                             "Connect OK\r\nThe device answers with its new firmware."
                           : "Wait for update\r\n 10/10\r\nConnect fail, Please try again.");
        EXPECT_EQ(rig.device.flash().complete, answered);
        EXPECT_EQ(rig.form.text(Ctl::Command2), "update");
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_TRUE(rig.prompter.messages.empty());
        if (!answered) {
            // The next start shows where the wait that ran out stopped.
            rig.updater.updateStart();
            EXPECT_TRUE(rig.status().startsWith("Please wait auto update.\r\n 10/10\r\n"));
        }
    }
}

TEST(ImageOpen, LoadsTheWholeFilePaddedWithFfAlwaysAddingSome) {
    for (const int length : {0, 2047, 2048, kMaxImageLength}) {
        SCOPED_TRACE(length);
        UpdateRig rig;
        const QByteArray file = patternBytes(length);
        ASSERT_TRUE(rig.load(file));

        const FileRequest& request = rig.prompter.fileRequests.at(0);
        EXPECT_EQ(request.mode, FileRequest::Mode::Open);
        EXPECT_EQ(request.title + " " + request.filter, "打开 Bin文件(*.bin)|*.bin");
        EXPECT_EQ(rig.status(), "文件：" + rig.dir.filePath("image.bin"));
        const int blocks = length / kBlockSize + 1;
        EXPECT_EQ(rig.form.maximum(Ctl::ProgressBar1), blocks);
        EXPECT_EQ(rig.updater.image().length, length);
        EXPECT_EQ(rig.updater.image().buffer,
                  file + QByteArray(blocks * kBlockSize - length, char(0xFF)));
    }
}

TEST(ImageOpen, ARefusedFileLeavesThePreviousImageLoaded) {
    struct Case {
        QString path;  // in the rig's folder; empty: the dialog is cancelled
        QString told;  // %1: the path; empty: nothing
    };
    const Case cases[] = {
        {{}, {}},
        {"big.bin",
         "The image is larger than 524287 bytes, the most the device's loader accepts. The image "
         "loaded before stays loaded."},
        {"gone.bin", "The file %1 could not be read: No such file or directory"},
        {".", "The file %1 could not be read: file to open is a directory"},
        {"/proc/self/mem", "The file %1 could not be read: Input/output error"},
        {"elf.bin",
         "This file looks like a program file (ELF), not a raw firmware image (*.bin). Load it "
         "anyway?"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        UpdateRig rig;
        rig.load(patternBytes(6000, 1));
        const QByteArray before = rig.updater.image().buffer;
        const QString status = rig.status();
        rig.writeFile("big.bin", patternBytes(kMaxImageLength + 1));
        rig.writeFile("elf.bin", "\x7F\x45LF" + patternBytes(6000));
        const QString path = c.path.isEmpty() ? c.path : QDir(rig.dir.path()).filePath(c.path);
        rig.prompter.files.push_back(path);
        rig.prompter.answers = {false};
        EXPECT_FALSE(rig.updater.imageOpen());

        QStringList told = rig.prompter.messageTexts();
        for (const ScriptedPrompter::Shown& question : rig.prompter.questions) {
            told << question.text;
        }
        EXPECT_EQ(told.join(""), QString(c.told).replace("%1", path));
        EXPECT_EQ(rig.updater.image().buffer, before);
        EXPECT_EQ(rig.status(), status);
        EXPECT_EQ(rig.form.maximum(Ctl::ProgressBar1), 3);
    }
}

TEST(ImageOpen, FilesThatArePlainlyNoRawImageAreLoadedOnlyWhenConfirmed) {
    struct Case {
        QByteArray start;
        ImageKind kind;
    };
    const Case cases[] = {
        {"\x7F\x45LF\x01", ImageKind::Elf},
        {"PK\x03\x04", ImageKind::Zip},
        {"UF2\n", ImageKind::Uf2},
        {":0000000FF\r\n:09A0af01FF\n", ImageKind::IntelHex},
        {":\x01\x20", ImageKind::Raw},
        {"0200000408F2\r\n", ImageKind::Raw},
        {QByteArray("\x00\x7F\x45LF", 5), ImageKind::Raw},
    };
    for (const Case& c : cases) {
        // Text files must stay text all through to look like Intel HEX.
        const QByteArray file =
            c.start.startsWith(':') ? c.start.repeated(200) : c.start + patternBytes(6000);
        EXPECT_EQ(imageKindOf(file), c.kind) << c.start.toHex().toStdString();
    }
    UpdateRig rig;
    rig.prompter.answers = {true};
    EXPECT_TRUE(rig.load("PK\x03\x04" + patternBytes(6000)));
    EXPECT_EQ(rig.prompter.questions.size(), 1u);
    EXPECT_EQ(rig.updater.image().length, 6004);
}

TEST(LoaderProtocol, PacketsAndProgress) {
    EXPECT_EQ(probePacket(), QByteArray("\x5F\x00\x00\xF5", 4));
    EXPECT_EQ(lengthPacket(2048), QByteArray("\x5E\x00\x00\x01\xE5", 5));
    EXPECT_EQ(lengthPacket(kMaxImageLength), QByteArray("\x5E\x07\xFF\xFF\xE5", 5));
    // Whole percent, halves rounded to the even neighbour.
    const int percents[][3] = {{1, 8, 12}, {5, 8, 62}, {2, 3, 67}, {255, 256, 100}, {129, 256, 50}};
    for (const auto& [index, count, percent] : percents) {
        EXPECT_EQ(progressPercent(index, count), percent) << index << "/" << count;
    }
}

}  // namespace
