// The window's parts on their own: the input rules, the status view, the
// message boxes and the traffic panel.
#include "app/devicesettings.h"
#include "app/form.h"
#include "gui/formbinding.h"
#include "gui/inputrules.h"
#include "gui/qtprompter.h"
#include "gui/trafficpanel.h"
#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "serial/portlister.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
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
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

void PrintTo(const EditState& state, std::ostream* out) {
    *out << '"' << state.text.toStdString() << "\" cursor " << state.cursor;
}

namespace {

// Each box's own rule: the characters it takes and its typed-length limit.
TEST(InputRules, OnlyTheInsertedCharactersAreFilteredAndCutToTheRoomLeft) {
    namespace ds = DeviceSettings;
    const auto ones = [](int n) { return EditState{QString(n, u'1'), n}; };
    // What the box held, what the edit made of it, and what the box keeps.
    const std::tuple<const char*, Ctl, QString, EditState, EditState> cases[] = {
        {"typed in the middle", ds::callsign, "DLBC", {"DLaBC", 3}, {"DLABC", 3}},
        {"only a to z converted", ds::callsign, "", {"äb", 2}, {"äB", 2}},
        {"same letter as the program's before it", ds::callsign, "x", {"xx", 1}, {"Xx", 1}},
        {"seventh key refused", ds::callsign, "DL1ABC", {"DL1ABCD", 7}, {"DL1ABC", 6}},
        {"replacing a selection may fill up", ds::callsign, "DL1ABC", {"DL1AxC", 5}, {"DL1AXC", 5}},
        {"paste cut to the room", ds::callsign, "DL", {"DLdl1abc", 8}, {"DLDL1A", 6}},
        {"program's excess stays", ds::callsign, "dl1abcde", {"dl1abcd", 7}, {"dl1abcd", 7}},
        {"no typing beyond the limit", ds::callsign, "LONGCALL", {"LONGCALLX", 9}, {"LONGCALL", 8}},
        {"full-width digits discarded", ds::sendInterval, "1", {"1４2", 3}, {"12", 2}},
        {"pasted mix", ds::sendInterval, "", {" 12a34 ", 7}, {"1234", 4}},
        {"deletion passes", ds::sendInterval, "1a2", {"12", 1}, {"12", 1}},
        {"receive-only passcode", ds::passcode, "", {"-1", 2}, {"-1", 2}},
        {"minus after a digit discarded", ds::passcode, "1", {"1-", 2}, {"1", 1}},
        {"second minus discarded", ds::passcode, "-1", {"--1", 1}, {"-1", 0}},
        {"minus in the send interval discarded", ds::sendInterval, "", {"-1", 2}, {"1", 1}},
        {"frequency digits, dots and slashes", ds::frequency, "", {"1,44.6/ ", 8}, {"144.6/", 6}},
        {"no rule", ds::modulation, "ab", {"a b", 2}, {"a b", 2}},
        {"cursor not behind the insertion", ds::sendInterval, "12", {"1x2", 0}, {"12", 1}},
        // A paste one character longer than the box takes.
        {"send interval", ds::sendInterval, "", ones(6), ones(5)},
        {"passcode", ds::passcode, "", ones(6), ones(5)},
        {"position", ds::position, "", ones(62), ones(61)},
        {"comment", ds::comment, "", ones(41), ones(40)},
        {"filter", ds::filter, "", ones(17), ones(16)},
        {"frequency", ds::frequency, "", ones(9), ones(8)},
        {"CTCSS", Ctl::Text32, "", ones(4), ones(3)},
        {"WiFi name", ds::wifiSsid, "", ones(21), ones(20)},
        {"WiFi password", ds::wifiPassword, "", ones(21), ones(20)},
        {"spare box", Ctl::Text9, "", ones(31), ones(30)},
    };
    for (const auto& [name, box, before, after, kept] : cases) {
        EXPECT_EQ(conformEdit(before, after, fieldRuleFor(box)), kept) << name;
    }
}

// The status box shows the Form's text whichever way it changed: replaced,
// grown at its end, or grown while its oldest lines made way.
TEST(StatusView, ShowsTheFormsTextAfterEveryKindOfChange) {
    Form form;
    QPlainTextEdit view;
    FormBinding binding(form);
    binding.bindTextView(Ctl::Text29, &view);
    const auto expectShown = [&](const char* after) {
        EXPECT_EQ(view.toPlainText(), form.text(Ctl::Text29).replace("\r\n", "\n")) << after;
    };
    form.setStatus(QStringLiteral("Port is open\r\n"));
    form.appendStatusLine(QStringLiteral("read ok"));
    expectShown("a line appended");
    for (int i = 0; i < 40; ++i) {
        form.appendText(Ctl::Text29, QString::number(i) + QString(999, u'x') + "\r\n");
    }
    expectShown("filled past the limit");
    form.appendStatusLine(QStringLiteral("CONNECT"));
    expectShown("one more line on a full box");
    form.setStatus(QStringLiteral("Reading 1/20Times......"));
    expectShown("replaced");
}

TEST(QtPrompter, FiltersBecomeNameFiltersAndTheFirstPatternNamesTheKindOfFile) {
    const std::tuple<QString, QStringList, QString> cases[] = {
        {"setup file(*.ini)|*.ini", {"setup file(*.ini)"}, "ini"},
        {"Logs|*.txt;*.log", {"Logs (*.txt *.log)"}, "txt"},
        {"Bin文件(*.bin)|*.bin|All files|*.*", {"Bin文件(*.bin)", "All files (*.*)"}, "bin"},
        {"All files|*.*", {"All files (*.*)"}, ""},
    };
    for (const auto& [filter, expected, kind] : cases) {
        EXPECT_EQ(nameFilters(filter), expected) << filter.toStdString();
        EXPECT_EQ(fileKind(filter), kind) << filter.toStdString();
    }
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
        QTimer::singleShot(0, &scope, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
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

// The next dialog for the kind of file starts where the last file taken was,
// not where a file refused after it was chosen was.
TEST(QtPrompter, AFileRefusedIsNotWhereTheNextDialogStarts) {
    QTemporaryDir dir;
    QtPrompter prompter({}, dir.filePath(QStringLiteral("kv120-choices.ini")));
    const auto choose = [&prompter, &dir](const char* folder) {
        const QString file = dir.filePath(QString::fromLatin1(folder) + "/settings.ini");
        QDir(dir.path()).mkdir(QString::fromLatin1(folder));
        writeBytes(file, "[KORVA]\r\n");
        QTimer::singleShot(0, [file] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own, which checks the file
        });
        return prompter.chooseFile({FileRequest::Mode::Open, {}, "ini文件(*.ini)|*.ini", {}, {}});
    };
    EXPECT_TRUE(choose("taken").endsWith(u"taken/settings.ini"));
    EXPECT_TRUE(choose("junk").endsWith(u"junk/settings.ini"));
    prompter.chosenFileRefused();
    const QSettings folders(dir.filePath(QStringLiteral("kv120-choices.ini")),
                            QSettings::IniFormat);
    EXPECT_EQ(folders.value(QStringLiteral("Folders/ini")).toString(), dir.filePath("taken"));
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
    EXPECT_EQ(form.text(Ctl::Text5), "24680");  // the window still got every reply

    panel.show();
    panel.refresh();
    const QString shown = panel.findChild<QPlainTextEdit*>("TrafficView")->toPlainText();
    EXPECT_EQ(qsizetype(panel.log().entries().size()), shown.count(u'\n') + 1);
    // Both ways are recorded, the passcode masked as in the log.
    EXPECT_TRUE(shown.contains("AT+READ#") && shown.contains("PASS:********.."))
        << shown.toStdString();

    prompter.files.push_back(dir.filePath("traffic.txt"));
    panel.save();
    EXPECT_EQ(QString::fromUtf8(fileBytes(dir.filePath("traffic.txt"))), shown + u'\n');
}

}  // namespace
