// The window's parts on their own: the input rules, the status view, the
// dialogs and the traffic panel.
#include "app/form.h"
#include "gui/formbinding.h"
#include "gui/inputrules.h"
#include "gui/qtprompter.h"
#include "gui/qttranslations.h"
#include "gui/trafficpanel.h"
#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/receivelog.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

void PrintTo(const EditState& state, std::ostream* out) {
    *out << '"' << state.text.toStdString() << "\" cursor " << state.cursor;
}

namespace {

using Chars = FieldRule::Chars;

TEST(InputRules, CharactersPassConvertedOrNotAtAll) {
    const std::tuple<Chars, QString, QString> cases[] = {
        {Chars::UpperCase, "dl1abc-9/z", "DL1ABC-9/Z"},
        {Chars::UpperCase, "äöü ÿ", "äöü ÿ"},  // only a to z are converted
        {Chars::Digits, "1a2 3", "123"},
        {Chars::Passcode, "-1a-2", "12"},  // the box itself lets a first "-" in
        {Chars::Digits, "４５./-", ""},    // full-width digits are not 0 to 9
        {Chars::Frequency, "144.640/", "144.640/"},
        {Chars::Frequency, "1,4-4 5+", "1445"},
        {Chars::Any, " x\t", " x\t"},
    };
    for (const auto& [chars, in, out] : cases) {
        EXPECT_EQ(filterChars(in, chars), out) << in.toStdString();
    }
}

TEST(InputRules, OnlyTheInsertedCharactersAreFilteredAndCutToTheRoomLeft) {
    const FieldRule callsign{Chars::UpperCase, 6};
    const FieldRule digits{Chars::Digits, 5};
    const FieldRule passcode{Chars::Passcode, 5};
    struct Case {
        const char* name;
        FieldRule rule;
        QString before;
        EditState after;
        EditState kept;
    };
    const Case cases[] = {
        {"typed in the middle", callsign, "DLBC", {"DLaBC", 3}, {"DLABC", 3}},
        {"same letter as the program's before it", callsign, "x", {"xx", 1}, {"Xx", 1}},
        {"seventh key refused", callsign, "DL1ABC", {"DL1ABCD", 7}, {"DL1ABC", 6}},
        {"replacing a selection may fill up", callsign, "DL1ABC", {"DL1AxC", 5}, {"DL1AXC", 5}},
        {"paste cut to the room", callsign, "DL", {"DLdl1abc", 8}, {"DLDL1A", 6}},
        {"program text beyond the limit stays",
         callsign,
         "dl1abcde",
         {"dl1abcd", 7},
         {"dl1abcd", 7}},
        {"no typing beyond the limit", callsign, "LONGCALL", {"LONGCALLX", 9}, {"LONGCALL", 8}},
        {"letter discarded", digits, "12", {"12a", 3}, {"12", 2}},
        {"pasted mix", digits, "", {" 12a34 ", 7}, {"1234", 4}},
        {"deletion passes", digits, "1a2", {"12", 1}, {"12", 1}},
        {"receive-only passcode", passcode, "", {"-1", 2}, {"-1", 2}},
        {"minus typed first", passcode, "1", {"-1", 1}, {"-1", 1}},
        {"minus after a digit discarded", passcode, "1", {"1-", 2}, {"1", 1}},
        {"second minus discarded", passcode, "-1", {"--1", 1}, {"-1", 0}},
        {"minus in the send interval discarded", digits, "", {"-1", 2}, {"1", 1}},
        {"no rule", {Chars::Any, 0}, "ab", {"a b", 2}, {"a b", 2}},
        {"cursor not behind the insertion", digits, "12", {"1x2", 0}, {"12", 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(conformEdit(c.before, c.after, c.rule), c.kept) << c.name;
    }
}

// The status box shows the Form's text whichever way it changed: replaced,
// grown at its end, or grown while its oldest lines made way.
TEST(StatusView, ShowsTheFormsTextAfterEveryKindOfChange) {
    const QString fullLine = QString(999, u'x') + QStringLiteral("\r\n");
    const std::pair<const char*, std::function<void(Form&)>> steps[] = {
        {"a first line", [](Form& f) { f.setStatus(QStringLiteral("Port is open\r\n")); }},
        {"a line appended", [](Form& f) { f.appendStatusLine(QStringLiteral("read ok")); }},
        {"replaced", [](Form& f) { f.setStatus(QStringLiteral("Reading 1/20Times......")); }},
        {"filled past the limit",
         [&](Form& f) {
             for (int i = 0; i < 40; ++i) {
                 f.appendText(Ctl::Text29, QString::number(i) + fullLine);
             }
         }},
        {"one more line on a full box",
         [](Form& f) { f.appendStatusLine(QStringLiteral("CONNECT")); }},
        {"many short lines on a full box",
         [](Form& f) {
             for (int i = 0; i < 5000; ++i) {
                 f.appendStatusLine(QStringLiteral("READ END ") + QString::number(i));
             }
         }},
        {"a line longer than the box", [](Form& f) { f.appendStatusLine(QString(40'000, u'y')); }},
        {"emptied", [](Form& f) { f.setStatus(QString()); }},
    };
    Form form;
    QPlainTextEdit view;
    FormBinding binding(form);
    binding.bindTextView(Ctl::Text29, &view);
    for (const auto& [name, change] : steps) {
        SCOPED_TRACE(name);
        change(form);
        EXPECT_EQ(view.toPlainText(), form.text(Ctl::Text29).replace("\r\n", "\n"));
    }
}

TEST(QtPrompter, FiltersBecomeNameFiltersAndTheFirstPatternNamesTheKindOfFile) {
    const std::tuple<QString, QStringList, QString> cases[] = {
        {"setup file(*.ini)|*.ini", {"setup file(*.ini)"}, "ini"},
        {"Logs|*.txt;*.log", {"Logs (*.txt *.log)"}, "txt"},
        {"Bin文件(*.bin)|*.bin|All files|*.*", {"Bin文件(*.bin)", "All files (*.*)"}, "bin"},
        {"All files|*.*", {"All files (*.*)"}, ""},
        {"", {}, ""},
    };
    for (const auto& [filter, expected, kind] : cases) {
        EXPECT_EQ(nameFilters(filter), expected) << filter.toStdString();
        EXPECT_EQ(fileKind(filter), kind) << filter.toStdString();
    }
}

// Runs answer on the modal widget the next event loop shows.
void whenShown(QObject* scope, const std::function<void(QWidget*)>& answer) {
    QTimer::singleShot(0, scope, [answer] {
        QWidget* shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        answer(shown);
    });
}

// A message box has OK only and the program's title unless it has its own; a
// question is answered No unless Yes is chosen; a withdrawn one closes as No.
TEST(QtPrompter, MessageBoxesAndQuestions) {
    QtPrompter prompter(QStringLiteral("Lumeno KV120 aprs config"));
    using Answer = std::function<void(QMessageBox*)>;
    const Answer returnKey = [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); };
    const Answer yes = [](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); };
    const Answer withdraw = [&prompter](QMessageBox*) { prompter.withdrawQuestion(); };
    const QString text = QStringLiteral("Port is open");
    const QString title = QStringLiteral("Lumeno KV120 aprs config");
    // A message's own title (nullptr: a question), the answer, the box's title
    // and number of buttons, and what the question returns.
    const std::tuple<const char*, Answer, QString, int, bool> cases[] = {
        {"", returnKey, title, 1, false},      {"语言", returnKey, "语言", 1, false},
        {nullptr, returnKey, title, 2, false}, {nullptr, yes, title, 2, true},
        {nullptr, withdraw, title, 2, false},
    };
    for (const auto& [ownTitle, answer, shownTitle, buttons, result] : cases) {
        SCOPED_TRACE(shownTitle.toStdString() + (ownTitle ? " message" : " question"));
        QStringList seen;
        QObject scope;
        whenShown(&scope, [&](QWidget* shown) {
            auto* box = qobject_cast<QMessageBox*>(shown);
            ASSERT_NE(box, nullptr);
            seen = {box->windowTitle(), box->text(), QString::number(box->buttons().size())};
            answer(box);
        });
        if (ownTitle) {
            prompter.message(text, QString::fromUtf8(ownTitle));
        } else {
            EXPECT_EQ(prompter.confirm(text), result);
        }
        EXPECT_EQ(seen, (QStringList{shownTitle, text, QString::number(buttons)}));
    }
}

// The dialog starts in the folder last used for its kind of file (the
// documents folder, or home, at first) and adds the default suffix to a name
// without one.
TEST(QtPrompter, FileDialogsStartWhereThatKindWasLastUsed) {
    QTemporaryDir dir;
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("station.ini")), {}));
    const QString folders = dir.filePath(QStringLiteral("folders.ini"));
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(documents).exists()) {
        documents = QDir::homePath();
    }
    using Mode = FileRequest::Mode;
    const std::tuple<Mode, QString, QString, QString> cases[] = {
        {Mode::Save, dir.filePath("new.ini"), documents, dir.filePath("new.ini")},
        {Mode::Save, "mysettings", dir.path(), dir.filePath("mysettings.ini")},
        {Mode::Open, "station.ini", dir.path(), dir.filePath("station.ini")},
    };
    for (const auto& [mode, typed, startIn, chosen] : cases) {
        SCOPED_TRACE(typed.toStdString());
        QStringList filters;
        QString startedIn;
        QObject scope;
        whenShown(&scope, [&](QWidget* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            ASSERT_NE(dialog, nullptr);
            filters = dialog->nameFilters();
            startedIn = dialog->directory().absolutePath();
            dialog->selectFile(typed);
            static_cast<QDialog*>(dialog)->accept();  // what the Save or Open button does
        });
        EXPECT_EQ(QtPrompter(QStringLiteral("title"), folders)
                      .chooseFile({mode, QStringLiteral("Save"),
                                   QStringLiteral("setup file(*.ini)|*.ini"), QStringLiteral("ini"),
                                   QString()}),
                  chosen);
        EXPECT_EQ(filters, QStringList{QStringLiteral("setup file(*.ini)")});
        EXPECT_EQ(startedIn, QDir(startIn).absolutePath());
    }
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

// The panel records before it was ever shown, so the traffic of a failure is
// there when it is opened: one line per entry of the log, saved as shown.
TEST(TrafficPanel, RecordsFromTheStartAndShowsAndSavesOneMaskedLinePerCommandOrReply) {
    VirtualClock clock;
    QTemporaryDir dir;
    Form form;
    ScriptedPrompter prompter;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    SimulatedDevice device{clock};
    device.config().passcode = "24680";
    SimLink simLink{device, clock};
    TrafficTap tap{simLink};
    Session session{form, tap, clock, prompter, store};
    TrafficPanel panel{tap, prompter, Language::English,
                       [&clock] { return qint64(clock.nowMs()); }};
    form.setText(Ctl::Combo1, kSimPortName);
    readExchange(session);
    QByteArray sent;
    for (const TrafficEntry& entry : panel.log().entries()) {
        sent += entry.direction == TrafficTap::Direction::Sent ? entry.bytes : QByteArray();
    }
    EXPECT_EQ(receivedBytes(device.received()), sent);
    EXPECT_EQ(form.text(Ctl::Text5), "24680");  // the window still got every reply

    panel.show();
    panel.refresh();
    const QStringList lines =
        panel.findChild<QPlainTextEdit*>("TrafficView")->toPlainText().split(u'\n');
    EXPECT_EQ(qsizetype(panel.log().entries().size()), lines.size());
    EXPECT_FALSE(lines.join(u'\n').contains("24680"));  // masked as in the log

    prompter.files.push_back(dir.filePath("traffic.txt"));
    panel.save();
    EXPECT_EQ(QString::fromUtf8(fileBytes(dir.filePath("traffic.txt"))), lines.join(u'\n') + u'\n');
}

}  // namespace
