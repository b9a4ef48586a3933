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

QString statusLine(int number) {
    return QStringLiteral("line %1").arg(number, 6, 10, QLatin1Char('0'));
}

// Every line is 13 characters with its CR LF; 32 KiB hold 2520 whole lines.
TEST(Form, TheStatusBoxKeepsTheNewestWholeLinesWithinItsLimit) {
    struct Case {
        const char* what;
        int linesAppended;
        int firstKept;  // the number of the oldest line kept
    };
    const Case cases[] = {
        {"at the limit", 2520, 0},
        {"one line over", 2521, 1},
        {"far over", 100'000, 100'000 - 2520},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form form;
        form.setStatus(QString());
        for (int i = 0; i < c.linesAppended; ++i) {
            form.appendStatusLine(statusLine(i));
        }
        const QString status = form.text(Ctl::Text29);
        EXPECT_LE(status.size(), kStatusBoxLimit);
        // Cut text starts at a line start, after the line end before it.
        EXPECT_TRUE(status.startsWith((c.firstKept == 0 ? "\r\n" : "") + statusLine(c.firstKept)))
            << status.left(20).toStdString();
        EXPECT_TRUE(status.endsWith("\r\n" + statusLine(c.linesAppended - 1)));
    }

    // Other boxes keep long texts.
    Form form;
    const QString longText(kStatusBoxLimit * 2, u'x');
    form.setText(Ctl::Text30, longText);
    EXPECT_EQ(form.text(Ctl::Text30), longText);
}

}  // namespace
