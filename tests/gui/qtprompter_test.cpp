#include "gui/qtprompter.h"

#include "support/printers.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
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

// Runs answer on the message box as soon as it is shown.
void whenShown(std::function<void(QMessageBox*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(box);
    });
}

TEST(QtPrompter, AMessageWithoutATitleCarriesTheProgramsTitle) {
    QtPrompter prompter(QStringLiteral("Lumeno KV120 aprs config"));
    struct Case {
        QString title;
        QString shownTitle;
    };
    for (const Case& c : {Case{"", "Lumeno KV120 aprs config"}, Case{"语言", "语言"}}) {
        QString title;
        QString text;
        int buttons = 0;
        whenShown([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            QTest::keyClick(box, Qt::Key_Return);
        });
        prompter.message(QStringLiteral("Port is open"), c.title);
        EXPECT_EQ(title, c.shownTitle);
        EXPECT_EQ(text, QStringLiteral("Port is open"));
        EXPECT_EQ(buttons, 1);
    }
}

TEST(QtPrompter, AQuestionIsAnsweredNoUnlessYesIsChosen) {
    QtPrompter prompter(QStringLiteral("title"));
    struct Case {
        const char* name;
        std::function<void(QMessageBox*)> answer;
        bool yes;
    };
    const Case cases[] = {
        {"Return", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); }, false},
        {"Escape", [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); }, false},
        {"Yes", [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }, true},
    };
    for (const Case& c : cases) {
        whenShown(c.answer);
        EXPECT_EQ(prompter.confirm(QStringLiteral("Close anyway?")), c.yes) << c.name;
    }
}

// The file dialog as the user meets it: its title and filters, and whether
// it asks before replacing a file.
struct DialogRun {
    QString title;
    QStringList filters;
    bool askedToReplace = false;
    QString chosen;
};

DialogRun runDialog(const FileRequest& request, QMessageBox::StandardButton replaceAnswer) {
    DialogRun run;
    // Ends with the run, so that a question never asked leaves nothing behind.
    QObject scope;
    QTimer::singleShot(0, &scope, [&run, &scope, replaceAnswer] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        run.title = dialog->windowTitle();
        run.filters = dialog->nameFilters();
        QTimer::singleShot(0, &scope, [&run, replaceAnswer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                run.askedToReplace = true;
                box->button(replaceAnswer)->click();
            }
        });
        static_cast<QDialog*>(dialog)->accept();  // what the Save or Open button does
        // A refused replacement leaves the dialog open; the user then cancels.
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    run.chosen = QtPrompter(QStringLiteral("title")).chooseFile(request);
    return run;
}

TEST(QtPrompter, TheSaveDialogAsksBeforeReplacingAFile) {
    QTemporaryDir dir;
    QFile existing(dir.filePath(QStringLiteral("station.ini")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    struct Case {
        const char* name;
        FileRequest::Mode mode;
        QString fileName;
        QMessageBox::StandardButton answer;
        bool asked;
        QString chosen;
    };
    const Case cases[] = {
        {"replace", FileRequest::Mode::Save, "station.ini", QMessageBox::Yes, true,
         dir.filePath("station.ini")},
        {"keep", FileRequest::Mode::Save, "station.ini", QMessageBox::No, true, ""},
        {"new file", FileRequest::Mode::Save, "other.ini", QMessageBox::Yes, false,
         dir.filePath("other.ini")},
        {"open", FileRequest::Mode::Open, "station.ini", QMessageBox::Yes, false,
         dir.filePath("station.ini")},
    };
    for (const Case& c : cases) {
        const DialogRun run =
            runDialog({c.mode, QStringLiteral("Save"), QStringLiteral("setup file(*.ini)|*.ini"),
                       dir.path(), c.fileName},
                      c.answer);
        EXPECT_EQ(run.title, QStringLiteral("Save")) << c.name;
        EXPECT_EQ(run.filters, QStringList{QStringLiteral("setup file(*.ini)")}) << c.name;
        EXPECT_EQ(run.askedToReplace, c.asked) << c.name;
        EXPECT_EQ(run.chosen, c.chosen) << c.name;
    }
}

}  // namespace
