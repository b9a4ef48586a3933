#include "windowfixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

namespace {

// How the text reaches the box: typed at the end or at the start, pasted at
// the end, or set by the program.
enum class Way { Typed, TypedAtStart, Pasted, SetByProgram };

// The box passes what its rule allows, whichever way the text comes; text the
// program set is kept whole. The rules themselves are tested in inputrules_test.
TEST(KeyFilters, EachWayOfEnteringTextPassesTheBoxsRule) {
    struct Case {
        Way way;
        Ctl control;
        const char* before;  // set by the program first
        const char* input;   // "\b" is Backspace
        const char* shown;
    };
    const Case cases[] = {
        {Way::Typed, Ctl::Text4, "", "dl1abcd", "DL1ABC"},
        {Way::Typed, Ctl::Text5, "", "1a2 34567", "12345"},
        {Way::Typed, Ctl::Text5, "", "129\b3", "123"},
        {Way::Typed, Ctl::Text31, "", "1,44.64000/", "144.6400"},
        {Way::Typed, Ctl::Text11, "", "b/KORVA-and-more-text", "b/KORVA-and-more"},
        {Way::Typed, Ctl::Text13, "", "no limit at all here", "no limit at all here"},
        {Way::Typed, Ctl::Text4, "LONGCALL", "x", "LONGCALL"},
        {Way::Typed, Ctl::Text4, "LONGCALL", "\b", "LONGCAL"},
        {Way::TypedAtStart, Ctl::Text4, "DL", "bh", "BHDL"},
        {Way::TypedAtStart, Ctl::Text5, "DL", "3x4", "34DL"},
        {Way::Pasted, Ctl::Text4, "", "dl1abc-9", "DL1ABC"},
        {Way::Pasted, Ctl::Text10, "06", "00 s", "0600"},
        {Way::Pasted, Ctl::Text11, "", "b/KORVA/BH4/BG2/BD7", "b/KORVA/BH4/BG2/"},
        {Way::Pasted, Ctl::Text7, "", "no filter, only  blanks kept",
         "no filter, only  blanks kept"},
        {Way::SetByProgram, Ctl::Text4, "", "bh4tdv-12", "bh4tdv-12"},
        {Way::SetByProgram, Ctl::Text10, "", " 0600 ", "0600"},
        {Way::SetByProgram, Ctl::Text11, "", "b/KORVA/BH4/BG2/BD7", "b/KORVA/BH4/BG2/BD7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.control).toStdString() + " <- " + c.input);
        WindowFixture fixture;
        auto* box = fixture.widget<QLineEdit>(c.control);
        fixture.form.setText(c.control, QString::fromUtf8(c.before));
        switch (c.way) {
            case Way::TypedAtStart:
                QTest::keyClick(box, Qt::Key_Home);
                [[fallthrough]];
            case Way::Typed:
                QTest::keyClicks(box, c.input);
                break;
            case Way::Pasted:
                QGuiApplication::clipboard()->setText(QString::fromUtf8(c.input));
                QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
                break;
            case Way::SetByProgram:
                fixture.form.setText(c.control, QString::fromUtf8(c.input));
                break;
        }
        EXPECT_EQ(box->text(), QString::fromUtf8(c.shown));
        EXPECT_EQ(fixture.form.text(c.control), QString::fromUtf8(c.shown));
    }
}

}  // namespace
