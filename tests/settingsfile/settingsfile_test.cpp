#include "app/defaults.h"
#include "app/devicesettings.h"
#include "protocol/readexchange.h"
#include "protocol/writeexchange.h"
#include "protocol/writesequence.h"
#include "settingsfile/settingsfilebuttons.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"
#include "support/sessionrig.h"

#include <QDir>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>

namespace {

namespace ds = DeviceSettings;

using State = std::vector<std::tuple<QString, bool, int>>;

// Every control's text, enabled state and value.
State stateOf(const Form& form) {
    State state;
    for (const ControlDesign& design : kControls) {
        state.emplace_back(form.text(design.id), form.isEnabled(design.id), form.value(design.id));
    }
    return state;
}

void save(SessionRig& rig, const QString& path) {
    QString dialogFileName;
    rig.prompter.files.push_back(path);
    saveSettingsFile(rig.form, rig.prompter, dialogFileName);
}

void load(SessionRig& rig, const QString& path) {
    QString dialogFileName;
    rig.prompter.files.push_back(path);
    loadSettingsFile(rig.session, dialogFileName);
}

TEST(SettingsFileFormat, TheDefaultsAreSavedByteForByte) {
    Form form;
    fillDefaults(form);
    EXPECT_EQ(settingsFileBytes(form),
              "[KORVA]\r\n\r\nCALLSIGN:NOCALL-10\r\nPASS:40663\r\nDHCP:1#\r\nIP:192,168,1,99\r\n"
              "MASK:255,255,255,0\r\nGATE:192,168,1,1\r\nDNS:8,8,8,8\r\n"
              "POSITION:!3035.00N/11417.00ErPHG1010\r\nCOMMENT TEXT:KORVA 144.640MHz\r\n"
              "SERVER:china.aprs2.net\r\nSENT TIME:0600\r\nFILTER:b/KORVA\r\nBACKLIGHT:00\r\n"
              "FREQ:144.6400\r\nUNIT:1\r\nDIGI:1\r\nMOD:3\r\nPATH:1\r\nALIAS:3\r\n");
}

// Each save replaces a longer file whole. A field the file holds as it was
// comes back whole and is saved as the same bytes; the write sends the
// argument of the field's line, but where an unlisted unit falls back. A load
// never touches the device.
TEST(SettingsFileButtons, ARoundTripGivesBackEachFieldAsItsLineHoldsIt) {
    const auto set = [](Form& form, Ctl field, const QString& value) {
        field == ds::digipeat ? form.setValue(field, value.toInt()) : form.setText(field, value);
    };
    const auto get = [](const Form& form, Ctl field) {
        return field == ds::digipeat ? QString::number(form.value(field)) : form.text(field);
    };
    // The field, its text, its line in the file, its text loaded back, and
    // its command's argument.
    const std::tuple<Ctl, QString, QString, QString, QString> cases[] = {
        {ds::callsign, "AB1C", "CALLSIGN:AB1C  -10", "AB1C  ", "CALL,AB1C  -10"},
        {ds::addressMode, "STATIC IP", "DHCP:0#", "STATIC IP", "DHCP,0"},
        {ds::addressMode, "static ip", "DHCP:1#", "DHCP", "DHCP,1"},  // compared exactly
        {ds::sendInterval, "60", "SENT TIME:0060", "0060", "TIME,60"},
        {ds::comment, "中继站 café", "COMMENT TEXT:中继站 café", "中继站 café",
         "COMMENT,中继站 café"},
        // Each item of a list is its code, in the file as on the wire and in
        // the device's reply; a text the list lacks falls back.
        {ds::distanceUnit, "mi", "UNIT:2", "mi", "UNIT,2"},
        {ds::distanceUnit, "公里", "UNIT:3", "公里", "UNIT,3"},
        {ds::distanceUnit, "miles", "UNIT:1", "km", "UNIT,2"},
        {ds::txPath, "None", "PATH:0", "None", "PATH,0"},
        {ds::txPath, "WIDE1-1WIDE2-2", "PATH:3", "WIDE1-1WIDE2-2", "PATH,3"},
        {ds::txPath, "WIDE1-1,WIDE2-1", "PATH:1", "WIDE1-1", "PATH,1"},
        {ds::digiAlias, "WIDE1", "ALIAS:1", "WIDE1", "ALIAS,1"},
        {ds::digiAlias, "WIDE2", "ALIAS:2", "WIDE2", "ALIAS,2"},
        {ds::digiAlias, "wide1", "ALIAS:3", "WIDE1+WIDE2", "ALIAS,3"},
        {ds::digipeat, "0", "DIGI:0", "0", "DIGI,0"},
    };
    for (const auto& [field, saved, line, loaded, argument] : cases) {
        SCOPED_TRACE(line.toStdString());
        SessionRig saving;
        fillDefaults(saving.form);
        set(saving.form, field, saved);
        const QString path = saving.writeFile(QStringLiteral("trip.ini"), QByteArray(2000, 'x'));
        save(saving, path);
        const QByteArray bytes = fileBytes(path);
        EXPECT_EQ(bytes, settingsFileBytes(saving.form));
        EXPECT_TRUE(bytes.contains("\r\n" + line.toUtf8() + "\r\n"));
        QByteArray sent;
        for (const WriteStep& step : writeSequence(saving.form)) {
            sent += step.command;
        }
        EXPECT_TRUE(sent.contains("AT+" + argument.toUtf8() + "#\r\n"));
        SessionRig blank;
        load(blank, path);
        EXPECT_EQ(get(blank.form, field), loaded);
        if (loaded == saved) {
            const QString again = blank.dir.filePath(QStringLiteral("again.ini"));
            save(blank, again);
            EXPECT_EQ(fileBytes(again), bytes);
        }
        EXPECT_TRUE(saving.prompter.messages.empty());
        EXPECT_TRUE(blank.prompter.messages.empty());
        EXPECT_TRUE(blank.bytesReceived().isEmpty());
    }
}

// The one message the user was told: the headline naming the file, then a
// reason, which is exactly the program's own where one is given.
void expectToldWhy(const SessionRig& rig, const QString& headline, const QString& reason) {
    ASSERT_EQ(rig.prompter.messages.size(), 1u);
    const QString told = rig.prompter.messages[0].text;
    EXPECT_TRUE(told.startsWith(headline) && told.size() > headline.size()) << told.toStdString();
    EXPECT_TRUE(reason.isEmpty() || told == headline + reason) << told.toStdString();
}

// A lowered limit on the size of files this process may write stops a save
// part-way as a full disk would; unlike permission bits, it stops root too.
TEST(SettingsFileButtons, AFailedSaveKeepsTheOldFileWholeAndTellsTheUser) {
    const QByteArray old = "[KORVA]\r\nold\r\n";
    const std::tuple<const char*, const char*, rlim_t, QString> cases[] = {
        {"hello\rDHCP:0#", "settings.ini", RLIM_INFINITY,
         "The field \"Posi+Comment\" holds a line break; nothing was written."},
        {"KORVA", "settings.ini", 100, ""},                         // the disk full part-way
        {"KORVA", "settings.ini/settings.ini", RLIM_INFINITY, ""},  // its folder is a file
    };
    for (const auto& [comment, target, fileSizeLimit, reason] : cases) {
        SCOPED_TRACE(std::string(target) + " " + std::to_string(fileSizeLimit));
        SessionRig rig;
        fillDefaults(rig.form);
        rig.form.setText(ds::comment, QString::fromLatin1(comment));
        const QString file = rig.writeFile(QStringLiteral("settings.ini"), old);
        const QString path = rig.dir.filePath(QString::fromLatin1(target));
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        rlimit lowered = unlimited;
        lowered.rlim_cur = fileSizeLimit;
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &lowered);
        save(rig, path);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, handler);
        expectToldWhy(rig, QStringLiteral("The file %1 was not saved: ").arg(path), reason);
        EXPECT_EQ(fileBytes(file), old);
        EXPECT_EQ(QDir(rig.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{"settings.ini"});
    }
}

// A refused file changes nothing in the window, the status box included.
TEST(SettingsFileButtons, ARefusedFileChangesNothingAndSaysWhy) {
    const QString unreadable = QStringLiteral("The file %1 could not be read: ");
    const QString notSettings = QStringLiteral("The file %1 is not a settings file: ");
    const QString tooLarge = "it is larger than 65536 bytes, far more than a settings file holds";
    const QString noSettingLine = "no line in it is a setting. Nothing was loaded.";
    struct Case {
        const char* name;
        QByteArray bytes;  // the file's; empty: no file is made
        QString headline;
        QString reason;
        bool pipe = false;  // the file is a named pipe
    };
    const Case cases[] = {
        {"missing.ini", {}, unreadable, ""},
        {"large.ini", "FREQ:1\r\n" + QByteArray(kMaxSettingsFileBytes, 'x'), unreadable, tooLarge},
        {"/dev/zero", {}, unreadable, tooLarge},  // a device that never ends
        {"binary.ini", "FREQ:145.8250\r\nCOMMENT TEXT:\xFF\xFE\x80\r\n", unreadable,
         "it is neither UTF-8 nor GB18030 text"},
        {"notes.ini", "shopping list\r\nKORVA\r\n freq:1\r\n", notSettings, noSettingLine},
        {"pipe.ini", {}, unreadable, "a pipe that no program writes to", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SessionRig rig;
        fillDefaults(rig.form);
        rig.form.setEnabled(Ctl::Command7, false);
        const QString path = QDir(rig.dir.path()).filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(c.bytes.isEmpty() || writeBytes(path, c.bytes));
        ASSERT_TRUE(!c.pipe || ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        const State before = stateOf(rig.form);
        load(rig, path);
        EXPECT_EQ(stateOf(rig.form), before);
        expectToldWhy(rig, c.headline.arg(path), c.reason);
    }
}

// A header alone is a settings file that sets nothing.
TEST(SettingsFileButtons, AHeaderOrOneSettingLineIsEnoughToLoadUpToTheLargestSize) {
    const QByteArray largest = "FREQ:145.8250\r\n" + QByteArray(kMaxSettingsFileBytes - 15, 'x');
    for (const QByteArray& bytes :
         {QByteArray("[KORVA]\r\n"), QByteArray("\x01\r\nMOD:4\r\n"), largest}) {
        SessionRig rig;
        load(rig, rig.writeFile(QStringLiteral("short.ini"), bytes));
        EXPECT_TRUE(rig.prompter.messages.empty());
        EXPECT_TRUE(rig.form.isEnabled(Ctl::Command7));
    }
}

TEST(SettingsFileLoad, AnyLineEndEndsALine) {
    const std::pair<QByteArray, QList<QByteArray>> cases[] = {
        {"A\r\nB\r\n", {"A", "B"}}, {"A\nB", {"A", "B"}},         {"A\rB\r", {"A", "B"}},
        {"A\n\rB", {"A", "", "B"}}, {"A\r\r\nB", {"A", "", "B"}},
    };
    for (const auto& [file, lines] : cases) {
        EXPECT_EQ(splitFileLines(file), lines) << file.toHex(' ').toStdString();
    }
}

// The status box lists every line applied, the reply line keeps the last one.
// A file is UTF-8 when all of it is: GB18030 "贪" alone would pass for UTF-8.
TEST(SettingsFileLoad, EachLineIsAppliedUntilOneWhoseCutFails) {
    const QString text = QStringLiteral("COMMENT TEXT:中继站\r\nPOSITION:中\r\n");
    const QString gbText = QStringLiteral("COMMENT TEXT:贪\r\nPOSITION:中\r\n");
    QStringEncoder gb18030("GB18030");
    const QByteArray gbFile = gb18030.encode(gbText);
    const QByteArray gbLastLine = gb18030.encode(QStringLiteral("POSITION:中"));
    using Changes = std::vector<std::pair<Ctl, QString>>;
    const Changes chinese{{Ctl::Text29, text}, {ds::comment, "中继站"}, {ds::position, "中"}};
    struct Case {
        QByteArray file;
        const char* outcome;
        QByteArray replyLine;
        Changes changes;
    };
    const Case cases[] = {
        {"FREQ:145.8250",
         "1",
         "FREQ:145.8250",
         {{Ctl::Text29, "FREQ:145.8250\r\n"}, {ds::frequency, "145.8250"}}},
        // A callsign without a dash stops the load.
        {"[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:AB1C\r\nPASS:12345\r\n",
         "4 stopped",
         "CALLSIGN:AB1C",
         {{Ctl::Text29, "[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:AB1C\r\n"},
          {ds::frequency, "145.8250"}}},
        // An address with two commas keeps the parts it cut.
        {"IP:10,0,9\r\nPASS:12345\r\n",
         "1 stopped",
         "IP:10,0,9",
         {{Ctl::Text29, "IP:10,0,9\r\n"}, {ds::ipAddress[0], "10"}, {ds::ipAddress[1], "0"}}},
        // Acknowledgements are listed with what they add.
        {"CONNECT\r\nfreq save\r\n",
         "2",
         "freq save",
         {{Ctl::Text29, "CONNECT\r\n\r\nConnect OKfreq save\r\n"}}},
        {text.toUtf8(), "2", "POSITION:中", chinese},
        {"\xEF\xBB\xBF" + text.toUtf8(), "2", "POSITION:中", chinese},
        {gbFile,
         "2",
         gbLastLine,
         {{Ctl::Text29, gbText}, {ds::comment, "贪"}, {ds::position, "中"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        SessionRig rig;
        SessionRig other;  // the window the load should leave
        for (Form* form : {&rig.form, &other.form}) {
            fillDefaults(*form);
            form->setEnabled(Ctl::Command7, false);
        }
        for (const auto& [control, changed] : c.changes) {
            other.form.setText(control, changed);
        }
        other.form.setEnabled(Ctl::Command7, true);
        const LoadOutcome outcome = loadSettingsLines(rig.session, c.file);
        EXPECT_EQ(
            QString::number(outcome.linesApplied) + (outcome.stoppedAtFailedCut ? " stopped" : ""),
            c.outcome);
        EXPECT_EQ(stateOf(rig.form), stateOf(other.form));
        EXPECT_EQ(rig.session.receivePath().replyLine(), c.replyLine);
    }
}

// Read, saved, loaded and written unedited, or written right after the read,
// a comment goes back as the bytes the device sent; typed text goes as UTF-8.
TEST(SettingsFileEncoding, TheDeviceGetsBackTheBytesItSent) {
    QStringEncoder gb18030("GB18030");
    const QString beijing = QStringLiteral("北京 中继");
    for (const QByteArray& sent : {QByteArray(gb18030.encode(beijing)), beijing.toUtf8()}) {
        SCOPED_TRACE(sent.toHex(' ').toStdString());
        SessionRig reading;
        reading.device.config().comment = sent;
        readExchange(reading.session);
        EXPECT_EQ(reading.form.text(ds::comment), beijing);

        SessionRig writing;
        loadSettingsLines(writing.session, settingsFileBytes(reading.form));
        writeExchange(writing.session);
        EXPECT_EQ(writing.device.config().comment, sent);

        reading.device.config().comment = "changed";
        writeExchange(reading.session);
        EXPECT_EQ(reading.device.config().comment, sent);
    }
    SessionRig typing;
    fillDefaults(typing.form);
    typing.form.setText(ds::comment, beijing);
    writeExchange(typing.session);
    EXPECT_EQ(typing.device.config().comment, beijing.toUtf8());
}

}  // namespace
