#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/texts.h"
#include "windowfixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <map>
#include <set>

namespace {

// The controls kept outside the visible area: the Form holds them, the
// window shows nothing of them.
const Ctl kHidden[] = {Ctl::Text2, Ctl::Text9, Ctl::Text30, Ctl::Command3};

// The frames and the controls each holds; every other control stands in Frame1.
const std::pair<Ctl, std::vector<Ctl>> kFrames[] = {
    {Ctl::Form1, {Ctl::Frame1, Ctl::Text3, Ctl::Label2}},
    {Ctl::Frame2, {Ctl::Label5, Ctl::Combo2, Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label15,
                   Ctl::Text13, Ctl::Text14, Ctl::Text15,  Ctl::Text16,  Ctl::Text17,  Ctl::Text18,
                   Ctl::Text19, Ctl::Text20, Ctl::Text21,  Ctl::Text22,  Ctl::Text23,  Ctl::Text24,
                   Ctl::Text25, Ctl::Text26, Ctl::Text27,  Ctl::Text28}},
    {Ctl::Frame3, {Ctl::Text6}},
    {Ctl::Frame4,
     {Ctl::Label16, Ctl::Text31, Ctl::Label17, Ctl::Label21, Ctl::Text32, Ctl::Check1, Ctl::Label24,
      Ctl::Combo6, Ctl::Label25, Ctl::Combo7, Ctl::Label26, Ctl::Combo8}},
    {Ctl::Frame5, {Ctl::Label18, Ctl::Combo16, Ctl::Label19, Ctl::Combo4}},
    {Ctl::Frame6, {Ctl::Label23, Ctl::Text34, Ctl::Label20, Ctl::Text33, Ctl::Command8}},
};

Ctl containerOf(Ctl id) {
    for (const auto& [frame, members] : kFrames) {
        if (std::ranges::find(members, id) != members.end()) {
            return frame;
        }
    }
    return Ctl::Frame1;
}

QString nearestFrame(const QWidget* widget) {
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QGroupBox*>(up) != nullptr || up->isWindow()) {
            return up->objectName();
        }
    }
    return {};
}

TEST(WindowLayout, EveryVisibleControlHasOneWidgetOfItsNameInItsFrame) {
    WindowFixture fixture;
    EXPECT_EQ(fixture.window->objectName(), QStringLiteral("Form1"));
    for (const ControlDesign& design : kControls) {
        if (design.id == Ctl::Form1) {
            continue;
        }
        const QList<QWidget*> found = fixture.window->findChildren<QWidget*>(nameOf(design.id));
        if (std::ranges::find(kHidden, design.id) != std::end(kHidden)) {
            EXPECT_TRUE(found.isEmpty()) << design.name;
            continue;
        }
        ASSERT_EQ(found.size(), 1) << design.name;
        EXPECT_TRUE(found[0]->isVisibleTo(fixture.window)) << design.name;
        EXPECT_EQ(nearestFrame(found[0]), nameOf(containerOf(design.id))) << design.name;
    }
}

// The widgets the user sees, by name: every visible control but the frames,
// the Traffic button and the warnings line.
std::map<QString, QWidget*> shownControls(const WindowFixture& fixture) {
    std::map<QString, QWidget*> shown;
    for (const ControlDesign& design : kControls) {
        if (design.kind == ControlKind::Window || design.kind == ControlKind::Frame ||
            std::ranges::find(kHidden, design.id) != std::end(kHidden)) {
            continue;
        }
        shown[nameOf(design.id)] = fixture.widget(design.id);
    }
    for (const char* name : {"TrafficButton", "WarningsLine"}) {
        shown[QString::fromLatin1(name)] = fixture.window->findChild<QWidget*>(name);
    }
    return shown;
}

std::map<QString, QRect> placesOf(const std::map<QString, QWidget*>& controls,
                                  const QWidget* window) {
    std::map<QString, QRect> places;
    for (const auto& [name, widget] : controls) {
        places[name] = QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
    }
    return places;
}

// Every warning at once, and the longest texts the exchanges show.
void showEveryWarningAndLongText(Form& form) {
    namespace ds = DeviceSettings;
    const auto say = [&form](Msg message) { return text(message, form.language()); };
    form.setText(ds::callsign, QStringLiteral("N0CALL"));
    form.setText(ds::passcode, QStringLiteral("13024"));
    form.setText(ds::callSsid, QStringLiteral("16"));
    form.setText(ds::position, QStringLiteral("3035.00N"));
    form.setText(ds::sendInterval, QStringLiteral("0000"));
    form.setText(ds::comment, QString(41, u'c'));
    form.setText(ds::filter, QString(17, u'f'));
    form.setText(ds::frequency, QStringLiteral("1446.400"));
    form.setText(ds::addressMode, ds::kStaticIp);
    for (const ds::Octets* row : {&ds::ipAddress, &ds::subnetMask, &ds::gateway, &ds::dnsServer}) {
        form.setText((*row)[3], QStringLiteral("1000"));
    }
    form.setText(Ctl::Text3, say(Msg::ConnectionSuccessfulBox));
    form.setText(Ctl::Label2, say(Msg::Updating) + say(Msg::UpdateStep) + QStringLiteral(" 512"));
    form.setText(Ctl::Command6, say(Msg::ReadButtonPortOpen));
    form.setText(Ctl::Command7, say(Msg::WriteButtonWriting));
    form.setText(Ctl::Command9, say(Msg::PortIsOpen));
    form.setText(Ctl::Command2, say(Msg::UpdateButtonBusy));
    form.setText(Ctl::Command8, say(Msg::WifiButtonWriting));
    form.setText(Ctl::Text6, QStringLiteral("KV120 V2.3.1"));
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

// In both languages every text fits its room at the window's first size, and
// neither warnings nor long texts move a control or resize the window.
TEST(WindowLayout, WarningsAndLongTextsMoveNothingAndEveryTextFits) {
    for (const int lcid : {1033, 2052}) {
        SCOPED_TRACE(lcid);
        WindowFixture fixture(Machine{.lcid = lcid});
        fillDefaults(fixture.form);
        QApplication::processEvents();
        const std::map<QString, QWidget*> controls = shownControls(fixture);
        const std::map<QString, QRect> before = placesOf(controls, fixture.window);
        const QSize windowSize = fixture.window->size();

        showEveryWarningAndLongText(fixture.form);
        QApplication::processEvents();

        EXPECT_EQ(fixture.window->size(), windowSize);
        const std::map<QString, QRect> after = placesOf(controls, fixture.window);
        for (const auto& [name, widget] : controls) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(after.at(name), before.at(name));
            EXPECT_EQ(cutText(widget), "");
            for (const auto& [other, place] : after) {
                EXPECT_TRUE(other == name || !place.intersects(after.at(name)))
                    << other.toStdString();
            }
        }
        EXPECT_NE(fixture.window->findChild<QWidget*>("WarningsLine")->toolTip(), QString());
    }
}

// What a screen reader finds: every box has a name, from the label beside it
// or its own, and every button its own Alt+letter.
TEST(WindowAccessibility, EveryBoxHasANameAndEveryButtonItsOwnMnemonic) {
    for (const int lcid : {1033, 2052}) {
        SCOPED_TRACE(lcid);
        WindowFixture fixture(Machine{.lcid = lcid});
        std::set<QKeySequence> mnemonics;
        for (const auto& [name, widget] : shownControls(fixture)) {
            SCOPED_TRACE(name.toStdString());
            if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
                const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
                EXPECT_FALSE(mnemonic.isEmpty());
                EXPECT_TRUE(mnemonics.insert(mnemonic).second);
            } else if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                       qobject_cast<QPlainTextEdit*>(widget)) {
                QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
                ASSERT_NE(accessible, nullptr);
                EXPECT_NE(accessible->text(QAccessible::Name), QString());
            }
        }
        const auto nameOfBox = [&fixture](Ctl box) {
            return QAccessible::queryAccessibleInterface(fixture.widget(box))
                ->text(QAccessible::Name);
        };
        EXPECT_EQ(nameOfBox(Ctl::Text13), QStringLiteral("IP 1"));
        EXPECT_EQ(nameOfBox(Ctl::Text28), QStringLiteral("DNS 4"));
        EXPECT_EQ(nameOfBox(Ctl::Text4), fixture.form.text(Ctl::Label4));
    }
}

// The WiFi password is not shown to whoever looks over the user's shoulder,
// unless the user asks.
TEST(WindowPrivacy, TheWifiPasswordIsMaskedUntilShowIsTicked) {
    WindowFixture fixture;
    auto* password = fixture.widget<QLineEdit>(Ctl::Text33);
    auto* show = fixture.window->findChild<QCheckBox*>(QStringLiteral("ShowWifiPassword"));
    ASSERT_NE(show, nullptr);
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    show->click();
    EXPECT_EQ(password->echoMode(), QLineEdit::Normal);
    show->click();
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
}

}  // namespace
