#include "backup/keeperrig.h"
#include "support/printers.h"
#include "support/texthistory.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString restoreQuestion(const QString& path) {
    return QStringLiteral(
               "The update reset the device to its factory settings. Once the device has "
               "restarted, write back the settings kept before the update (%1)?")
        .arg(path);
}

TEST(SettingsKeeper, TheSettingsAreKeptBeforeTheResetAndWrittenBackWhenTheUserSaysYes) {
    for (const bool writeBack : {true, false}) {
        SCOPED_TRACE(writeBack);
        KeeperRig rig;
        rig.prompter.answers = {writeBack};
        TextHistory status(rig.form, Ctl::Text29);
        rig.clickUpdate();

        const QList<QByteArray> before = rig.commandsBeforeReset();
        // Three probes find no loader; a line end makes them a line the
        // firmware does not know, before the read.
        ASSERT_GE(before.size(), 3);
        EXPECT_EQ(before[0], QByteArray("\x5F\x00\x00\xF5", 4).repeated(3));
        EXPECT_EQ(before[1], "SETUP#");
        EXPECT_EQ(before.last(), "AT+READ#");
        const QByteArray kept = fileBytes(rig.backupPath());
        EXPECT_TRUE(kept.startsWith("[KORVA]\r\n"));
        EXPECT_TRUE(kept.contains("\r\nCALLSIGN:BG7ABC-9\r\n"));
        EXPECT_TRUE(kept.contains("\r\nIP:10,0,0,7\r\n"));

        EXPECT_TRUE(rig.device.flash().complete);
        EXPECT_EQ(rig.questions(), QStringList{restoreQuestion(rig.backupPath())});
        EXPECT_EQ(rig.device.config(),
                  writeBack ? userSettings() : factorySettings(userSettings()));
        EXPECT_EQ(rig.status().endsWith("Write complete"), writeBack);
        // The kept file is listed as "Load file" lists one.
        EXPECT_EQ(status.texts.contains(rig.backupPath() + "\r\n\r\n[KORVA]\r\n"), writeBack);
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_TRUE(rig.keeper.pendingBackup().isEmpty());
    }
}

TEST(SettingsKeeper, WhenTheSettingsCannotBeKeptTheUserDecidesWhetherToUpdate) {
    const QString readFailed = QStringLiteral(
        "The device's settings could not be read. The update resets the device to its factory "
        "settings, so without them your settings are lost. Update without keeping them?");
    struct Case {
        const char* name;
        SimKnobs knobs;
        bool folderIsAFile;
        bool goOn;
    };
    const Case cases[] = {
        {"silent device", {.silent = true, .bytesPerSecond = kLineRate115200}, false, false},
        {"no READ END", {.noReadEnd = true, .bytesPerSecond = kLineRate115200}, false, true},
        {"backup folder unusable", SimRig::lineRateKnobs(), true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeeperRig rig(c.knobs);
        if (c.folderIsAFile) {
            rig.writeFile("not a folder", QStringLiteral("backups"));
        }
        rig.prompter.answers = {c.goOn};
        rig.clickUpdate();

        ASSERT_EQ(rig.prompter.questions.size(), 1u);
        if (c.folderIsAFile) {
            EXPECT_TRUE(rig.questions()[0].startsWith(
                "The device's settings could not be kept in " + rig.backupPath() + ": "));
        } else {
            EXPECT_EQ(rig.questions()[0], readFailed);
        }
        EXPECT_EQ(rig.commands().contains("AT+RESET#"), c.goOn);
        EXPECT_FALSE(QFile::exists(rig.backupPath()));
        // Without a backup there is nothing to offer after the update.
        EXPECT_TRUE(rig.keeper.pendingBackup().isEmpty());
    }
}

TEST(SettingsKeeper, ASecondClickWhileReadingCancelsTheUpdateWithoutAQuestion) {
    KeeperRig rig;
    rig.clock.post(500, [&rig] { rig.keeper.updateClicked(); });
    rig.clickUpdate();

    EXPECT_TRUE(rig.prompter.questions.empty());
    EXPECT_FALSE(rig.commands().contains("AT+RESET#"));
    EXPECT_FALSE(rig.commands().contains("AT+READ#"));
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(rig.device.config(), userSettings());
}

TEST(SettingsKeeper, AnUpdateThatFailedKeepsItsBackupForTheNextAttempt) {
    KeeperRig rig({.bytesPerSecond = kLineRate115200, .answerProbeFrom = 0});
    rig.clickUpdate();
    // The device is on its factory settings: the status says where the user's are.
    ASSERT_TRUE(rig.status().endsWith(
        "Connect fail, Please try again.\r\nYour settings are kept in " + rig.backupPath() +
        "; the next update that completes writes them back."))
        << rig.status().toStdString();
    ASSERT_EQ(rig.device.config(), factorySettings(userSettings()));

    // The device holds factory settings now: reading them again would keep those.
    rig.device.clearReceived();
    rig.device.knobs().answerProbeFrom = 1;
    rig.clickUpdate();

    EXPECT_FALSE(rig.commandsBeforeReset().contains("AT+READ#"));
    EXPECT_TRUE(rig.device.flash().complete);
    EXPECT_EQ(rig.questions(), QStringList{restoreQuestion(rig.backupPath())});
    EXPECT_EQ(rig.device.config(), userSettings());
}

// The time from the click to the first probe the device received.
qint64 firstProbeAfter(const KeeperRig& rig, qint64 clickedAt) {
    for (const SimReceived& chunk : rig.device.received()) {
        if (chunk.bytes.contains(QByteArray("\x5F\x00\x00\xF5", 4))) {
            return chunk.atMs - clickedAt;
        }
    }
    return -1;
}

// A device left in its loader answers only the loader: one click on "update"
// finishes it, without a settings read that could only fail, and an earlier
// update's kept settings are written back at the end.
TEST(SettingsKeeper, OneClickFinishesADeviceSittingInItsLoader) {
    for (const bool keptEarlier : {false, true}) {
        SCOPED_TRACE(keptEarlier);
        KeeperRig rig;
        if (keptEarlier) {
            // The first update stops after a block: the device stays in its loader.
            rig.device.knobs().stallAfterBlock = 1;
            rig.clickUpdate();
            ASSERT_TRUE(rig.device.inLoader());
            ASSERT_EQ(rig.keeper.pendingBackup(), rig.backupPath());
            rig.device.knobs().stallAfterBlock = -1;
        } else {
            rig.device.startInLoader();
        }
        rig.device.clearReceived();
        rig.prompter.questions.clear();
        const qint64 clickedAt = rig.clock.nowMs();
        rig.clickUpdate();

        const qint64 firstProbe = firstProbeAfter(rig, clickedAt);
        EXPECT_GE(firstProbe, 0);
        EXPECT_LE(firstProbe, 15'000);
        EXPECT_FALSE(rig.commandsBeforeReset().contains("SETUP#"));
        EXPECT_TRUE(rig.device.flash().complete);
        EXPECT_FALSE(rig.device.inLoader());
        EXPECT_EQ(rig.questions(),
                  keptEarlier ? QStringList{restoreQuestion(rig.backupPath())} : QStringList{});
        // Reset by the first update, the settings are back from the backup.
        EXPECT_EQ(rig.device.config(), userSettings());
        EXPECT_TRUE(rig.keeper.pendingBackup().isEmpty());
    }
}

TEST(SettingsKeeper, AClickThatStartsNoUpdateReadsNothing) {
    KeeperRig rig;
    loadImage(rig, patternBytes(4999));
    rig.clickUpdate();

    EXPECT_TRUE(rig.commands().isEmpty());
    EXPECT_EQ(rig.prompter.messageTexts().size(), 1);
}

TEST(SettingsKeeper, BackupsAreNamedByDateAndTime) {
    EXPECT_EQ(backupFileName(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))),
              "KV120-settings-20240102-030405.ini");
}

}  // namespace
