#include "app/defaults.h"
#include "app/devicesettings.h"
#include "gui/elidedlabel.h"
#include "windowfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

namespace ds = DeviceSettings;

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QLineEdit* editOf(WindowFixture& fixture, Ctl id) {
    if (auto* box = qobject_cast<QComboBox*>(fixture.widget(id))) {
        return box->lineEdit();
    }
    return fixture.widget<QLineEdit>(id);
}

TEST(FieldWarningsShown, AWarningMarksTheFieldAndFillsTheWarningsLineUntilPutRight) {
    struct Case {
        Ctl typedInto;
        Ctl shownBeside;
        const char* wrong;
        const char* warning;
        const char* right;
    };
    const Case cases[] = {
        {ds::passcode, ds::passcode, "13024", "The passcode of N0CALL is 13023", "13023"},
        {ds::callSsid, ds::callSsid, "16", "SSID \"16\" is not a number from 0 to 15", "15"},
        {ds::frequency, ds::frequency, "14.64",
         "Tx/Rx: \"14.64\" is not a frequency in MHz within 144-148, 430-450", "144.64"},
        {ds::sendInterval, ds::sendInterval, "00", "Tx time: an interval of 0", "600"},
        {ds::position, ds::position, "3035.00N",
         "Posi+Comment: not an APRS position such as "
         "!3035.00N/11417.00Er",
         "3035.00N/11417.00E>"},
        {ds::subnetMask[3], Ctl::Label13, "300", "Mask: \"300\" is not a number from 0 to 255",
         "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.typedInto).toStdString());
        WindowFixture fixture;
        fillDefaults(fixture.form);
        fixture.form.setText(ds::callsign, QStringLiteral("N0CALL"));
        fixture.form.setText(ds::passcode, QStringLiteral("13023"));
        pickItem(fixture.widget<QComboBox>(ds::addressMode), ds::kStaticIp);
        QWidget* marked = fixture.widget(c.shownBeside);
        auto* line = fixture.window->findChild<ElidedLabel*>(QStringLiteral("WarningsLine"));
        ASSERT_NE(line, nullptr);
        const QPalette plain = marked->palette();
        EXPECT_EQ(marked->toolTip(), QString());
        EXPECT_EQ(line->fullText(), QString());

        retype(editOf(fixture, c.typedInto), QString::fromLatin1(c.wrong));
        EXPECT_EQ(marked->toolTip(), QString::fromLatin1(c.warning));
        EXPECT_EQ(line->fullText(), QString::fromLatin1(c.warning));
        EXPECT_NE(marked->palette(), plain);

        retype(editOf(fixture, c.typedInto), QString::fromLatin1(c.right));
        EXPECT_EQ(marked->toolTip(), QString());
        EXPECT_EQ(line->fullText(), QString());
        EXPECT_EQ(marked->palette(), plain);
    }
}

TEST(FieldWarningsShown, WriteDataAsksFirstAndNoLeavesThePortAlone) {
    WindowFixture fixture;
    fillDefaults(fixture.form);
    fixture.form.setText(ds::frequency, QStringLiteral("500"));
    fixture.prompter.answers = {false};
    fixture.click(Ctl::Command7);
    ASSERT_EQ(fixture.prompter.questions.size(), 1u);
    EXPECT_TRUE(fixture.prompter.questions[0].text.contains(QStringLiteral("\"500\"")));
    EXPECT_FALSE(fixture.link.isOpen());
    EXPECT_EQ(fixture.clock.elapsedMs(), 0);
    EXPECT_EQ(fixture.form.text(Ctl::Text29), QString());
}

}  // namespace
