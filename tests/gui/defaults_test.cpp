#include "windowfixture.h"

#include "app/devicesettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

// What a box shows, whichever kind of box it is.
QString shownText(QWidget* widget) {
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    return qobject_cast<QComboBox*>(widget)->currentText();
}

void click(WindowFixture& fixture, Ctl button) {
    QTest::mouseClick(fixture.widget(button), Qt::LeftButton);
}

TEST(DefaultButton, FillsEveryFieldAndEnablesWriting) {
    const std::pair<Ctl, const char*> expected[] = {
        {Ctl::Text4, "NOCALL"},
        {Ctl::Combo4, "km"},
        {Ctl::Combo5, "10"},
        {Ctl::Combo2, "DHCP"},
        {Ctl::Combo16, "ON"},
        {Ctl::Text8, "!3035.00N/11417.00ErPHG1010"},
        {Ctl::Text7, "KORVA 144.640MHz"},
        {Ctl::Text5, "40663"},
        {Ctl::Text10, "0600"},
        {Ctl::Text11, "b/KORVA"},
        {Ctl::Text13, "192"},
        {Ctl::Text14, "168"},
        {Ctl::Text15, "1"},
        {Ctl::Text16, "99"},
        {Ctl::Text17, "255"},
        {Ctl::Text18, "255"},
        {Ctl::Text19, "255"},
        {Ctl::Text20, "0"},
        {Ctl::Text21, "192"},
        {Ctl::Text22, "168"},
        {Ctl::Text23, "1"},
        {Ctl::Text24, "1"},
        {Ctl::Text25, "8"},
        {Ctl::Text26, "8"},
        {Ctl::Text27, "8"},
        {Ctl::Text28, "8"},
        {Ctl::Text31, "144.6400"},
        {Ctl::Text32, "--"},
        {Ctl::Combo6, "3"},
        {Ctl::Combo7, "WIDE1-1"},
        {Ctl::Combo8, "WIDE1+WIDE2"},
    };
    WindowFixture fixture;
    QTest::keyClicks(fixture.widget(Ctl::Text34), "home-net");
    QTest::keyClicks(fixture.widget(Ctl::Text33), "secret");
    ASSERT_FALSE(fixture.widget(Ctl::Command7)->isEnabled());

    click(fixture, Ctl::Command0);

    for (const auto& [control, text] : expected) {
        EXPECT_EQ(shownText(fixture.widget(control)), QString::fromUtf8(text))
            << nameOf(control).toStdString();
    }
    auto* server = fixture.widget<QComboBox>(Ctl::Combo3);
    EXPECT_EQ(server->currentText(), server->itemText(0));
    EXPECT_TRUE(fixture.widget<QCheckBox>(Ctl::Check1)->isChecked());
    EXPECT_TRUE(fixture.widget(Ctl::Command7)->isEnabled());
    EXPECT_EQ(shownText(fixture.widget(Ctl::Text34)), QStringLiteral("home-net"));
    EXPECT_EQ(shownText(fixture.widget(Ctl::Text33)), QStringLiteral("secret"));
    EXPECT_EQ(shownText(fixture.widget(Ctl::Text6)), QStringLiteral("KV120 "));
}

TEST(DefaultButton, LeavesTheAddressBoxesSwitchedAsTheyWere) {
    struct Case {
        const char* picked;  // nullptr: nothing picked since start-up
        bool enabled;
    };
    for (const Case c : {Case{nullptr, true}, Case{"STATIC IP", true}, Case{"DHCP", false}}) {
        SCOPED_TRACE(c.picked ? c.picked : "nothing picked");
        WindowFixture fixture;
        if (c.picked != nullptr) {
            pickItem(fixture.widget<QComboBox>(Ctl::Combo2), QString::fromUtf8(c.picked));
        }
        click(fixture, Ctl::Command0);
        EXPECT_EQ(fixture.widget<QComboBox>(Ctl::Combo2)->currentText(), QStringLiteral("DHCP"));
        for (const Ctl box : DeviceSettings::addressBoxes) {
            EXPECT_EQ(fixture.widget(box)->isEnabled(), c.enabled) << nameOf(box).toStdString();
        }
    }
}

}  // namespace
