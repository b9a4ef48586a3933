#include "windowfixture.h"

#include "app/devicesettings.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <functional>

namespace {

// The values themselves are checked against the simulated device's factory
// settings end to end (a read of a factory device prints the defaults); here,
// that the button fills the boxes of every kind and leaves the WiFi ones.
TEST(DefaultButton, FillsTheFieldsButTheWifiOnesAndEnablesWriting) {
    const std::pair<Ctl, const char*> expected[] = {
        {Ctl::Text4, "NOCALL"},    {Ctl::Combo5, "10"},     {Ctl::Text10, "0600"},
        {Ctl::Text16, "99"},       {Ctl::Text32, "--"},     {Ctl::Combo8, "WIDE1+WIDE2"},
        {Ctl::Text34, "home-net"}, {Ctl::Text33, "secret"}, {Ctl::Text6, "KV120 "}};
    WindowFixture fixture;
    QTest::keyClicks(fixture.widget(Ctl::Text34), "home-net");
    QTest::keyClicks(fixture.widget(Ctl::Text33), "secret");
    ASSERT_FALSE(fixture.widget(Ctl::Command7)->isEnabled());

    fixture.click(Ctl::Command0);

    for (const auto& [control, text] : expected) {
        EXPECT_EQ(fixture.shown(control), QString::fromUtf8(text)) << nameOf(control).toStdString();
    }
    EXPECT_EQ(fixture.shown(Ctl::Combo3), fixture.widget<QComboBox>(Ctl::Combo3)->itemText(0));
    EXPECT_TRUE(fixture.widget<QCheckBox>(Ctl::Check1)->isChecked());
    EXPECT_TRUE(fixture.widget(Ctl::Command7)->isEnabled());
}

// The enabled state of the sixteen address boxes, as one word: "on", "off",
// or "mixed".
std::string addressBoxes(WindowFixture& fixture) {
    int on = 0;
    for (const Ctl box : DeviceSettings::addressBoxes) {
        on += fixture.widget(box)->isEnabled() ? 1 : 0;
    }
    return on == 16 ? "on" : on == 0 ? "off" : "mixed";
}

// The boxes follow the mode however it was set: picked, typed, by "Default",
// or by the program (a read, a loaded file).
TEST(AddressMode, TheSixteenBoxesFollowTheModeHoweverItWasSetAndKeepTheirTexts) {
    using Act = std::function<void(WindowFixture&)>;
    const auto pick = [](const char* item) -> Act {
        return [=](WindowFixture& f) {
            pickItem(f.widget<QComboBox>(Ctl::Combo2), QString::fromUtf8(item));
        };
    };
    const Act defaults = [](WindowFixture& f) { f.click(Ctl::Command0); };
    const Act typeStatic = [](WindowFixture& f) {
        QLineEdit* typed = f.widget<QComboBox>(Ctl::Combo2)->lineEdit();
        typed->selectAll();
        QTest::keyClicks(typed, "STATIC IP");
        QTest::keyClick(typed, Qt::Key_Return);
        f.widget(Ctl::Text4)->setFocus();
        typed->clearFocus();
    };
    const auto setByProgram = [](const char* mode) -> Act {
        return [=](WindowFixture& f) { f.form.setText(Ctl::Combo2, QString::fromUtf8(mode)); };
    };
    struct Step {
        const char* name;
        Act act;
        const char* mode;
        const char* boxes;
    };
    const Step steps[] = {
        {"Default, nothing picked", defaults, "DHCP", "off"},
        {"DHCP picked", pick("DHCP"), "DHCP", "off"},
        {"STATIC IP picked", pick("STATIC IP"), "STATIC IP", "on"},
        {"STATIC IP picked again", pick("STATIC IP"), "STATIC IP", "on"},
        {"Default after STATIC IP", defaults, "DHCP", "off"},
        {"STATIC IP typed", typeStatic, "STATIC IP", "on"},
        {"DHCP set by the program", setByProgram("DHCP"), "DHCP", "off"},
        {"STATIC IP set by the program", setByProgram("STATIC IP"), "STATIC IP", "on"},
        {"another text set by the program", setByProgram(" "), " ", "off"},
    };
    WindowFixture fixture;
    ASSERT_EQ(addressBoxes(fixture), "on");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(fixture);
        EXPECT_EQ(fixture.shown(Ctl::Combo2), QString::fromUtf8(step.mode));
        EXPECT_EQ(fixture.form.text(Ctl::Combo2), QString::fromUtf8(step.mode));
        EXPECT_EQ(addressBoxes(fixture), step.boxes);
    }
    EXPECT_EQ(fixture.shown(Ctl::Text16), QStringLiteral("99"));
    EXPECT_EQ(fixture.shown(Ctl::Text20), QStringLiteral("0"));
}

}  // namespace
