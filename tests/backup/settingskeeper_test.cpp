#include "backup/settingskeeper.h"
#include "backup/keptsettings.h"
#include "sim/configcommands.h"
#include "support/sessionrig.h"
#include "support/texthistory.h"
#include "update/updater.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Settings a user has written, none of them the factory's; each device has
// its own callsign.
SimConfig userSettings(int device = 0) {
    SimConfig config;
    for (const QByteArray& command :
         {"AT+CALL,BG7AB" + QByteArray::number(device) + "-9#", QByteArray("AT+DHCP,0#"),
          QByteArray("AT+IP,10,0,0,7#"), QByteArray("AT+COMMENT,home gate#"),
          QByteArray("AT+TIME,0300#"), QByteArray("AT+BACKLIGHT,30#"),
          QByteArray("AT+FREQ,144.3900#"), QByteArray("AT+UNIT,2#"), QByteArray("AT+PATH,2#")}) {
        runCommand(config, command);
    }
    return config;
}

SimKnobs atLineRate(SimKnobs knobs = {}) {
    knobs.bytesPerSecond = kLineRate115200;
    return knobs;
}

const QDateTime kNow(QDate(2024, 5, 1), QTime(13, 45, 12));

// One device holding its user's settings on a port of its own, a 5000-byte
// image loaded, and the window's keeper between "update" and the update.
// Every device's keeper keeps its settings in the same folder, at the same
// second.
struct KeeperRig : SessionRig {
    KeeperRig(const QString& folder, int index, SimKnobs knobs = atLineRate(),
              SettingsKeeper::WhenNotKept whenNotKept = SettingsKeeper::WhenNotKept::Ask)
        : SessionRig(std::move(knobs)),
          keeper(
              session, updater, folder, [] { return kNow; },
              [index](const QString&) { return QStringLiteral("adapter-%1").arg(index); }) {
        device.config() = userSettings(index);
        keeper.keepSettingsAcrossUpdates(whenNotKept);
        keeper.offerRestoreOnCompletion();
        prompter.files.push_back(writeFile(QStringLiteral("image.bin"), image));
        updater.imageOpen();
    }
    // Clicks "update" and lets the update and the write-back run their course.
    void clickUpdate() {
        keeper.updateClicked();
        clock.advance(120'000);
    }

    const QByteArray image = patternBytes(5000);
    Updater updater{session};
    SettingsKeeper keeper;
};

// The settings kept before the update, with the folder made by the first of them.
struct KeptFolder {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("backups"));
    const QString firstFile = QDir(folder).filePath("KV120-settings-20240501-134512.ini");
};

// The one whole update on the simulated device: the settings are kept before
// the reset, the image is flashed, and the settings are written back.
TEST(SettingsKeeper, TheSettingsAreKeptBeforeTheResetAndWrittenBackWhenTheUserSaysYes) {
    for (const bool writeBack : {true, false}) {
        SCOPED_TRACE(writeBack);
        KeptFolder kept;
        KeeperRig rig(kept.folder, 0);
        rig.prompter.answers = {writeBack};
        TextHistory status(rig.form, Ctl::Text29);
        rig.clickUpdate();

        // A device that answers the handshake runs its firmware: it is read,
        // never probed for a loader.
        const QByteArrayList commands = rig.commands();
        EXPECT_EQ(commands.value(0), "SETUP#");
        EXPECT_EQ(commands.value(commands.indexOf("AT+RESET#") - 1), "AT+READ#");
        EXPECT_FALSE(rig.bytesReceived()
                         .left(rig.bytesReceived().indexOf("AT+RESET#"))
                         .contains(QByteArray("\x5F\x00\x00\xF5", 4)));
        const QByteArray file = fileBytes(kept.firstFile);
        EXPECT_TRUE(file.startsWith("[KORVA]\r\n"));
        EXPECT_TRUE(file.contains("\r\nCALLSIGN:BG7AB0-9\r\n"));

        EXPECT_EQ(rig.device.flash().image, rig.image + QByteArray(3 * 2048 - 5000, '\xFF'));
        EXPECT_EQ(rig.form.text(Ctl::Label2), "update complete update step:100%");
        EXPECT_TRUE(rig.prompter.messages.empty());
        ASSERT_EQ(rig.prompter.questions.size(), 1u);
        EXPECT_EQ(rig.prompter.questions[0].text,
                  "The update reset the device to its factory settings, and it now runs its new "
                  "firmware. Write back the settings kept before the update (" +
                      kept.firstFile + ")?");
        EXPECT_EQ(rig.device.config(), writeBack ? userSettings() : SimConfig());
        EXPECT_EQ(rig.status().endsWith("Write complete"), writeBack);
        // The kept file is listed as "Load file" lists one.
        EXPECT_EQ(status.texts.contains(kept.firstFile + "\r\n\r\n[KORVA]\r\n"), writeBack);
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_TRUE(pendingKeptSettings(kept.folder).isEmpty());
    }
}

TEST(SettingsKeeper, OnlyAWholeReadIsKeptAndWithoutOneTheUserDecidesOrTheUpdateStops) {
    const QString readFailed = QStringLiteral("The device's settings could not be read whole.\n");
    const QString ask = QStringLiteral(
        "The update resets the device to its factory settings, so without them your settings are "
        "lost. Update without keeping them?");
    const QString stop = QStringLiteral(
        "The update did not start and the device is untouched. To update without keeping its "
        "settings, add --no-keep-settings.");
    using When = SettingsKeeper::WhenNotKept;
    struct Case {
        const char* name;
        SimKnobs knobs;
        When whenNotKept;
        bool folderIsAFile;
        bool goOn;  // the user's answer
        QString told;
    };
    const Case cases[] = {
        {"silent device", atLineRate({.silent = true}), When::Ask, false, false, readFailed + ask},
        {"no READ END", atLineRate({.noReadEnd = true}), When::Ask, false, true, readFailed + ask},
        {"an empty read", atLineRate({.settingLines = 0}), When::Stop, false, true,
         readFailed + stop},
        {"a partial read", atLineRate({.settingLines = 18}), When::Ask, false, false,
         readFailed + ask},
        {"backup folder unusable", atLineRate(), When::Ask, true, false,
         "The device's settings could not be kept in %1: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeptFolder kept;
        if (c.folderIsAFile) {
            writeBytes(kept.folder, "not a folder");
        }
        KeeperRig rig(kept.folder, 0, c.knobs, c.whenNotKept);
        rig.prompter.answers = {c.goOn};
        rig.clickUpdate();

        QStringList told = rig.prompter.messageTexts();
        for (const ScriptedPrompter::Shown& question : rig.prompter.questions) {
            told << question.text;
        }
        EXPECT_TRUE(told.join("").startsWith(QString(c.told).replace("%1", kept.folder)))
            << told.join("|").toStdString();
        EXPECT_EQ(rig.commands().contains("AT+RESET#"), c.goOn && c.whenNotKept == When::Ask);
        EXPECT_FALSE(QFile::exists(kept.firstFile));
        EXPECT_TRUE(pendingKeptSettings(kept.folder).isEmpty());
    }
}

TEST(SettingsKeeper, ASecondClickWhileReadingCancelsTheUpdateAndAShortImageReadsNothing) {
    KeptFolder kept;
    KeeperRig rig(kept.folder, 0);
    rig.clock.post(500, [&rig] { rig.keeper.updateClicked(); });
    rig.clickUpdate();
    EXPECT_TRUE(rig.prompter.questions.empty());
    EXPECT_FALSE(rig.commands().contains("AT+READ#"));
    EXPECT_FALSE(rig.commands().contains("AT+RESET#"));
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(rig.device.config(), userSettings());
    // The read that was cancelled says so in the status box; no box.
    EXPECT_EQ(rig.prompter.messageTexts(), QStringList());

    rig.received.chunks.clear();
    rig.prompter.messages.clear();
    rig.prompter.files.push_back(rig.writeFile(QStringLiteral("short.bin"), patternBytes(4999)));
    rig.updater.imageOpen();
    rig.clickUpdate();
    EXPECT_TRUE(rig.commands().isEmpty());
    EXPECT_EQ(rig.prompter.messageTexts().size(), 1);
}

// Updates run one after the other, on one or two devices (each on a port of
// its own), all keeping their settings in one folder within one second. At
// the end, each device holds its own settings or its factory ones, and some
// kept settings may still wait.
TEST(SettingsKeeper, EachDeviceGetsBackItsOwnSettingsWhateverHappensBetweenItsUpdates) {
    const QString incomplete = QStringLiteral("The update did not complete: the device");
    const QString stalled = incomplete + "'s loader asked for no new block for 10 seconds.";
    struct Run {
        int device;
        SimKnobs knobs;
        QString told;              // the start of the message shown; empty: none
        bool inLoader = false;     // the device starts in its loader
        bool keptDamaged = false;  // every kept file is made unreadable before the run
    };
    struct Case {
        const char* name;
        QList<Run> runs;
        QList<bool> ownSettings;  // per device at the end; else its factory settings
        int stillKept;
        int choicesAsked = 0;
    };
    const Case cases[] = {
        {"two devices, an interrupted update between them",
         {{0, atLineRate({.stallAfterBlock = 1}), stalled},
          {1, atLineRate(), {}},
          {0, atLineRate(), {}}},
         {true, true},
         0},
        {"the loader wait runs out and the old firmware starts on factory settings",
         {{0, atLineRate({.answerProbeFrom = 0}), {}}, {0, atLineRate(), {}}},
         {true},
         0},
        {"an image that did not take",
         {{0, atLineRate({.imageNotTaken = true}),
           incomplete + " did not take the image and waits in its loader."},
          {0, atLineRate(), {}}},
         {true},
         0},
        // "常" is E5 B8 B8 in UTF-8: a running firmware's E5, never a lone one.
        {"a firmware that sends E5 unasked",
         {{0, atLineRate({.chatterLine = "常", .chatterEveryMs = 300}), {}}},
         {true},
         0},
        // Nor when the E5 comes after a quiet spell, to a probe.
        {"a firmware that sends E5 unasked and takes no handshake",
         {{0, atLineRate({.noConnect = true, .chatterLine = "常", .chatterEveryMs = 400}),
           "The update did not complete: the image was sent, but the device has not answered"}},
         {false},
         1},
        {"a loader that answers E5 instead of asking for blocks",
         {{0, atLineRate({.readyAfterBlock = 1}), stalled}},
         {false},
         1},
        {"a loader that repeats a block for ever",
         {{0, atLineRate({.repeatAfterBlock = 1}), stalled}},
         {false},
         1},
        // It holds them, but the write-back did not end as one that took.
        {"a write-back the device does not confirm",
         {{0, atLineRate({.noFreqSave = true}), {}}},
         {true},
         1},
        // What the device holds again no longer waits; what was read instead does.
        {"an unconfirmed write-back, then an interrupted update",
         {{0, atLineRate({.noFreqSave = true}), {}},
          {0, atLineRate({.stallAfterBlock = 1}), stalled},
          {0, atLineRate(), {}}},
         {true},
         0},
        {"kept settings damaged before they are written back",
         {{0, atLineRate({.stallAfterBlock = 1}), stalled},
          {0, atLineRate(), "The settings kept in ", false, true}},
         {false},
         1},
        {"a device in its loader on a port with nothing kept for it",
         {{0, atLineRate({.stallAfterBlock = 1}), stalled}, {1, atLineRate(), {}, true}},
         {false, false},
         1,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KeptFolder kept;
        std::vector<std::unique_ptr<KeeperRig>> devices;
        for (qsizetype index = 0; index < c.ownSettings.size(); ++index) {
            devices.push_back(std::make_unique<KeeperRig>(kept.folder, index));
        }
        for (const Run& run : c.runs) {
            KeeperRig& rig = *devices[run.device];
            rig.device.knobs() = run.knobs;
            if (run.inLoader) {
                // As an update elsewhere left it: reset, and in its loader.
                rig.device.config() = SimConfig();
                rig.device.startInLoader();
            }
            for (const KeptSettings& waiting : pendingKeptSettings(kept.folder)) {
                ASSERT_TRUE(!run.keptDamaged || writeBytes(waiting.file, QByteArray(70'000, 'x')));
            }
            rig.prompter.messages.clear();
            rig.clickUpdate();
            // One message, or none, and it tells the cause.
            const QStringList told = rig.prompter.messageTexts();
            EXPECT_EQ(told.size(), run.told.isEmpty() ? 0 : 1) << told.join(u'|').toStdString();
            EXPECT_TRUE(told.join(u'|').startsWith(run.told)) << told.join(u'|').toStdString();
            EXPECT_FALSE(rig.updater.isBusy());
            // Settings that could not be written back are said to wait still.
            EXPECT_TRUE(!run.keptDamaged || rig.status().contains(u"until they are written back"));
        }
        for (qsizetype index = 0; index < c.ownSettings.size(); ++index) {
            const SimConfig& config = devices[index]->device.config();
            EXPECT_EQ(config, c.ownSettings[index] ? userSettings(index) : SimConfig()) << index;
        }
        EXPECT_EQ(pendingKeptSettings(kept.folder).size(), c.stillKept);
        qsizetype choices = 0;
        for (const auto& rig : devices) {
            choices += rig->prompter.choices.size();
        }
        EXPECT_EQ(choices, c.choicesAsked);
    }
}

TEST(KeptSettings, FilesMadeInOneSecondGetNamesOfTheirOwnAndAnEarlierNoteIsAdopted) {
    KeptFolder kept;
    QString failure;
    const QString first = createKeptFile(kept.folder, kNow, "first", failure);
    const QString second = createKeptFile(kept.folder, kNow, "second", failure);
    EXPECT_EQ(first, kept.firstFile);
    EXPECT_EQ(QFileInfo(second).fileName(), "KV120-settings-20240501-134512-2.ini");
    EXPECT_EQ(fileBytes(first), "first");
    EXPECT_EQ(fileBytes(second), "second");

    // An earlier version noted one waiting file in "pending-backup".
    writeBytes(QDir(kept.folder).filePath("pending-backup"), first.toUtf8());
    const QList<KeptSettings> waiting = pendingKeptSettings(kept.folder);
    ASSERT_EQ(waiting.size(), 1);
    EXPECT_EQ(waiting[0].file, first);
    EXPECT_TRUE(waiting[0].portIdentity.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(kept.folder).filePath("pending-backup")));
}

}  // namespace
