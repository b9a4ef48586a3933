#include "gui/qtprompter.h"
#include "gui/qttranslations.h"

#include "support/printers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(QtPrompter, FiltersBecomeNameFilters) {
    struct Case {
        QString filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"setup file(*.ini)|*.ini", {"setup file(*.ini)"}},
        {"Logs|*.txt;*.log", {"Logs (*.txt *.log)"}},
        {"Images|*.bin|All files|*.*", {"Images (*.bin)", "All files (*.*)"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nameFilters(c.filter), c.expected) << c.filter.toStdString();
    }
}

// A message box has OK only and the program's title unless it has its own; a
// question is answered No unless Yes is chosen; a withdrawn one closes as No.
TEST(QtPrompter, MessageBoxesAndQuestions) {
    QtPrompter prompter(QStringLiteral("Lumeno KV120 aprs config"));
    using Answer = std::function<void(QMessageBox*)>;
    const Answer returnKey = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); };
    const Answer escape = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); };
    const Answer yes = [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); };
    const auto message = [](const char* title) {
        return [=](Prompter& p) {
            p.message(QStringLiteral("Port is open"), QString::fromUtf8(title));
            return false;
        };
    };
    const auto question = [](Prompter& p) { return p.confirm(QStringLiteral("Port is open")); };
    struct Case {
        const char* name;
        std::function<bool(Prompter&)> show;
        Answer answer;
        const char* title;
        int buttons;
        bool result;
    };
    const Case cases[] = {
        {"message", message(""), returnKey, "Lumeno KV120 aprs config", 1, false},
        {"message with a title", message("语言"), returnKey, "语言", 1, false},
        {"question, Return", question, returnKey, "Lumeno KV120 aprs config", 2, false},
        {"question, Escape", question, escape, "Lumeno KV120 aprs config", 2, false},
        {"question, Yes", question, yes, "Lumeno KV120 aprs config", 2, true},
        {"question withdrawn", question, [&prompter](QMessageBox*) { prompter.withdrawQuestion(); },
         "Lumeno KV120 aprs config", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString title;
        QString text;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            c.answer(box);
        });
        EXPECT_EQ(c.show(prompter), c.result);
        EXPECT_EQ(title, QString::fromUtf8(c.title));
        EXPECT_EQ(text, QStringLiteral("Port is open"));
        EXPECT_EQ(buttons, c.buttons);
    }
}

// The dialog starts in the folder last used for its kind of file, adds the
// default suffix to a name without one, and asks before replacing a file.
TEST(QtPrompter, FileDialogsStartWhereThatKindWasLastUsedAndAskBeforeReplacing) {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("station.ini")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    const QString folders = dir.filePath(QStringLiteral("folders.ini"));
    // A first dialog starts in the documents folder, or at home where there is none.
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(documents).exists()) {
        documents = QDir::homePath();
    }
    struct Case {
        const char* name;
        FileRequest::Mode mode;
        QString fileName;
        QMessageBox::StandardButton answer;
        QString startedIn;
        bool asked;
        QString chosen;
    };
    const Case cases[] = {
        {"first save: documents", FileRequest::Mode::Save, dir.filePath("new.ini"),
         QMessageBox::Yes, documents, false, dir.filePath("new.ini")},
        {"replace", FileRequest::Mode::Save, "station.ini", QMessageBox::Yes, dir.path(), true,
         dir.filePath("station.ini")},
        {"keep", FileRequest::Mode::Save, "station.ini", QMessageBox::No, dir.path(), true, ""},
        {"no extension typed", FileRequest::Mode::Save, "mysettings", QMessageBox::Yes, dir.path(),
         false, dir.filePath("mysettings.ini")},
        {"open", FileRequest::Mode::Open, "station.ini", QMessageBox::Yes, dir.path(), false,
         dir.filePath("station.ini")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString title;
        QStringList filters;
        QString startedIn;
        bool asked = false;
        QObject scope;  // ends with the case, so a question never asked leaves nothing behind
        QTimer::singleShot(0, &scope, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            startedIn = dialog->directory().absolutePath();
            dialog->selectFile(c.fileName);
            QTimer::singleShot(0, &scope, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = true;
                    box->button(c.answer)->click();
                }
            });
            static_cast<QDialog*>(dialog)->accept();  // what the Save or Open button does
            // A refused replacement leaves the dialog open; the user then cancels.
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        const QString chosen = QtPrompter(QStringLiteral("title"), folders)
                                   .chooseFile({c.mode, QStringLiteral("Save"),
                                                QStringLiteral("setup file(*.ini)|*.ini"),
                                                QStringLiteral("ini"), QString()});
        EXPECT_EQ(title, QStringLiteral("Save"));
        EXPECT_EQ(filters, QStringList{QStringLiteral("setup file(*.ini)")});
        EXPECT_EQ(startedIn, QDir(c.startedIn).absolutePath());
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(chosen, c.chosen);
    }
}

TEST(QtPrompter, TheKindOfFileIsTheFirstPatternsExtension) {
    EXPECT_EQ(fileKind(QStringLiteral("setup file(*.ini)|*.ini")), "ini");
    EXPECT_EQ(fileKind(QStringLiteral("Bin文件(*.bin)|*.bin")), "bin");
    EXPECT_EQ(fileKind(QStringLiteral("Logs|*.txt;*.log")), "txt");
    EXPECT_EQ(fileKind(QStringLiteral("All files|*.*")), "");
    EXPECT_EQ(fileKind(QString()), "");
}

// Qt's own buttons speak the interface's language; the translations last as
// long as their owner.
TEST(QtTranslations, TheChineseInterfaceGetsQtsOwnTextsInChinese) {
    {
        QObject owner;
        EXPECT_FALSE(installQtTranslations(Language::English, &owner));
        ASSERT_TRUE(installQtTranslations(Language::Chinese, &owner));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

}  // namespace
