// The window as the user meets it: start-up, the widgets bound to the Form,
// the layout, and the buttons against the simulated device.
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/portwatch.h"
#include "app/texts.h"
#include "gui/elidedlabel.h"
#include "gui/portselector.h"
#include "support/windowrig.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <map>
#include <set>
#include <tuple>
#include <variant>

namespace {

namespace ds = DeviceSettings;

// The system's language chooses the message and the captions; the port
// selector offers the stored port, where its adapter is now when the choices
// file knows it, else the first port with an adapter, else the first port
// found, never the simulated device unasked.
TEST(WindowStartup, TheLanguageChoosesTheCaptionsAndThePortOfferedIsTheStoredOrTheFirst) {
    const PortInfo usb{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("CP2102")};
    const QList<PortInfo> two{usb, {QStringLiteral("/dev/ttyACM0"), QString()}};
    // The KV120's adapter, once on ttyUSB0, now on ttyUSB1; another on ttyUSB0.
    const QList<PortInfo> swapped{{"/dev/ttyS0", ""},
                                  {"/dev/ttyUSB0", "CP2102", "serial:0001"},
                                  {"/dev/ttyUSB1", "USB-serial CH340", "usb:1a86:7523@1-2"}};
    const RememberedAdapter kv120{"/dev/ttyUSB0", "usb:1a86:7523@1-2"};
    const RememberedAdapter elsewhere{"/dev/ttyACM0", kv120.identity};
    const char* en = "当前系统为：英文";
    // The LCID, the message (nullptr: none), Chinese captions, the port
    // stored, the adapter remembered with it, the ports found and the port offered.
    const std::tuple<int, const char*, bool, QString, RememberedAdapter, QList<PortInfo>, QString>
        cases[] = {
            {1033, en, false, "/dev/ttyACM0", {}, two, "/dev/ttyACM0"},
            {2052, "当前系统为：中文简体", true, "COM12", {}, QList<PortInfo>{usb}, "COM12"},
            {2057, nullptr, false, "", {}, two, "/dev/ttyUSB0"},
            {1028, nullptr, false, "", {}, QList<PortInfo>(), ""},
            {1033, en, false, "/dev/ttyUSB0", kv120, swapped, "/dev/ttyUSB1"},
            // Stored since without it (kv120ctl --port), or gone: the path.
            {1033, en, false, "/dev/ttyUSB0", elsewhere, swapped, "/dev/ttyUSB0"},
            {1033, en, false, "/dev/ttyUSB0", kv120, two, "/dev/ttyUSB0"},
            {1033, en, false, "", {}, swapped, "/dev/ttyUSB0"},
        };
    const std::tuple<Ctl, const char*, const char*> captions[] = {
        {Ctl::Label3, "KV120 APRS Config", "KORVA系列配置软件"},
        {Ctl::Command7, "Write data", "写入数据"},
    };
    for (const auto& [lcid, message, chinese, storedPort, remembered, ports, offered] : cases) {
        SCOPED_TRACE(lcid);
        WindowRig rig(Machine{
            .lcid = lcid, .ports = ports, .storedPort = storedPort, .remembered = remembered});
        ASSERT_EQ(rig.prompter.messages.size(), message ? 1u : 0u);
        if (message) {
            EXPECT_EQ(rig.prompter.messages[0].text, QString::fromUtf8(message));
            EXPECT_EQ(rig.prompter.messages[0].title, QStringLiteral("语言"));
        }
        for (const auto& [control, english, inChinese] : captions) {
            EXPECT_EQ(rig.form.text(control), QString::fromUtf8(chinese ? inChinese : english));
        }
        EXPECT_EQ(rig.shown(Ctl::Combo1), offered);
        // The CTCSS box is a placeholder; the SSIDs run 0 to 15, the levels 1 to 5.
        EXPECT_EQ(rig.shown(Ctl::Text32), "---");
        EXPECT_FALSE(rig.widget(Ctl::Text32)->isEnabled());
        EXPECT_EQ(itemsOf(rig.widget<QComboBox>(ds::callSsid)).join(' '),
                  "0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15");
        EXPECT_EQ(itemsOf(rig.widget<QComboBox>(ds::modulation)).join(' '), "1 2 3 4 5");
        // Nothing the window started runs on once it is gone.
        rig.program.reset();
        rig.clock.runUntilIdle(60'000);
        EXPECT_FALSE(rig.clock.hasPendingEvents());
    }
}

// The enabled state of the sixteen address boxes, as one word.
std::string addressBoxes(const WindowRig& rig) {
    int on = 0;
    for (const Ctl box : ds::addressBoxes) {
        on += rig.widget(box)->isEnabled() ? 1 : 0;
    }
    return on == 16 ? "on" : on == 0 ? "off" : "mixed";
}

// "Default" fills boxes of every kind but the WiFi ones and allows writing
// (the values are checked against the simulated device's factory settings end
// to end). The address boxes follow the mode however it was set: by
// "Default", picked, or by the program (a read, a loaded file); typed text
// goes into the Form as the program's does. In a fresh window, whose mode box
// is empty, they are closed.
TEST(DefaultsAndAddressMode, TheSixteenBoxesFollowTheModeHoweverItWasSet) {
    WindowRig rig;
    QTest::keyClicks(rig.widget(Ctl::Text34), "home-net");
    QTest::keyClicks(rig.widget(Ctl::Text33), "secret");
    ASSERT_FALSE(rig.widget(Ctl::Command7)->isEnabled());
    ASSERT_EQ(addressBoxes(rig), "off");
    rig.click(Ctl::Command0);
    EXPECT_EQ(rig.shown(ds::addressMode), QStringLiteral("DHCP"));
    EXPECT_EQ(addressBoxes(rig), "off");
    pickItem(rig.widget<QComboBox>(ds::addressMode), ds::kStaticIp);
    EXPECT_EQ(rig.form.text(ds::addressMode), ds::kStaticIp);
    EXPECT_EQ(addressBoxes(rig), "on");
    for (const auto& [mode, boxes] :
         {std::pair{"DHCP", "off"}, {"STATIC IP", "on"}, {" ", "off"}}) {
        rig.form.setText(ds::addressMode, QString::fromUtf8(mode));
        EXPECT_EQ(addressBoxes(rig), boxes) << mode;
    }
    const std::pair<Ctl, const char*> defaults[] = {
        {Ctl::Text4, "NOCALL"},    {Ctl::Combo5, "10"}, {Ctl::Text16, "99"},
        {Ctl::Text31, "144.6400"}, {Ctl::Text32, "--"}, {Ctl::Text34, "home-net"},
        {Ctl::Text33, "secret"}};
    for (const auto& [control, text] : defaults) {
        EXPECT_EQ(rig.shown(control), QString::fromUtf8(text)) << nameOf(control).toStdString();
    }
    EXPECT_TRUE(rig.widget<QCheckBox>(Ctl::Check1)->isChecked());
    EXPECT_TRUE(rig.widget(Ctl::Command7)->isEnabled());
}

// The widgets follow every change of the Form, and what the user does goes
// into the Form: a box passes what its rule allows, typed or pasted; text the
// program set is kept whole. The rules themselves are tested in widgets_test.
TEST(FormBinding, TheWidgetsAndTheFormFollowEachOther) {
    WindowRig rig;
    Form& form = rig.form;
    form.setText(Ctl::Form1, QStringLiteral("another title"));
    form.setText(Ctl::Command2, QStringLiteral("update..."));
    form.setText(Ctl::Command9, QStringLiteral("R&D"));  // shown, not taken as a shortcut
    form.setEnabled(Ctl::Command6, false);
    form.setText(Ctl::Label2, QStringLiteral("update step: 3/64"));
    form.setText(Ctl::Frame4, QStringLiteral("RF 2"));
    form.setRange(Ctl::ProgressBar1, 0, 64);
    form.setValue(Ctl::ProgressBar1, 16);
    form.setStatus(QStringLiteral("Connection OK"));
    EXPECT_EQ(rig.window->windowTitle(), QStringLiteral("another title"));
    // Each button's mnemonic letter is underlined, or added where the caption lacks it.
    EXPECT_EQ(rig.widget<QPushButton>(Ctl::Command2)->text(), QStringLiteral("&update..."));
    EXPECT_EQ(rig.widget<QPushButton>(Ctl::Command9)->text(), QStringLiteral("R&&D(&E)"));
    EXPECT_FALSE(rig.widget(Ctl::Command6)->isEnabled());
    EXPECT_EQ(rig.widget<QLabel>(Ctl::Label2)->text(), QStringLiteral("update step: 3/64"));
    EXPECT_EQ(rig.widget<QGroupBox>(Ctl::Frame4)->title(), QStringLiteral("RF 2"));
    EXPECT_EQ(rig.widget<QProgressBar>(Ctl::ProgressBar1)->maximum(), 64);
    EXPECT_EQ(rig.widget<QProgressBar>(Ctl::ProgressBar1)->value(), 16);
    EXPECT_EQ(rig.widget<QPlainTextEdit>(Ctl::Text29)->toPlainText(),
              QStringLiteral("Connection OK"));

    enum class Way { Typed, Pasted, SetByScreenReader, SetByProgram };
    const std::tuple<Way, Ctl, const char*, const char*> cases[] = {
        {Way::Typed, Ctl::Text4, "dl1abcd", "DL1ABC"},
        {Way::Typed, Ctl::Text5, "1a2 34567", "12345"},
        {Way::Typed, Ctl::Text31, "1,44.64000/", "144.6400"},
        {Way::Typed, Ctl::Combo6, "12", "12"},  // not a list item; kept
        {Way::Pasted, Ctl::Text11, "b/KORVA/BH4/BG2/BD7", "b/KORVA/BH4/BG2/"},
        {Way::SetByScreenReader, Ctl::Text4, "bg7abc", "BG7ABC"},
        {Way::SetByProgram, Ctl::Text4, "bh4tdv-12", "bh4tdv-12"},
        {Way::SetByProgram, Ctl::Text10, " 0600 ", "0600"},
    };
    for (const auto& [way, control, input, shown] : cases) {
        SCOPED_TRACE(nameOf(control).toStdString() + " <- " + input);
        auto* combo = qobject_cast<QComboBox*>(rig.widget(control));
        QLineEdit* box = combo ? combo->lineEdit() : rig.widget<QLineEdit>(control);
        if (way == Way::Typed) {
            QTest::keyClicks(box, input);
        } else if (way == Way::Pasted) {
            QGuiApplication::clipboard()->setText(QString::fromUtf8(input));
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else if (way == Way::SetByScreenReader) {
            QAccessible::queryAccessibleInterface(box)->setText(QAccessible::Value,
                                                                QString::fromUtf8(input));
        } else {
            rig.form.setText(control, QString::fromUtf8(input));
        }
        EXPECT_EQ(box->text(), QString::fromUtf8(shown));
        EXPECT_EQ(rig.form.text(control), QString::fromUtf8(shown));
    }
    pickItem(rig.widget<QComboBox>(Ctl::Combo8), QStringLiteral("WIDE2"));
    EXPECT_EQ(rig.form.text(Ctl::Combo8), QStringLiteral("WIDE2"));
    rig.click(Ctl::Check1);
    EXPECT_EQ(rig.form.value(Ctl::Check1), 1);
    // The WiFi password is not shown to whoever looks over the user's shoulder.
    auto* password = rig.widget<QLineEdit>(Ctl::Text33);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    rig.window->findChild<QCheckBox*>(QStringLiteral("ShowWifiPassword"))->click();
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
}

// A pick takes the port unless another port is open: that one is in use, and
// is not probed either. Each opening lists the ports plugged in now, each
// with its description beside it; the text shown stays.
TEST(PortSelector, APickTakesThePortAndAnOpeningListsThePortsUnlessAnotherIsOpen) {
    WindowRig rig;
    rig.prompter.messages.clear();  // the start-up message
    auto* selector = rig.widget<QComboBox>(Ctl::Combo1);
    const auto shows = [&rig, selector](const char* port) {
        EXPECT_EQ(selector->currentText(), QString::fromUtf8(port));
        EXPECT_EQ(rig.form.text(Ctl::Combo1), QString::fromUtf8(port));
    };
    pickItem(selector, QStringLiteral("/dev/ttyACM0"));
    shows("/dev/ttyACM0");

    rig.ports.link.setPortName(kSimPortName);
    rig.ports.link.open();
    rig.lister.ports = {};
    pickItem(selector, kSimPortName);
    shows("/dev/ttyACM0");
    EXPECT_EQ(rig.prompter.messageTexts(), QStringList{QStringLiteral("Port is open")});
    EXPECT_EQ(itemsOf(selector), (QStringList{"/dev/ttyUSB0", "/dev/ttyACM0", "SIM"}));

    rig.ports.link.close();
    rig.lister.ports = {{"/dev/ttyACM1", ""}, {"/dev/ttyUSB3", "FT232R"}};
    selector->showPopup();
    selector->hidePopup();
    EXPECT_EQ(itemsOf(selector), (QStringList{"/dev/ttyACM1", "/dev/ttyUSB3", "SIM"}));
    shows("/dev/ttyACM0");
    EXPECT_EQ(selector->itemData(1, PortItemDelegate::kNoteRole), QStringLiteral("FT232R"));
    pickItem(selector, QStringLiteral("/dev/ttyUSB3"));
    shows("/dev/ttyUSB3");
}

// The port list follows the cable, read once a second while the window is
// idle: one new port is selected, several are only listed; the selected port
// that goes away stays selected, marked, until its adapter comes back under
// any name. Nothing is read while an exchange runs, and a port plugged in
// meanwhile is taken once it has ended.
TEST(PortSelector, TheListFollowsTheCableAndTheSelectedAdapterComesBackUnderAnyName) {
    const PortInfo builtIn{"/dev/ttyS0", ""};
    const PortInfo kv120{"/dev/ttyUSB0", "USB-serial CH340", "usb:1a86:7523@1-2"};
    const PortInfo gps{"/dev/ttyUSB1", "CP2102", "serial:0001"};
    const PortInfo modem{"/dev/ttyACM0", "", "usb:2341:0043@1-4"};
    PortInfo kv120Again = kv120;
    kv120Again.name = "/dev/ttyUSB2";
    WindowRig rig(Machine{.ports = {builtIn}, .storedPort = ""});
    auto* selector = rig.widget<QComboBox>(Ctl::Combo1);
    // The ports plugged in, the port selected, the status box's last line,
    // and the selected port's note in the list.
    const std::tuple<QList<PortInfo>, QString, QString, QString> steps[] = {
        {{builtIn, kv120},
         "/dev/ttyUSB0",
         "KV120 port: /dev/ttyUSB0 (USB-serial CH340), plugged in",
         "USB-serial CH340"},
        {{builtIn, kv120, gps, modem}, "/dev/ttyUSB0", "", "USB-serial CH340"},
        {{builtIn, gps, modem},
         "/dev/ttyUSB0",
         "KV120 port: /dev/ttyUSB0 (USB-serial CH340), unplugged",
         "unplugged"},
        {{builtIn, modem, {"/dev/ttyUSB0", "FT232R", "serial:A9"}, kv120Again},
         "/dev/ttyUSB2",
         "KV120 port: /dev/ttyUSB2 (USB-serial CH340), plugged in",
         "USB-serial CH340"},
    };
    for (const auto& [ports, selected, statusLine, note] : steps) {
        SCOPED_TRACE(selected.toStdString() + ' ' + statusLine.toStdString());
        rig.form.setStatus({});
        rig.lister.ports = ports;
        rig.clock.advance(1000);
        EXPECT_EQ(selector->currentText(), selected);
        EXPECT_EQ(rig.status().section(QStringLiteral("\r\n"), -1), statusLine);
        const int row = selector->findText(selected);
        EXPECT_EQ(selector->itemData(row, PortItemDelegate::kNoteRole), note);
        EXPECT_EQ(itemsOf(selector).last(), kSimPortName);
    }

    pickItem(selector, kSimPortName);
    rig.lister.ports << gps;
    const int asked = rig.lister.asked;
    rig.click(Ctl::Command6);
    ASSERT_TRUE(rig.status().endsWith(QStringLiteral("read ok")));
    EXPECT_EQ(selector->currentText(), kSimPortName);
    // Once, for the adapter kept with the port the read stored.
    EXPECT_EQ(rig.lister.asked, asked + 1);
    EXPECT_EQ(readRememberedAdapter(rig.choicesFile()).path, kSimPortName);
    rig.clock.advance(PortWatch::kPollMs);
    EXPECT_EQ(selector->currentText(), gps.name);

    WindowRig chinese(Machine{.lcid = 2052, .ports = {}});
    chinese.lister.ports = {kv120};
    chinese.clock.advance(PortWatch::kPollMs);
    EXPECT_TRUE(chinese.status().endsWith(
        QStringLiteral("KV120 端口：/dev/ttyUSB0（USB-serial CH340），已插入")));

    // The adapter remembered with the stored port, away at start-up: its
    // port is offered, marked, until the user picks another.
    WindowRig away(Machine{
        .ports = {builtIn}, .storedPort = kv120.name, .remembered = {kv120.name, kv120.identity}});
    auto* list = away.widget<QComboBox>(Ctl::Combo1);
    EXPECT_EQ(itemsOf(list), (QStringList{builtIn.name, kv120.name, kSimPortName}));
    pickItem(list, builtIn.name);
    list->showPopup();
    list->hidePopup();
    EXPECT_EQ(itemsOf(list), (QStringList{builtIn.name, kSimPortName}));
}

const QString kLongPort =
    QStringLiteral("/dev/serial/by-id/usb-Silicon_Labs_CP2102_USB_to_UART_Bridge-if00-port0");

// Many warnings at once, and the longest texts the exchanges show.
void showEveryWarningAndLongText(Form& form) {
    const auto say = [&form](Msg message) { return text(message, form.language()); };
    form.setText(ds::callsign, QStringLiteral("N0CALL"));
    form.setText(ds::passcode, QStringLiteral("13024"));
    form.setText(ds::position, QStringLiteral("3035.00N"));
    form.setText(ds::comment, QString(41, u'c'));
    form.setText(ds::frequency, QStringLiteral("1446.400"));
    form.setText(ds::addressMode, ds::kStaticIp);
    for (const ds::Octets* row : {&ds::ipAddress, &ds::subnetMask, &ds::gateway, &ds::dnsServer}) {
        form.setText((*row)[3], QStringLiteral("1000"));
    }
    form.setText(Ctl::Text3, say(Msg::ConnectionSuccessfulBox));
    form.setText(Ctl::Label2, say(Msg::Updating) + say(Msg::UpdateStep) + QStringLiteral(" 512"));
    form.setText(Ctl::Command6, say(Msg::ReadButtonReading));
    form.setText(Ctl::Command7, say(Msg::WriteButtonWriting));
    form.setText(Ctl::Command9, say(Msg::PortIsOpen));
    form.setText(Ctl::Command2, say(Msg::UpdateButtonBusy));
    form.setText(Ctl::Command8, say(Msg::WifiButtonWriting));
    form.setText(Ctl::Text6, QStringLiteral("KV120 V2.3.1"));
    form.setText(Ctl::Combo1, kLongPort);
}

// What a widget shows is cut when it needs more room than it has.
std::string cutText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const QSize needed = label->sizeHint();
        const int height =
            label->wordWrap() ? label->heightForWidth(label->width()) : needed.height();
        if (needed.width() > label->width() || height > label->height()) {
            return label->text().toStdString();
        }
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        if (button->sizeHint().width() > button->width()) {
            return button->text().toStdString();
        }
    } else if (const auto* box = qobject_cast<const QLineEdit*>(widget); box && box->isReadOnly()) {
        // A line edit keeps a margin of 2 pixels on either side, within its frame.
        const QString shown = box->text().trimmed();
        if (box->fontMetrics().horizontalAdvance(shown) + 4 > box->contentsRect().width()) {
            return shown.toStdString();
        }
    }
    return {};
}

// The named widgets the user sees, but the frames, and where each stands.
std::map<QString, std::pair<QWidget*, QRect>> shownControls(const QWidget* window) {
    std::map<QString, std::pair<QWidget*, QRect>> shown;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(u"qt_") && !qobject_cast<QGroupBox*>(widget) &&
            widget->isVisibleTo(window)) {
            shown[name] = {widget, QRect(widget->mapTo(window, QPoint(0, 0)), widget->size())};
        }
    }
    return shown;
}

// In both languages every text fits its room at the window's first size, and
// neither warnings nor long texts move a control or resize the window. A
// warning marks its field, or the label of its row, until it is put right.
TEST(WindowLayout, WarningsAndLongTextsMoveNothingAndEveryTextFits) {
    const Ctl marked[] = {ds::passcode, Ctl::Label13};
    const auto fillRight = [](Form& form) {
        fillDefaults(form);
        form.setText(ds::passcode, QStringLiteral("12960"));  // NOCALL's
    };
    for (const int lcid : {1033, 2052}) {
        SCOPED_TRACE(lcid);
        WindowRig rig(Machine{.lcid = lcid});
        fillRight(rig.form);
        QApplication::processEvents();
        const auto before = shownControls(rig.window);
        const QSize windowSize = rig.window->size();
        std::map<Ctl, QPalette> plain;
        for (const Ctl field : marked) {
            plain[field] = rig.widget(field)->palette();
        }

        showEveryWarningAndLongText(rig.form);
        QApplication::processEvents();

        EXPECT_EQ(rig.window->size(), windowSize);
        const auto after = shownControls(rig.window);
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [name, shown] : after) {
            SCOPED_TRACE(name.toStdString());
            const auto& [widget, place] = shown;
            EXPECT_EQ(place, before.at(name).second);
            EXPECT_EQ(cutText(widget), "");
            for (const auto& [other, its] : after) {
                EXPECT_TRUE(other == name || !its.second.intersects(place)) << other.toStdString();
            }
        }
        auto* line = rig.window->findChild<ElidedLabel*>(QStringLiteral("WarningsLine"));
        EXPECT_NE(line->toolTip(), QString());
        // A port's path too long for its box is shown shortened, whole in its tooltip.
        EXPECT_EQ(rig.widget<QComboBox>(Ctl::Combo1)->lineEdit()->toolTip(), kLongPort);
        for (const Ctl field : marked) {
            EXPECT_NE(rig.form.warning(field), QString());
            EXPECT_EQ(rig.widget(field)->toolTip(), rig.form.warning(field));
            EXPECT_NE(rig.widget(field)->palette(), plain[field]);
        }
        fillRight(rig.form);
        EXPECT_EQ(line->fullText(), QString());
        for (const Ctl field : marked) {
            EXPECT_EQ(rig.widget(field)->toolTip(), QString());
            EXPECT_EQ(rig.widget(field)->palette(), plain[field]);
        }
    }
}

// What a screen reader names a control: the text of the label beside it
// (or, for a button, its caption without the mnemonic), or a name of its own.
using NamedBy = std::variant<Ctl, Msg, QString>;

// Tab reaches every control the user types into or presses, in the window's
// order, and passes by the boxes only the program writes to, but the status
// box; each control has a name in the window's language, and each button
// an Alt+letter of its own.
TEST(WindowAccessibility, TabReachesEveryControlInOrderAndEachIsNamed) {
    for (const int lcid : {1033, 2052}) {
        SCOPED_TRACE(lcid);
        WindowRig rig(Machine{.lcid = lcid});
        fillDefaults(rig.form);  // every list box holds a value, which is no name
        const Form& form = rig.form;
        // The control, what names it, and whether Tab reaches it.
        std::vector<std::tuple<QString, NamedBy, bool>> controls = {
            {"Text4", Ctl::Label4, true},         {"Combo5", Msg::SsidBoxName, true},
            {"Text5", Ctl::Label1, true},         {"Text8", Msg::PositionBoxName, true},
            {"Text7", Msg::CommentBoxName, true}, {"Combo3", Ctl::Label7, true},
            {"Text11", Ctl::Label10, true},       {"Text10", Ctl::Label8, true},
            {"Combo2", Ctl::Label5, true},
        };
        const Ctl rowLabels[] = {Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label15};
        for (int box = 0; box < 16; ++box) {
            controls.emplace_back(nameOf(ds::addressBoxes[box]),
                                  form.text(rowLabels[box / 4]) + QString(" %1").arg(box % 4 + 1),
                                  true);
        }
        const std::tuple<QString, NamedBy, bool> rest[] = {
            {"Text31", Ctl::Label16, true},
            {"Check1", Ctl::Check1, true},
            {"Combo6", Ctl::Label24, true},
            {"Text32", Ctl::Label21, true},
            {"Combo7", Ctl::Label25, true},
            {"Combo8", Ctl::Label26, true},
            {"Combo16", Ctl::Label18, true},
            {"Combo4", Ctl::Label19, true},
            {"Text6", Ctl::Frame3, false},
            {"Text34", Ctl::Label23, true},
            {"Text33", Ctl::Label20, true},
            {"ShowWifiPassword", Msg::ShowPassword, true},
            {"Command8", Ctl::Command8, true},
            {"Combo1", Msg::PortSelectorName, true},
            {"Text12", Ctl::Text12, false},
            {"Text29", Ctl::Label11, true},
            {"Command6", Ctl::Command6, true},
            {"Command7", Ctl::Command7, true},
            {"Command0", Ctl::Command0, true},
            {"Command4", Ctl::Command4, true},
            {"Command5", Ctl::Command5, true},
            {"Command9", Ctl::Command9, true},
            {"Command1", Ctl::Command1, true},
            {"Command2", Ctl::Command2, true},
            {"TrafficButton", Msg::TrafficButton, true},
            {"CompareButton", Msg::CompareButton, true},
            {"VerifyAfterWrite", Msg::VerifyAfterWriteBox, true},
            {"ProgressBar1", Msg::UpdateProgressName, false},
            {"Text3", Msg::ProgressBoxName, false},
        };
        controls.insert(controls.end(), std::begin(rest), std::end(rest));

        QStringList expectedStops;
        for (const auto& [control, namedBy, stop] : controls) {
            SCOPED_TRACE(control.toStdString());
            const QString expected = std::holds_alternative<Ctl>(namedBy)
                                         ? form.text(std::get<Ctl>(namedBy))
                                     : std::holds_alternative<Msg>(namedBy)
                                         ? text(std::get<Msg>(namedBy), form.language())
                                         : std::get<QString>(namedBy);
            auto* widget = rig.window->findChild<QWidget*>(control);
            ASSERT_NE(widget, nullptr);
            EXPECT_EQ(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name),
                      expected);
            if (stop) {
                expectedStops << control;
            }
        }
        // The stops, as pressing Tab meets them: a combo box that takes
        // typing is met as its text box.
        QStringList stops;
        std::set<QKeySequence> mnemonics;
        for (QWidget* at = rig.window->nextInFocusChain(); at != rig.window;
             at = at->nextInFocusChain()) {
            if (!(at->focusPolicy() & Qt::TabFocus) || at->focusProxy() != nullptr) {
                continue;
            }
            QWidget* control = at->objectName().isEmpty() ? at->parentWidget() : at;
            stops << control->objectName();
            if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
                EXPECT_TRUE(mnemonics.insert(QKeySequence::mnemonic(button->text())).second)
                    << button->text().toStdString();
            }
        }
        EXPECT_EQ(stops, expectedStops);
        EXPECT_FALSE(mnemonics.contains(QKeySequence()));
    }
}

// "Verify after write" and "Compare": the window against the simulated
// device, which holds the comment "KORVA 144.640MHz". Each end of either
// tells once, in the status box or a message box: answered, the device
// silent, cancelled by a click, the port lost. The window's settings never
// change while the device is read, and afterwards only on Yes; a verify
// keeps the write's outcome above its own.
TEST(VerifyAndCompare, EachEndTellsOnceAndTheWindowChangesOnlyOnYes) {
    const QString device = QStringLiteral("KORVA 144.640MHz");
    const QString differs = QStringLiteral(
        "COMMENT TEXT: written \"mine\", read back \"KORVA 144.640MHz\"\r\n"
        "Verify failed: 1 setting(s) differ from what was written.");
    const QString same = QStringLiteral("The device holds the settings the window shows.");
    const QString otherPort = QStringLiteral(" Choose the device's port in the port list.");
    using Meanwhile = std::function<void(WindowRig&)>;
    const Meanwhile answers = [](WindowRig&) {};
    const Meanwhile silent = [](WindowRig& r) { r.ports.device.knobs().silent = true; };
    const Meanwhile losesComment = [](WindowRig& r) {
        r.ports.device.knobs().ignoreCommand = "COMMENT";
    };
    // The device never enters set-up mode, so the read is still connecting
    // 10 s into it, when the click or the loss comes.
    const auto atTenSeconds = [](std::function<void(WindowRig&)> what) -> Meanwhile {
        return [what](WindowRig& r) {
            r.ports.device.knobs().noConnect = true;
            r.clock.post(10'000, [&r, what] { what(r); });
        };
    };
    const Meanwhile clickRead = atTenSeconds([](WindowRig& r) { r.click(Ctl::Command6); });
    const Meanwhile clickCompare = atTenSeconds(
        [](WindowRig& r) { r.window->findChild<QPushButton*>("CompareButton")->click(); });
    const Meanwhile unplug = atTenSeconds([](WindowRig& r) { r.ports.device.unplug(); });
    struct Case {
        bool compare;  // or a write with "Verify after write" ticked
        QString comment;
        Meanwhile meanwhile;
        std::deque<bool> answers;
        QStringList messages;
        QString statusEnd;
    };
    const Case cases[] = {
        {false, "mine", answers, {}, {}, "Verified: the device holds every setting written."},
        {false, "mine", losesComment, {}, {}, differs},
        {false, "mine", clickRead, {}, {}, "the write completed, but was not checked."},
        {true, device, answers, {}, {same}, "read ok"},
        {true, "mine", answers, {false}, {}, "read ok"},
        {true, "mine", answers, {true}, {}, "read ok"},
        {true, "mine", silent, {}, {}, "is SIM its port?" + otherPort},
        {true, "mine", clickCompare, {}, {}, "The comparison was cancelled; nothing was compared."},
        {true, "mine", unplug, {}, {}, "(was the cable unplugged?)." + otherPort},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.statusEnd.toStdString());
        WindowRig rig;
        fillDefaults(rig.form);
        rig.form.setText(ds::comment, c.comment);
        c.meanwhile(rig);
        rig.prompter.answers = c.answers;
        rig.prompter.messages.clear();  // the start-up message
        QStringList commentShown;
        QObject::connect(&rig.form, &Form::changed, [&](Ctl id) {
            if (id == ds::comment) {
                commentShown << rig.form.text(id);
            }
        });
        if (c.compare) {
            rig.window->findChild<QPushButton*>("CompareButton")->click();
        } else {
            rig.window->findChild<QCheckBox*>("VerifyAfterWrite")->setChecked(true);
            rig.click(Ctl::Command7);
            EXPECT_TRUE(rig.status().contains(u"\r\nWrite complete\r\n"));
        }
        EXPECT_EQ(rig.prompter.messageTexts(), c.messages);
        ASSERT_EQ(rig.prompter.questions.size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(rig.prompter.questions.front().text,
                      "The device differs from the window in 1 setting(s):\n"
                      "COMMENT TEXT: window \"mine\", device \"KORVA 144.640MHz\"\n"
                      "Show the device's settings in the window?");
        }
        EXPECT_TRUE(rig.status().trimmed().endsWith(c.statusEnd)) << rig.status().toStdString();
        const bool yes = !c.answers.empty() && c.answers.front();
        EXPECT_EQ(commentShown, yes ? QStringList{device} : QStringList());
        EXPECT_EQ(rig.form.isEnabled(Ctl::Command7), true);
    }
}

}  // namespace
