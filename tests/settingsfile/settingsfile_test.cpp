#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/fieldwarnings.h"
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

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

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

// Where a save's bytes can be read back: a file, or the far end of a terminal
// or a pipe, opened before the save; -1 for none.
int readableEnd(const QString& kind, const QString& path, QString& target) {
    if (kind == u"terminal") {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::grantpt(master);
        ::unlockpt(master);
        target = QString::fromLatin1(::ptsname(master));
        termios raw{};  // CR and LF pass as they are
        const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        ::tcgetattr(slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::close(slave);
        return master;
    }
    if (kind.contains(u"pipe")) {
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
        return kind == u"pipe" ? ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK)
                               : -1;
    }
    if (kind == u"link") {
        writeBytes(target, "old");
        QFile::link(target, path);
    } else if (kind == u"folder") {
        QDir().mkpath(path);
    } else if (kind == u"file") {
        writeBytes(path, "old");
    }
    return -1;
}

// What a save does to what its name stands for: a regular file is replaced (a
// link goes on naming the file), a terminal or a pipe a program reads is
// written in place and stays what it was, anything else is refused.
TEST(SettingsFileButtons, ASaveReplacesOnlyARegularFileAndWritesDevicesAndPipesInPlace) {
    const std::tuple<QString, const char*, mode_t, QString> cases[] = {
        {"file", "settings.ini", S_IFREG, ""},
        {"link", "link.ini", S_IFLNK, ""},
        {"terminal", "", S_IFCHR, ""},
        {"pipe", "fifo", S_IFIFO, ""},
        {"unread pipe", "fifo", S_IFIFO, "no program reads from this pipe"},
        {"folder", "folder", S_IFDIR, "it is a folder"},
        {"missing folder", "missing/settings.ini", 0, "No such file or directory"},
    };
    for (const auto& [kind, name, type, reason] : cases) {
        SCOPED_TRACE(kind.toStdString());
        SessionRig rig;
        fillDefaults(rig.form);
        QString target = rig.dir.filePath(QStringLiteral("target.ini"));
        QString path = rig.dir.filePath(QString::fromLatin1(name));
        const int end = readableEnd(kind, path, target);
        path = kind == u"terminal" ? target : path;
        save(rig, path);
        struct stat after {};
        EXPECT_EQ(
            ::lstat(QFile::encodeName(path).constData(), &after) == 0 ? after.st_mode & S_IFMT : 0,
            type);
        if (!reason.isEmpty()) {
            expectToldWhy(rig, QStringLiteral("The file %1 was not saved: ").arg(path), reason);
            continue;
        }
        EXPECT_TRUE(rig.prompter.messages.empty());
        QByteArray written(4096, 0);
        written.truncate(end < 0 ? 0 : ::read(end, written.data(), written.size()));
        ::close(end);
        EXPECT_EQ(end < 0 ? fileBytes(kind == u"link" ? target : path) : written,
                  settingsFileBytes(rig.form));
    }
}

// A refused file changes nothing in the window, the status box included.
TEST(SettingsFileButtons, ARefusedFileChangesNothingAndSaysWhy) {
    const QString unreadable = QStringLiteral("The file %1 could not be read: ");
    const QString notSettings = QStringLiteral("The file %1 is not a settings file: ");
    const QString tooLarge = "it is larger than 65536 bytes, far more than a settings file holds";
    const QString noSettingLine = "no line in it is a setting. Nothing was loaded.";
    const QString notLoaded = QStringLiteral("The file %1 was not loaded: ");
    const QString nothing = ". Nothing was loaded.";
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
        // A line that names a setting but cannot be read refuses the whole file.
        {"dots.ini", "FREQ:1\r\nIP:192.168.1.99\r\n", notLoaded,
         "line 2, \"IP:192.168.1.99\", cannot be read; expected IP: four numbers 0-255 separated "
         "by commas" +
             nothing},
        {"call.ini", "CALLSIGN:AB1C\r\n", notLoaded,
         "line 1, \"CALLSIGN:AB1C\", cannot be read; expected CALLSIGN: the callsign, blanks up to "
         "6 characters, \"-\" and the SSID" +
             nothing},
        {"unit.ini", "[KORVA]\r\nUNIT:7\r\n", notLoaded,
         "line 2, \"UNIT:7\", cannot be read; expected UNIT: one of 1, 2, 3" + nothing},
        {"digi.ini", "DIGI:on\r\n", notLoaded,
         "line 1, \"DIGI:on\", cannot be read; expected DIGI: one of 0, 1" + nothing},
        {"dhcp.ini", "FREQ:1\r\nDHCP:2#\r\n", notLoaded,
         "line 2, \"DHCP:2#\", cannot be read; expected DHCP: one of 0, 1" + nothing},
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
        EXPECT_EQ(rig.prompter.refusedChoices, 1);  // its folder is not remembered
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

// A setting the file has no line for keeps its text, noted beside it until it
// is set again; the addresses only in static mode, the one that sends them.
TEST(SettingsFileLoad, ASettingWithoutItsLineIsNotedUntilItIsSetAgain) {
    const std::pair<const char*, const char*> lacking[] = {
        {"Pass", "PASS"},
        {"Mask", "MASK"},
        {"Gate", "GATE"},
        {"DNS", "DNS"},
        {"Posi+Comment", "POSITION"},
        {"Posi+Comment", "COMMENT TEXT"},
        {"Server", "SERVER"},
        {"Tx time", "SENT TIME"},
        {"Filter", "FILTER"},
        {"Backlight", "BACKLIGHT"},
        {"TX vol", "MOD"},
        {"Unit", "UNIT"},
        {"DIGI", "DIGI"},
        {"Path", "PATH"},
        {"Alias", "ALIAS"},
    };
    QStringList expected;
    for (const auto& [label, keyword] : lacking) {
        expected << QStringLiteral(
                        "%1: the file loaded has no %2 line; the field keeps what it "
                        "held before")
                        .arg(label, keyword);
    }
    SessionRig rig;
    fillDefaults(rig.form);
    loadSettingsLines(rig.session, "DHCP:0#\r\nCALLSIGN:AB1C  -9\r\nIP:1,2,3,4\r\nFREQ:145.8\r\n");
    const auto noted = [&rig] {
        QStringList texts;
        for (const FieldWarning& warning : writeWarnings(rig.form)) {
            texts << warning.text;
        }
        return texts;
    };
    EXPECT_EQ(noted(), expected);
    rig.form.setText(ds::passcode, rig.form.text(ds::passcode));
    expected.removeFirst();
    EXPECT_EQ(noted(), expected);
    loadSettingsLines(rig.session, "DHCP:1#\r\n");
    EXPECT_EQ(noted().filter(QStringLiteral("MASK")), QStringList());
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

// Each field unedited goes back as the bytes the device sent, whatever their
// encoding, written right after the read. Saved, loaded and written, so does
// every field the file can hold exactly (a file holds one encoding, and only
// text); the save names each other one. Bytes that are no text carry a note.
// Typed text goes as UTF-8.
TEST(SettingsFileEncoding, TheDeviceGetsBackTheBytesItSent) {
    QStringEncoder gb18030("GB18030");
    const QByteArray gbComment = gb18030.encode(QStringLiteral("北京 中继"));
    const QByteArray position = QStringLiteral("中继站").toUtf8();
    const QByteArray gbPosition = gb18030.encode(QStringLiteral("中继站"));
    const QByteArray notText = "\xFF\x80 b/KORVA";
    const QString inGb18030 =
        "POSITION: the file holds it in GB18030, not in UTF-8 as the "
        "window does; a write after loading the file sends it in GB18030";
    const QString filterNotText =
        "FILTER: the device sent bytes that are no text; the file holds "
        "each as \uFFFD, which a write after loading the file sends instead";
    struct Case {
        QByteArrayList sent;     // comment, position, filter
        QByteArrayList viaFile;  // as a write after the file's load sends them
        QStringList told;
    };
    const Case cases[] = {
        {{gbComment, "!3035.00N/11417.00Er", "b/KORVA"}, {}, {}},
        {{QStringLiteral("网关").toUtf8(), position, "b/KORVA"}, {}, {}},
        {{gbComment, position, "b/KORVA"}, {gbComment, gbPosition, "b/KORVA"}, {inGb18030}},
        {{"KORVA", "!3035.00N/11417.00Er", notText},
         {"KORVA", "!3035.00N/11417.00Er", "\xEF\xBF\xBD\xEF\xBF\xBD b/KORVA"},
         {filterNotText}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent.join(' ').toHex(' ').toStdString());
        SessionRig reading;
        SimConfig& device = reading.device.config();
        std::tie(device.comment, device.position, device.filter) =
            std::tuple(c.sent[0], c.sent[1], c.sent[2]);
        readExchange(reading.session);
        QStringList warned;
        for (const FieldWarning& warning : writeWarnings(reading.form)) {
            warned << warning.text;
        }
        EXPECT_EQ(warned.filter(QStringLiteral("sent bytes that are no text")).size(),
                  c.sent[2] == notText ? 1 : 0);
        device.comment = device.position = device.filter = "changed";
        writeExchange(reading.session);
        EXPECT_EQ((QByteArrayList{device.comment, device.position, device.filter}), c.sent);

        const QString path = reading.dir.filePath(QStringLiteral("device.ini"));
        save(reading, path);
        EXPECT_EQ(reading.prompter.messageTexts(),
                  c.told.isEmpty()
                      ? QStringList()
                      : QStringList{QStringLiteral("The file %1 was saved, but it "
                                                   "cannot hold these fields exactly:\n")
                                        .arg(path) +
                                    c.told.join(u'\n')});
        SessionRig writing;
        load(writing, path);
        writeExchange(writing.session);
        const SimConfig& written = writing.device.config();
        EXPECT_EQ((QByteArrayList{written.comment, written.position, written.filter}),
                  c.viaFile.isEmpty() ? c.sent : c.viaFile);
    }
    SessionRig typing;
    fillDefaults(typing.form);
    typing.form.setText(ds::comment, QStringLiteral("北京 中继"));
    writeExchange(typing.session);
    EXPECT_EQ(typing.device.config().comment, QStringLiteral("北京 中继").toUtf8());
}

}  // namespace
