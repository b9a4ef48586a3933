#include "app/form.h"

#include <gtest/gtest.h>

namespace {

QString lines(int count, int from = 0) {
    QString text;
    for (int i = from; i < from + count; ++i) {
        text += QStringLiteral("\r\nline %1").arg(i, 6, 10, QLatin1Char('0'));
    }
    return text;
}

// Every line is 13 characters with its CR LF; 32 KiB hold 2520 whole lines.
TEST(StatusBoxLimit, KeepsTheNewestWholeLinesWithinTheLimit) {
    struct Case {
        const char* what;
        int linesAppended;
        int firstKept;  // the number of the oldest line kept
    };
    const Case cases[] = {
        {"under the limit", 2000, 0},
        {"at the limit", 2520, 0},
        {"one line over", 2521, 1},
        {"far over", 100'000, 100'000 - 2520},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Form form;
        form.setStatus(QString());
        for (int i = 0; i < c.linesAppended; ++i) {
            form.appendStatusLine(QStringLiteral("line %1").arg(i, 6, 10, QLatin1Char('0')));
        }
        const QString status = form.text(Ctl::Text29);
        EXPECT_LE(status.size(), kStatusBoxLimit);
        const QString oldest = lines(1, c.firstKept);
        // Cut text starts at a line start, after the line end before it.
        EXPECT_TRUE(status.startsWith(c.firstKept == 0 ? oldest : oldest.sliced(2)))
            << status.left(20).toStdString();
        EXPECT_TRUE(status.endsWith(lines(1, c.linesAppended - 1)));
    }
}

TEST(StatusBoxLimit, OtherBoxesKeepLongTexts) {
    Form form;
    const QString longText(kStatusBoxLimit * 2, u'x');
    form.setText(Ctl::Text30, longText);
    EXPECT_EQ(form.text(Ctl::Text30), longText);
}

}  // namespace
