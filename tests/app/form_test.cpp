#include "app/form.h"
#include "app/devicesettings.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

TEST(Form, PasscodeIntervalAndFrequencyDropSurroundingBlanksWhoeverSetsThem) {
    Form form;
    struct Case {
        Ctl control;
        QString set;
        QString kept;
    };
    const Case cases[] = {
        {ds::sendInterval, " 0600 ", "0600"},      {ds::passcode, "  40663", "40663"},
        {ds::frequency, "144. 64 ", "144. 64"},    {ds::frequency, "\t144", "\t144"},
        {ds::comment, " as typed ", " as typed "},
    };
    for (const Case& c : cases) {
        form.setText(c.control, c.set);
        EXPECT_EQ(form.text(c.control), c.kept) << nameOf(c.control).toStdString();
    }
}

}  // namespace
