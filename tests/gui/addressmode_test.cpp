#include "windowfixture.h"

#include "app/devicesettings.h"

#include <QLineEdit>
#include <QTest>

namespace {

// The enabled state of the sixteen address boxes, as one word: "on", "off",
// or "mixed".
std::string addressBoxes(WindowFixture& fixture) {
    int on = 0;
    for (const Ctl box : DeviceSettings::addressBoxes) {
        on += fixture.widget(box)->isEnabled() ? 1 : 0;
    }
    return on == 16 ? "on" : on == 0 ? "off" : "mixed";
}

QComboBox* modeBox(WindowFixture& fixture) {
    return fixture.widget<QComboBox>(Ctl::Combo2);
}

TEST(AddressMode, PickingSwitchesTheSixteenBoxesAndLeavesTheirTexts) {
    WindowFixture fixture;
    QTest::mouseClick(fixture.widget(Ctl::Command0), Qt::LeftButton);
    ASSERT_EQ(addressBoxes(fixture), "on");
    const std::pair<const char*, const char*> picks[] = {
        {"DHCP", "off"}, {"STATIC IP", "on"}, {"STATIC IP", "on"}, {"DHCP", "off"}};
    for (const auto& [item, expected] : picks) {
        pickItem(modeBox(fixture), QString::fromUtf8(item));
        EXPECT_EQ(modeBox(fixture)->currentText(), QString::fromUtf8(item));
        EXPECT_EQ(fixture.form.text(Ctl::Combo2), QString::fromUtf8(item));
        EXPECT_EQ(addressBoxes(fixture), expected) << "after picking " << item;
    }
    EXPECT_EQ(fixture.widget<QLineEdit>(Ctl::Text16)->text(), QStringLiteral("99"));
    EXPECT_EQ(fixture.widget<QLineEdit>(Ctl::Text20)->text(), QStringLiteral("0"));
}

TEST(AddressMode, OnlyAPickFromTheListSwitchesTheBoxes) {
    WindowFixture fixture;
    pickItem(modeBox(fixture), QStringLiteral("DHCP"));
    ASSERT_EQ(addressBoxes(fixture), "off");

    QLineEdit* typed = modeBox(fixture)->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "STATIC IP");
    QTest::keyClick(typed, Qt::Key_Return);
    fixture.widget(Ctl::Text4)->setFocus();
    typed->clearFocus();
    EXPECT_EQ(fixture.form.text(Ctl::Combo2), QStringLiteral("STATIC IP"));
    EXPECT_EQ(addressBoxes(fixture), "off") << "typed";

    fixture.form.setText(Ctl::Combo2, QStringLiteral("DHCP"));
    fixture.form.setText(Ctl::Combo2, QStringLiteral("STATIC IP"));
    EXPECT_EQ(addressBoxes(fixture), "off") << "set by the program";
}

}  // namespace
