#include "backup/settingskeeper.h"
#include "serial/portlister.h"
#include "sim/configcommands.h"
#include "support/sessionrig.h"
#include "support/texthistory.h"
#include "update/updater.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Settings a user has written, none of them the factory's.
SimConfig userSettings() {
    SimConfig config;
    for (const char* command :
         {"AT+CALL,BG7ABC-9#", "AT+DHCP,0#", "AT+IP,10,0,0,7#", "AT+COMMENT,home gate#",
          "AT+TIME,0300#", "AT+BACKLIGHT,30#", "AT+FREQ,144.3900#", "AT+UNIT,2#", "AT+PATH,2#"}) {
        runCommand(config, command);
    }
    return config;
}

// The simulated device holding the user's settings at the wire's rate, a
// 5000-byte image loaded, and the keeper between "update" and the update.
struct KeeperRig : SessionRig {
    explicit KeeperRig(SimKnobs knobs = {.bytesPerSecond = kLineRate115200})
        : SessionRig(std::move(knobs)) {
        device.config() = userSettings();
        keeper.keepSettingsAcrossUpdates();
        keeper.offerRestoreOnCompletion();
        prompter.files.push_back(writeFile(QStringLiteral("image.bin"), image));
        updater.imageOpen();
    }
    // Clicks "update" and lets the update and the write-back run their course.
    void clickUpdate() {
        keeper.updateClicked();
        clock.advance(120'000);
    }
    QString question() const {
        return prompter.questions.size() == 1 ? prompter.questions[0].text : "?";
    }

    const QByteArray image = patternBytes(5000);
    const QString folder = dir.filePath(QStringLiteral("backups"));  // made by the first backup
    // Named by the moment it was taken.
    const QString backupPath = QDir(folder).filePath("KV120-settings-20240501-134512.ini");
    const QString restoreQuestion =
        QStringLiteral(
            "The update reset the device to its factory settings. Once the device has restarted, "
            "write back the settings kept before the update (%1)?")
            .arg(backupPath);
    Updater updater{session};
    SettingsKeeper keeper{session, updater, folder,
                          [] { return QDateTime(QDate(2024, 5, 1), QTime(13, 45, 12)); }};
};

// The one whole update on the simulated device: the settings are kept before
// the reset, the image is flashed, and the settings are written back.
TEST(SettingsKeeper, TheSettingsAreKeptBeforeTheResetAndWrittenBackWhenTheUserSaysYes) {
    for (const bool writeBack : {true, false}) {
        SCOPED_TRACE(writeBack);
        KeeperRig rig;
        rig.prompter.answers = {writeBack};
        TextHistory status(rig.form, Ctl::Text29);
        rig.clickUpdate();

        // Three probes find no loader; a line end makes them a line the
        // firmware does not know, before the read.
        const QByteArrayList commands = rig.commands();
        EXPECT_EQ(commands.value(0), QByteArray("\x5F\x00\x00\xF5", 4).repeated(3));
        EXPECT_EQ(commands.value(1), "SETUP#");
        EXPECT_EQ(commands.value(commands.indexOf("AT+RESET#") - 1), "AT+READ#");
        const QByteArray kept = fileBytes(rig.backupPath);
        EXPECT_TRUE(kept.startsWith("[KORVA]\r\n"));
        EXPECT_TRUE(kept.contains("\r\nCALLSIGN:BG7ABC-9\r\n"));

        EXPECT_EQ(rig.device.flash().image, rig.image + QByteArray(3 * 2048 - 5000, '\xFF'));
        EXPECT_EQ(rig.form.text(Ctl::Label2), "update complete update step:100%");
        EXPECT_TRUE(rig.prompter.messages.empty());
        EXPECT_EQ(rig.question(), rig.restoreQuestion);
        EXPECT_EQ(rig.device.config(), writeBack ? userSettings() : SimConfig());
        EXPECT_EQ(rig.status().endsWith("Write complete"), writeBack);
        // The kept file is listed as "Load file" lists one.
        EXPECT_EQ(status.texts.contains(rig.backupPath + "\r\n\r\n[KORVA]\r\n"), writeBack);
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
        {"backup folder unusable", {.bytesPerSecond = kLineRate115200}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeeperRig rig(c.knobs);
        if (c.folderIsAFile) {
            rig.writeFile(QStringLiteral("backups"), "not a folder");
        }
        rig.prompter.answers = {c.goOn};
        rig.clickUpdate();

        EXPECT_TRUE(c.folderIsAFile
                        ? rig.question().startsWith("The device's settings could not be kept in " +
                                                    rig.backupPath + ": ")
                        : rig.question() == readFailed);
        EXPECT_EQ(rig.commands().contains("AT+RESET#"), c.goOn);
        EXPECT_FALSE(QFile::exists(rig.backupPath));
        // Without a backup there is nothing to offer after the update.
        EXPECT_TRUE(rig.keeper.pendingBackup().isEmpty());
    }
}

TEST(SettingsKeeper, ASecondClickWhileReadingCancelsTheUpdateAndAShortImageReadsNothing) {
    KeeperRig rig;
    rig.clock.post(500, [&rig] { rig.keeper.updateClicked(); });
    rig.clickUpdate();
    EXPECT_TRUE(rig.prompter.questions.empty());
    EXPECT_FALSE(rig.commands().contains("AT+READ#"));
    EXPECT_FALSE(rig.commands().contains("AT+RESET#"));
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(rig.device.config(), userSettings());
    EXPECT_EQ(rig.prompter.messageTexts(),
              QStringList{"Port is use or no\nSIM was closed before the operation ended."});

    rig.received.chunks.clear();
    rig.prompter.messages.clear();
    rig.prompter.files.push_back(rig.writeFile(QStringLiteral("short.bin"), patternBytes(4999)));
    rig.updater.imageOpen();
    rig.clickUpdate();
    EXPECT_TRUE(rig.commands().isEmpty());
    EXPECT_EQ(rig.prompter.messageTexts().size(), 1);
}

// An update that did not complete has reset the device: the settings it kept
// are the user's, and the next update that completes writes them back
// without reading the device's factory ones. A device left in its loader is
// finished by one click, without a settings read that could only fail.
TEST(SettingsKeeper, AnUnfinishedUpdateKeepsItsBackupAndTheNextOneWritesItBack) {
    for (const SimKnobs& firstRun :
         {SimKnobs{.bytesPerSecond = kLineRate115200, .answerProbeFrom = 0},
          SimKnobs{.bytesPerSecond = kLineRate115200, .stallAfterBlock = 1}}) {
        const bool stalled = firstRun.stallAfterBlock > 0;
        SCOPED_TRACE(stalled);
        KeeperRig rig(firstRun);
        rig.clickUpdate();
        ASSERT_TRUE(rig.status().endsWith("Your settings are kept in " + rig.backupPath +
                                          "; the next update that completes writes them back."));
        ASSERT_EQ(rig.keeper.pendingBackup(), rig.backupPath);
        ASSERT_EQ(rig.device.inLoader(), stalled);
        rig.device.knobs() = {.bytesPerSecond = kLineRate115200};
        rig.received.chunks.clear();
        rig.prompter.questions.clear();
        rig.clickUpdate();

        EXPECT_FALSE(rig.commands().contains("SETUP#"));
        EXPECT_EQ(rig.commands().contains("AT+RESET#"), !stalled);
        EXPECT_TRUE(rig.device.flash().complete);
        EXPECT_FALSE(rig.device.inLoader());
        EXPECT_EQ(rig.question(), rig.restoreQuestion);
        EXPECT_EQ(rig.device.config(), userSettings());
        EXPECT_TRUE(rig.keeper.pendingBackup().isEmpty());
    }
}

}  // namespace
