#include "backup/keeperrig.h"
#include "support/printers.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr qint64 kUpdateAndRestoreMs = 120'000;

QString restoreQuestion(const QString& path) {
    return QStringLiteral(
               "The update reset the device to its factory settings. Once the device has "
               "restarted, write back the settings kept before the update (%1)?")
        .arg(path);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsKeeper, TheSettingsAreReadAndKeptBeforeTheReset) {
    KeeperRig rig;
    rig.keeper.updateClicked();
    rig.clock.advance(kUpdateAndRestoreMs);

    const QList<QByteArray> before = rig.commandsBeforeReset();
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(before.first(), "SETUP#");
    EXPECT_EQ(before.last(), "AT+READ#");
    EXPECT_TRUE(rig.commands().contains("AT+RESET#"));
    const QByteArray kept = fileBytes(rig.backupPath());
    EXPECT_TRUE(kept.startsWith("[KORVA]\r\n"));
    EXPECT_TRUE(kept.contains("\r\nCALLSIGN:BG7ABC-9\r\n"));
    EXPECT_TRUE(kept.contains("\r\nIP:10,0,0,7\r\n"));
    EXPECT_TRUE(rig.device.flash().complete);
}

TEST(SettingsKeeper, TheDevicesSettingsSurviveAnUpdateWhenTheUserSaysYes) {
    struct Case {
        bool writeBack;
        SimConfig after;
    };
    const Case cases[] = {{true, userSettings()}, {false, factorySettings(userSettings())}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writeBack);
        KeeperRig rig;
        rig.prompter.answers = {c.writeBack};
        rig.keeper.updateClicked();
        rig.clock.advance(kUpdateAndRestoreMs);

        EXPECT_TRUE(rig.device.flash().complete);
        EXPECT_EQ(rig.questions(), QStringList{restoreQuestion(rig.backupPath())});
        EXPECT_EQ(rig.device.config(), c.after);
        EXPECT_EQ(rig.status().endsWith("Write complete"), c.writeBack)
            << rig.status().toStdString();
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
        std::function<void(SimKnobs&)> fault;
        bool folderIsAFile;
        bool goOn;
        QString question;  // empty: the file's name is in it, see below
    };
    const Case cases[] = {
        {"silent device, No", [](SimKnobs& k) { k.silent = true; }, false, false, readFailed},
        {"silent device, Yes", [](SimKnobs& k) { k.silent = true; }, false, true, readFailed},
        {"no READ END, No", [](SimKnobs& k) { k.noReadEnd = true; }, false, false, readFailed},
        {"backup folder unusable, No", [](SimKnobs&) {}, true, false, {}},
        {"backup folder unusable, Yes", [](SimKnobs&) {}, true, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimKnobs knobs = SimRig::lineRateKnobs();
        c.fault(knobs);
        KeeperRig rig(knobs);
        if (c.folderIsAFile) {
            rig.writeFile("not a folder", QStringLiteral("backups"));
        }
        rig.prompter.answers = {c.goOn};
        rig.keeper.updateClicked();
        rig.clock.advance(kUpdateAndRestoreMs);

        ASSERT_EQ(rig.prompter.questions.size(), 1u);
        if (c.question.isEmpty()) {
            EXPECT_TRUE(rig.questions()[0].startsWith(
                "The device's settings could not be kept in " + rig.backupPath() + ": "));
        } else {
            EXPECT_EQ(rig.questions()[0], c.question);
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
    rig.keeper.updateClicked();
    rig.clock.advance(kUpdateAndRestoreMs);

    EXPECT_TRUE(rig.prompter.questions.empty());
    EXPECT_FALSE(rig.commands().contains("AT+RESET#"));
    EXPECT_FALSE(rig.commands().contains("AT+READ#"));
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(rig.device.config(), userSettings());
}

TEST(SettingsKeeper, AnUpdateThatFailedKeepsItsBackupForTheNextAttempt) {
    SimKnobs knobs = SimRig::lineRateKnobs();
    knobs.answerProbeFrom = 0;
    KeeperRig rig(knobs);
    rig.keeper.updateClicked();
    rig.clock.advance(kUpdateAndRestoreMs);
    ASSERT_TRUE(rig.status().endsWith("Connect fail, Please try again."));
    ASSERT_EQ(rig.device.config(), factorySettings(userSettings()));

    // The device holds factory settings now: reading them again would keep those.
    rig.device.clearReceived();
    rig.device.knobs().answerProbeFrom = 1;
    rig.keeper.updateClicked();
    rig.clock.advance(kUpdateAndRestoreMs);

    EXPECT_FALSE(rig.commandsBeforeReset().contains("AT+READ#"));
    EXPECT_TRUE(rig.device.flash().complete);
    EXPECT_EQ(rig.questions(), QStringList{restoreQuestion(rig.backupPath())});
    EXPECT_EQ(rig.device.config(), userSettings());
}

TEST(SettingsKeeper, ClicksThatDoNotStartAFreshUpdateReadNothing) {
    KeeperRig rig;
    loadImage(rig, patternBytes(4999));
    rig.keeper.updateClicked();
    rig.clock.advance(kUpdateAndRestoreMs);

    EXPECT_TRUE(rig.commands().isEmpty());
    EXPECT_EQ(rig.prompter.messageTexts(), QStringList{"Please choose fireware"});
}

TEST(SettingsKeeper, BackupsAreNamedByDateAndTime) {
    EXPECT_EQ(backupFileName(QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5))),
              "KV120-settings-20240102-030405.ini");
    EXPECT_EQ(backupFileName(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59))),
              "KV120-settings-19991231-235959.ini");
}

}  // namespace
