#include "windowfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

namespace {

QLineEdit* box(WindowFixture& fixture, Ctl id) {
    return fixture.widget<QLineEdit>(id);
}

TEST(KeyFilters, TypedKeysPassAsTheBoxAllows) {
    struct Case {
        Ctl control;
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {Ctl::Text4, "dl1abc", "DL1ABC"},
        {Ctl::Text4, "dl1abcd", "DL1ABC"},
        {Ctl::Text4, "bh4/-", "BH4/-"},
        {Ctl::Text5, "1a2 3", "123"},
        {Ctl::Text5, "1234567", "12345"},
        {Ctl::Text10, "1a2 3", "123"},
        {Ctl::Text31, "144.640", "144.640"},
        {Ctl::Text31, "144/", "144/"},
        {Ctl::Text31, "1,4-4", "144"},
        {Ctl::Text31, "144.64000", "144.6400"},
        {Ctl::Text11, "b/KORVA-and-more-text", "b/KORVA-and-more"},
        {Ctl::Text34, "a network name too long", "a network name too l"},
        {Ctl::Text13, "no limit at all here", "no limit at all here"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString() + " <- " + c.keys);
        WindowFixture fixture;
        QTest::keyClicks(box(fixture, c.control), c.keys);
        EXPECT_EQ(box(fixture, c.control)->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fixture.form.text(c.control), QString::fromUtf8(c.shown));
    }
}

TEST(KeyFilters, BackspaceStillEditsAFilteredBox) {
    WindowFixture fixture;
    QLineEdit* passcode = box(fixture, Ctl::Text5);
    QTest::keyClicks(passcode, "129");
    QTest::keyClick(passcode, Qt::Key_Backspace);
    QTest::keyClicks(passcode, "3");
    EXPECT_EQ(fixture.form.text(Ctl::Text5), QStringLiteral("123"));
}

TEST(KeyFilters, TypingInsideTheTextKeepsTheCursorWhereItTypes) {
    struct Case {
        Ctl control;
        const char* keys;
        const char* shown;
    };
    const Case cases[] = {
        {Ctl::Text4, "bh", "BHDL"},
        {Ctl::Text5, "3x4", "34DL"},
        {Ctl::Text8, "ab", "abDL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString());
        WindowFixture fixture;
        fixture.form.setText(c.control, QStringLiteral("DL"));  // program text, kept as it is
        QTest::keyClick(box(fixture, c.control), Qt::Key_Home);
        QTest::keyClicks(box(fixture, c.control), c.keys);
        EXPECT_EQ(fixture.form.text(c.control), QString::fromUtf8(c.shown));
    }
}

TEST(KeyFilters, PastedTextIsFilteredLikeTypedText) {
    struct Case {
        Ctl control;
        const char* already;
        const char* clipboard;
        const char* shown;
    };
    const Case cases[] = {
        {Ctl::Text4, "", "dl1abc-9", "DL1ABC"},
        {Ctl::Text5, "", " 12a34 ", "1234"},
        {Ctl::Text10, "06", "00 s", "0600"},
        {Ctl::Text31, "", " 144,640 MHz", "144640"},
        {Ctl::Text11, "", "b/KORVA/BH4/BG2/BD7", "b/KORVA/BH4/BG2/"},
        {Ctl::Text7, "", "no filter, only  blanks kept", "no filter, only  blanks kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString() + " <- " + c.clipboard);
        WindowFixture fixture;
        QTest::keyClicks(box(fixture, c.control), c.already);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
        QTest::keyClick(box(fixture, c.control), Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box(fixture, c.control)->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fixture.form.text(c.control), QString::fromUtf8(c.shown));
    }
}

TEST(KeyFilters, TextSetByTheProgramIsShownWhole) {
    struct Case {
        Ctl control;
        const char* set;
        const char* shown;
    };
    const Case cases[] = {
        {Ctl::Text10, " 0600 ", "0600"},    // surrounding blanks dropped
        {Ctl::Text5, " 4 0663", "4 0663"},  // inner blanks stay
        {Ctl::Text31, "  144.6400 ", "144.6400"},
        {Ctl::Text4, "bh4tdv-12", "bh4tdv-12"},  // neither converted nor cut
        {Ctl::Text11, "b/KORVA/BH4/BG2/BD7", "b/KORVA/BH4/BG2/BD7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString());
        WindowFixture fixture;
        fixture.form.setText(c.control, QString::fromUtf8(c.set));
        EXPECT_EQ(box(fixture, c.control)->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fixture.form.text(c.control), QString::fromUtf8(c.shown));
    }
}

TEST(KeyFilters, NoKeyIsTakenBeyondALimitTheProgramAlreadyPassed) {
    WindowFixture fixture;
    fixture.form.setText(Ctl::Text4, QStringLiteral("LONGCALL"));
    QTest::keyClicks(box(fixture, Ctl::Text4), "x");
    EXPECT_EQ(fixture.form.text(Ctl::Text4), QStringLiteral("LONGCALL"));
    QTest::keyClick(box(fixture, Ctl::Text4), Qt::Key_Backspace);
    EXPECT_EQ(fixture.form.text(Ctl::Text4), QStringLiteral("LONGCAL"));
}

}  // namespace
