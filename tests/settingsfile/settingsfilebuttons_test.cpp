#include "settingsfile/settingsfilebuttons.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "loadsession.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"

#include <QDir>

#include <sys/resource.h>
#include <sys/stat.h>
#include <csignal>
#include <functional>

namespace {

namespace ds = DeviceSettings;

void save(LoadSession& s, const QString& path) {
    QString dialogFileName;
    s.prompter.files.push_back(path);
    saveSettingsFile(s.form, s.prompter, dialogFileName);
}

void load(LoadSession& s, const QString& path) {
    QString dialogFileName;
    s.prompter.files.push_back(path);
    loadSettingsFile(s.session, dialogFileName);
}

// The one message the user was told: the headline naming the file, then a
// reason, which is exactly the program's own where one is given.
void expectToldWhy(const LoadSession& s, const QString& headline, const char* reason) {
    ASSERT_EQ(s.prompter.messages.size(), 1u);
    const QString told = s.prompter.messages[0].text;
    EXPECT_TRUE(told.startsWith(headline) && told.size() > headline.size()) << told.toStdString();
    if (reason != nullptr) {
        EXPECT_EQ(told, headline + QString::fromLatin1(reason));
    }
}

// Lowers the largest file this process may write, as a full disk would stop
// a save; unlike permission bits, it stops root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = old_;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// The one file dialog starts with the name last chosen in it, whichever
// button showed it; a cancelled dialog changes nothing.
TEST(SettingsFileButtons, TheDialogsAskAsTheWindowAlwaysHas) {
    LoadSession s;
    fillDefaults(s.form);
    s.form.setEnabled(Ctl::Command7, false);
    const FormSnapshot before(s.form);
    QString dialogFileName = s.path(QStringLiteral("last.ini"));
    saveSettingsFile(s.form, s.prompter, dialogFileName);
    EXPECT_EQ(dialogFileName, s.path(QStringLiteral("last.ini")));
    loadSettingsFile(s.session, dialogFileName);
    EXPECT_EQ(dialogFileName, "") << "the load's dialog starts empty and was cancelled";
    EXPECT_EQ(before.changes(), QStringList());
    EXPECT_EQ(QDir(s.dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(s.prompter.messages.empty());

    const QString chosen = s.path(QStringLiteral("chosen.ini"));
    ASSERT_TRUE(writeBytes(chosen, settingsFileBytes(s.form)));
    s.prompter.files = {chosen, chosen};
    loadSettingsFile(s.session, dialogFileName);
    saveSettingsFile(s.form, s.prompter, dialogFileName);
    EXPECT_EQ(dialogFileName, chosen);

    ASSERT_EQ(s.prompter.fileRequests.size(), 4u);
    const auto asked = [&](size_t i) {
        const FileRequest& r = s.prompter.fileRequests[i];
        return std::tuple(r.mode, r.title, r.filter, r.defaultSuffix, r.fileName);
    };
    EXPECT_EQ(asked(0), std::tuple(FileRequest::Mode::Save, QStringLiteral("Save"),
                                   QStringLiteral("setup file(*.ini)|*.ini"), QStringLiteral("ini"),
                                   s.path(QStringLiteral("last.ini"))));
    EXPECT_EQ(asked(1),
              std::tuple(FileRequest::Mode::Open, QStringLiteral("Please choose fireware."),
                         QStringLiteral("ini文件(*.ini)|*.ini"), QString(), QString()));
    EXPECT_EQ(s.prompter.fileRequests[3].fileName, chosen);
}

// Each save goes over a longer file, which it must replace whole. A field the
// file holds as the window had it comes back whole, and the window then saves
// the same bytes again.
TEST(SettingsFileButtons, ARoundTripGivesBackEachFieldAsTheFileHoldsIt) {
    struct Case {
        Ctl field;
        QString saved;
        QString loaded;
    };
    const Case cases[] = {
        {ds::callsign, "NOCALL", "NOCALL"},
        {ds::addressMode, "STATIC IP", "STATIC IP"},
        {ds::callsign, "AB1C", "AB1C  "},
        {ds::sendInterval, "60", "0060"},
        {ds::distanceUnit, "miles", "km"},
        {ds::modulation, "12", "1"},
        {ds::backlight, "0", "ON"},
        {ds::comment, QStringLiteral("中继站 café"), QStringLiteral("中继站 café")},
        {ds::position, QStringLiteral("!3035.00N/11417.00Er 北京"),
         QStringLiteral("!3035.00N/11417.00Er 北京")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved.toStdString());
        LoadSession saving;
        fillDefaults(saving.form);
        saving.form.setText(c.field, c.saved);
        const QString savedPath = saving.path(QStringLiteral("trip.ini"));
        ASSERT_TRUE(writeBytes(savedPath, QByteArray(2000, 'x')));
        save(saving, savedPath);
        const QByteArray saved = fileBytes(savedPath);
        EXPECT_EQ(saved, settingsFileBytes(saving.form));
        LoadSession blank;
        load(blank, savedPath);
        EXPECT_EQ(blank.form.text(c.field), c.loaded);
        if (c.loaded == c.saved) {
            save(blank, blank.path(QStringLiteral("again.ini")));
            EXPECT_EQ(fileBytes(blank.path(QStringLiteral("again.ini"))), saved);
        }
        EXPECT_TRUE(saving.prompter.messages.empty());
        EXPECT_TRUE(blank.prompter.messages.empty());
    }
}

TEST(SettingsFileButtons, AFailedSaveKeepsTheOldFileWholeAndTellsTheUser) {
    struct Case {
        const char* what;
        QString target;  // relative to the test's folder
        std::function<void(LoadSession&)> prepare;
        rlim_t fileSizeLimit;  // RLIM_INFINITY: none
        const char* reason;    // the exact reason, where it is the program's own
    };
    const auto makeFile = [](const char* name, const QByteArray& bytes) {
        return [=](LoadSession& s) { ASSERT_TRUE(writeBytes(s.path(name), bytes)); };
    };
    const Case cases[] = {
        {"parent is a regular file", "plain/settings.ini", makeFile("plain", "plain file"),
         RLIM_INFINITY, nullptr},
        {"directory in place of the file", "settings.ini",
         [](LoadSession& s) { QDir(s.dir.path()).mkdir(QStringLiteral("settings.ini")); },
         RLIM_INFINITY, nullptr},
        {"disk full part-way", "settings.ini", makeFile("settings.ini", "[KORVA]\r\nold\r\n"), 100,
         nullptr},
        {"a field with a line break", "settings.ini",
         [](LoadSession& s) { s.form.setText(ds::comment, QStringLiteral("hello\rDHCP:0#")); },
         RLIM_INFINITY, "The field \"Posi+Comment\" holds a line break; nothing was written."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadSession s;
        fillDefaults(s.form);
        c.prepare(s);
        const QStringList entriesBefore = QDir(s.dir.path()).entryList(QDir::AllEntries);
        const QByteArray oldBytes = fileBytes(s.path(QStringLiteral("settings.ini")));
        const QString target = s.path(c.target);
        {
            const FileSizeLimit limit(c.fileSizeLimit);
            save(s, target);
        }
        expectToldWhy(s, QStringLiteral("The file %1 was not saved: ").arg(target), c.reason);
        EXPECT_EQ(fileBytes(s.path(QStringLiteral("settings.ini"))), oldBytes);
        EXPECT_EQ(QDir(s.dir.path()).entryList(QDir::AllEntries), entriesBefore);
    }
}

// A refused file changes nothing in the window, the status box included.
TEST(SettingsFileButtons, ARefusedFileChangesNothingAndSaysWhy) {
    const QString unreadable = QStringLiteral("The file %1 could not be read: ");
    const QString notSettings = QStringLiteral("The file %1 is not a settings file: ");
    const char* noSettingLine = "no line in it is a setting. Nothing was loaded.";
    struct Case {
        const char* what;
        const char* name;
        qint64 size;       // of a file made for the case; -1: none, 0: a folder, -2: a FIFO
        QByteArray bytes;  // the file's bytes, where size is -1 and they are not null
        QString headline;
        const char* reason;  // the exact reason, where it is the program's own
    };
    // The start of a program file: bytes that happen to decode as text.
    const QByteArray binary(
        "\x7F"
        "ELF\x02\x01\x01\0\0\0\r\n\x03\0>\0\x01\0\0\0FREQ",
        24);
    const Case cases[] = {
        {"missing", "missing.ini", -1, {}, unreadable, nullptr},
        {"a folder", "folder.ini", 0, {}, unreadable, nullptr},
        {"too large",
         "large.ini",
         kMaxSettingsFileBytes + 1,
         {},
         unreadable,
         "it is larger than 65536 bytes, far more than a settings file holds"},
        {"a device that never ends",
         "/dev/zero",
         -1,
         {},
         unreadable,
         "it is larger than 65536 bytes, far more than a settings file holds"},
        // Bytes that neither encoding holds would reach the device as
        // replacement characters.
        {"neither UTF-8 nor GB18030", "binary.ini", -1,
         "FREQ:145.8250\r\nCOMMENT TEXT:\xFF\xFE\x80\r\n", unreadable,
         "it is neither UTF-8 nor GB18030 text"},
        {"a binary file", "program.ini", -1, binary, notSettings, noSettingLine},
        {"text without a setting line", "notes.ini", -1, "shopping list\r\nKORVA\r\n freq:1\r\n",
         notSettings, noSettingLine},
        {"an empty file", "empty.ini", -1, "", notSettings, noSettingLine},
        {"a pipe that no program writes to",
         "pipe.ini",
         -2,
         {},
         unreadable,
         "a pipe that no program writes to"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoadSession s;
        fillDefaults(s.form);
        s.form.setEnabled(Ctl::Command7, false);
        const QString path = QDir(s.dir.path()).filePath(QString::fromLatin1(c.name));
        if (c.size == -2) {
            ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (c.size == 0) {
            QDir(s.dir.path()).mkdir(QString::fromLatin1(c.name));
        } else if (c.size > 0) {
            ASSERT_TRUE(writeBytes(path, "FREQ:145.8250\r\n" + QByteArray(c.size - 15, 'x')));
        } else if (!c.bytes.isNull()) {
            ASSERT_TRUE(writeBytes(path, c.bytes));
        }
        const FormSnapshot before(s.form);
        load(s, path);
        EXPECT_EQ(before.changes(), QStringList());
        expectToldWhy(s, c.headline.arg(path), c.reason);
    }
}

// A header alone is a settings file that sets nothing.
TEST(SettingsFileButtons, AHeaderOrOneSettingLineIsEnoughToLoad) {
    for (const QByteArray& bytes :
         {QByteArray("[KORVA]\r\n"), QByteArray("\x01\x02\r\nMOD:4\r\n")}) {
        LoadSession s;
        const QString path = s.path(QStringLiteral("short.ini"));
        ASSERT_TRUE(writeBytes(path, bytes));
        load(s, path);
        EXPECT_TRUE(s.prompter.messages.empty());
        EXPECT_TRUE(s.form.isEnabled(Ctl::Command7));
    }
}

TEST(SettingsFileButtons, AFileOfTheLargestSizeLoads) {
    LoadSession s;
    const QString path = s.path(QStringLiteral("largest.ini"));
    ASSERT_TRUE(
        writeBytes(path, "FREQ:145.8250\r\n" + QByteArray(kMaxSettingsFileBytes - 15, 'x')));
    load(s, path);
    EXPECT_TRUE(s.prompter.messages.empty());
    EXPECT_EQ(s.form.text(ds::frequency), "145.8250");
    EXPECT_TRUE(s.form.isEnabled(Ctl::Command7));
}

}  // namespace
