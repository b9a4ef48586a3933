#include "settingsfile/settingsfilebuttons.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "loadsession.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "support/printers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <csignal>
#include <functional>

namespace {

namespace ds = DeviceSettings;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void writeContents(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

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

TEST(SettingsFileButtons, TheDialogsAskAsTheWindowAlwaysHas) {
    LoadSession s;
    QString dialogFileName = s.path(QStringLiteral("last.ini"));
    saveSettingsFile(s.form, s.prompter, dialogFileName);
    loadSettingsFile(s.session, dialogFileName);
    ASSERT_EQ(s.prompter.fileRequests.size(), 2u);
    const FileRequest& saveRequest = s.prompter.fileRequests[0];
    EXPECT_EQ(saveRequest.mode, FileRequest::Mode::Save);
    EXPECT_EQ(saveRequest.title, "Save");
    EXPECT_EQ(saveRequest.filter, "setup file(*.ini)|*.ini");
    EXPECT_EQ(saveRequest.directory, QCoreApplication::applicationDirPath());
    EXPECT_EQ(saveRequest.fileName, s.path(QStringLiteral("last.ini")));
    const FileRequest& loadRequest = s.prompter.fileRequests[1];
    EXPECT_EQ(loadRequest.mode, FileRequest::Mode::Open);
    EXPECT_EQ(loadRequest.title, "Please choose fireware.");
    EXPECT_EQ(loadRequest.filter, QStringLiteral("ini文件(*.ini)|*.ini"));
    EXPECT_EQ(loadRequest.directory, QCoreApplication::applicationDirPath());
    EXPECT_EQ(loadRequest.fileName, "");
    EXPECT_EQ(dialogFileName, "") << "the load's dialog starts empty and was cancelled";
}

TEST(SettingsFileButtons, TheSaveDialogStartsWithTheNameLastChosen) {
    LoadSession s;
    fillDefaults(s.form);
    const QString chosen = s.path(QStringLiteral("chosen.ini"));
    writeContents(chosen, settingsFileBytes(s.form));
    QString dialogFileName;
    s.prompter.files = {chosen, chosen};
    loadSettingsFile(s.session, dialogFileName);
    saveSettingsFile(s.form, s.prompter, dialogFileName);
    ASSERT_EQ(s.prompter.fileRequests.size(), 2u);
    EXPECT_EQ(s.prompter.fileRequests[1].fileName, chosen);
    EXPECT_EQ(dialogFileName, chosen);
}

TEST(SettingsFileButtons, CancelledDialogsChangeNothing) {
    LoadSession s;
    fillDefaults(s.form);
    s.form.setEnabled(Ctl::Command7, false);
    const FormSnapshot before(s.form);
    QString dialogFileName = s.path(QStringLiteral("kept.ini"));
    saveSettingsFile(s.form, s.prompter, dialogFileName);
    EXPECT_EQ(dialogFileName, s.path(QStringLiteral("kept.ini")));
    loadSettingsFile(s.session, dialogFileName);
    EXPECT_TRUE(FormSnapshot(s.form).differencesFrom(before).isEmpty());
    EXPECT_EQ(QDir(s.dir.path()).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(s.prompter.messages.empty());
}

TEST(SettingsFileButtons, DialogsStartInTheProgramsDirectoryWhenItIsWritable) {
    const QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("plain"));
    writeContents(plainFile, "x");
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    struct Case {
        QString programDirectory;
        QString expected;
    };
    for (const Case& c :
         {Case{dir.path(), dir.path()}, Case{dir.filePath(QStringLiteral("missing")), documents},
          Case{plainFile, documents}}) {
        EXPECT_EQ(settingsFileDirectory(c.programDirectory), c.expected)
            << c.programDirectory.toStdString();
    }
}

TEST(SettingsFileButtons, DefaultsSavedAndLoadedIntoABlankWindowSaveTheSameBytes) {
    LoadSession first;
    fillDefaults(first.form);
    save(first, first.path(QStringLiteral("first.ini")));
    const QByteArray saved = contents(first.path(QStringLiteral("first.ini")));
    EXPECT_EQ(saved, settingsFileBytes(first.form));

    LoadSession blank;
    load(blank, first.path(QStringLiteral("first.ini")));
    save(blank, blank.path(QStringLiteral("again.ini")));
    EXPECT_EQ(contents(blank.path(QStringLiteral("again.ini"))), saved);
    EXPECT_TRUE(first.prompter.messages.empty());
    EXPECT_TRUE(blank.prompter.messages.empty());
}

TEST(SettingsFileButtons, ARoundTripGivesBackEachFieldAsTheFileHoldsIt) {
    struct Case {
        Ctl field;
        QString saved;
        QString loaded;
    };
    const Case cases[] = {
        {ds::callsign, "AB1C", "AB1C  "},
        {ds::callsign, "AB1CDEFG", "AB1CDEFG"},
        {ds::sendInterval, "60", "0060"},
        {ds::sendInterval, "12345", "12345"},
        {ds::distanceUnit, "miles", "km"},
        {ds::txPath, "WIDE2-2", "WIDE1-1"},
        {ds::digiAlias, "WIDE3", "WIDE1+WIDE2"},
        {ds::modulation, "12", "1"},
        {ds::backlight, "0", "ON"},
        {ds::backlight, "05", "05"},
        {ds::comment, QStringLiteral("中继站 café"), QStringLiteral("中继站 café")},
        {ds::position, QStringLiteral("!3035.00N/11417.00Er 北京"),
         QStringLiteral("!3035.00N/11417.00Er 北京")},
    };
    for (const Case& c : cases) {
        LoadSession saving;
        fillDefaults(saving.form);
        saving.form.setText(c.field, c.saved);
        save(saving, saving.path(QStringLiteral("trip.ini")));
        LoadSession blank;
        load(blank, saving.path(QStringLiteral("trip.ini")));
        EXPECT_EQ(blank.form.text(c.field), c.loaded) << c.saved.toStdString();
    }
}

TEST(SettingsFileButtons, AFailedSaveKeepsTheOldFileWholeAndTellsTheUser) {
    struct Case {
        const char* what;
        QString target;  // relative to the test's folder
        std::function<void(const QTemporaryDir&)> prepare;
        rlim_t fileSizeLimit;  // RLIM_INFINITY: none
    };
    const auto makeFile = [](const char* name, const QByteArray& bytes) {
        return [=](const QTemporaryDir& dir) { writeContents(dir.filePath(name), bytes); };
    };
    const Case cases[] = {
        {"parent is a regular file", "plain/settings.ini", makeFile("plain", "plain file"),
         RLIM_INFINITY},
        {"directory in place of the file", "settings.ini",
         [](const QTemporaryDir& dir) { QDir(dir.path()).mkdir(QStringLiteral("settings.ini")); },
         RLIM_INFINITY},
        {"disk full part-way", "settings.ini", makeFile("settings.ini", "[KORVA]\r\nold\r\n"), 100},
    };
    for (const Case& c : cases) {
        LoadSession s;
        fillDefaults(s.form);
        c.prepare(s.dir);
        const QStringList entriesBefore = QDir(s.dir.path()).entryList(QDir::AllEntries);
        const QByteArray oldBytes = contents(s.path(QStringLiteral("settings.ini")));
        const QString target = s.path(c.target);
        {
            const FileSizeLimit limit(c.fileSizeLimit);
            save(s, target);
        }
        ASSERT_EQ(s.prompter.messages.size(), 1u) << c.what;
        const QString told = s.prompter.messages[0].text;
        const QString headline = QStringLiteral("The file %1 was not saved: ").arg(target);
        EXPECT_TRUE(told.startsWith(headline) && told.size() > headline.size())
            << c.what << ": " << told.toStdString();
        EXPECT_EQ(contents(s.path(QStringLiteral("settings.ini"))), oldBytes) << c.what;
        EXPECT_EQ(QDir(s.dir.path()).entryList(QDir::AllEntries), entriesBefore) << c.what;
    }
}

TEST(SettingsFileButtons, ASaveReplacesTheOldFileWhole) {
    LoadSession s;
    fillDefaults(s.form);
    const QString target = s.path(QStringLiteral("settings.ini"));
    writeContents(target, QByteArray(2000, 'x'));
    save(s, target);
    EXPECT_EQ(contents(target), settingsFileBytes(s.form));
    EXPECT_TRUE(s.prompter.messages.empty());
}

TEST(SettingsFileButtons, AFieldWithALineBreakIsNotSaved) {
    LoadSession s;
    fillDefaults(s.form);
    s.form.setText(ds::comment, QStringLiteral("hello\rDHCP:0#"));
    const QString target = s.path(QStringLiteral("settings.ini"));
    save(s, target);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_EQ(s.prompter.messageTexts(),
              QStringList{QStringLiteral("The file %1 was not saved: The field \"Posi+Comment\" "
                                         "holds a line break; nothing was written.")
                              .arg(target)});
}

TEST(SettingsFileButtons, AFileThatCannotBeReadChangesNoFieldAndSaysWhy) {
    struct Case {
        const char* what;
        const char* name;
        qint64 size;         // of a file made for the case; -1: none, 0: a folder
        const char* reason;  // the exact reason, where it is the program's own
    };
    const Case cases[] = {
        {"missing", "missing.ini", -1, nullptr},
        {"a folder", "folder.ini", 0, nullptr},
        {"too large", "large.ini", kMaxSettingsFileBytes + 1,
         "it is larger than 65536 bytes, far more than a settings file holds"},
        {"a device that never ends", "/dev/zero", -1,
         "it is larger than 65536 bytes, far more than a settings file holds"},
    };
    for (const Case& c : cases) {
        LoadSession s;
        fillDefaults(s.form);
        s.form.setEnabled(Ctl::Command7, false);
        const QString path = QDir(s.dir.path()).filePath(QString::fromLatin1(c.name));
        if (c.size == 0) {
            QDir(s.dir.path()).mkdir(QString::fromLatin1(c.name));
        } else if (c.size > 0) {
            writeContents(path, "FREQ:145.8250\r\n" + QByteArray(c.size - 15, 'x'));
        }
        const FormSnapshot before(s.form);
        load(s, path);
        EXPECT_EQ(FormSnapshot(s.form).differencesFrom(before), QStringList{"Text29"}) << c.what;
        EXPECT_EQ(s.form.text(Ctl::Text29), path + "\r\n\r\n") << c.what;
        ASSERT_EQ(s.prompter.messages.size(), 1u) << c.what;
        const QString told = s.prompter.messages[0].text;
        const QString headline = QStringLiteral("The file %1 could not be read: ").arg(path);
        EXPECT_TRUE(told.startsWith(headline) && told.size() > headline.size()) << c.what;
        if (c.reason != nullptr) {
            EXPECT_EQ(told, headline + QString::fromLatin1(c.reason)) << c.what;
        }
    }
}

TEST(SettingsFileButtons, AFileOfTheLargestSizeLoads) {
    LoadSession s;
    const QString path = s.path(QStringLiteral("largest.ini"));
    writeContents(path, "FREQ:145.8250\r\n" + QByteArray(kMaxSettingsFileBytes - 15, 'x'));
    load(s, path);
    EXPECT_TRUE(s.prompter.messages.empty());
    EXPECT_EQ(s.form.text(ds::frequency), "145.8250");
    EXPECT_TRUE(s.form.isEnabled(Ctl::Command7));
}

}  // namespace
