// A warning that stands is not cleared and set again when another field
// changes: each time would hide and show its label.
#include "app/devicesettings.h"
#include "app/fieldwarnings.h"
#include "app/form.h"

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

TEST(WarningSteady, AStandingWarningIsNotSetAgainWhenAnotherFieldChanges) {
    Form form;
    form.setLanguage(Language::English);
    form.setText(ds::callsign, QStringLiteral("N0CALL"));
    form.setText(ds::passcode, QStringLiteral("1"));
    form.setText(ds::callSsid, QStringLiteral("99"));
    showFieldWarnings(form);
    ASSERT_FALSE(form.warning(ds::passcode).isEmpty());
    ASSERT_FALSE(form.warning(ds::callSsid).isEmpty());

    int signalled = 0;
    QObject::connect(&form, &Form::warningChanged, [&signalled] { ++signalled; });
    form.setText(ds::comment, QStringLiteral("on the hill"));
    showFieldWarnings(form);
    EXPECT_EQ(signalled, 0);
}

}  // namespace
