#include "gui/inputrules.h"

#include "support/printers.h"

#include <gtest/gtest.h>

void PrintTo(const EditState& state, std::ostream* out) {
    *out << '"' << state.text.toStdString() << "\" cursor " << state.cursor;
}

namespace {

using Chars = FieldRule::Chars;

TEST(InputRules, EachBoxHasItsCharactersAndTypedLength) {
    struct Case {
        Ctl control;
        Chars chars;
        int maxLength;
    };
    const Case cases[] = {
        {Ctl::Text4, Chars::UpperCase, 6}, {Ctl::Text5, Chars::Passcode, 5},
        {Ctl::Text10, Chars::Digits, 5},   {Ctl::Text31, Chars::Frequency, 8},
        {Ctl::Text7, Chars::Any, 40},      {Ctl::Text8, Chars::Any, 61},
        {Ctl::Text11, Chars::Any, 16},     {Ctl::Text32, Chars::Any, 3},
        {Ctl::Text33, Chars::Any, 20},     {Ctl::Text34, Chars::Any, 20},
        {Ctl::Text9, Chars::Any, 30},      {Ctl::Text13, Chars::Any, 0},
        {Ctl::Combo3, Chars::Any, 0},
    };
    for (const Case& c : cases) {
        const FieldRule rule = fieldRuleFor(c.control);
        EXPECT_EQ(rule.chars, c.chars) << nameOf(c.control).toStdString();
        EXPECT_EQ(rule.maxLength, c.maxLength) << nameOf(c.control).toStdString();
    }
}

TEST(InputRules, CharactersPassConvertedOrNotAtAll) {
    struct Case {
        Chars chars;
        QString in;
        QString out;
    };
    const Case cases[] = {
        {Chars::UpperCase, "dl1abc-9/z", "DL1ABC-9/Z"},
        {Chars::UpperCase, "äöü ÿ", "äöü ÿ"},  // only a to z are converted
        {Chars::Digits, "1a2 3", "123"},
        {Chars::Passcode, "-1a-2", "12"},  // the box itself lets a first "-" in
        {Chars::Digits, "４５./-", ""},    // full-width digits are not 0 to 9
        {Chars::Frequency, "144.640/", "144.640/"},
        {Chars::Frequency, "1,4-4 5+", "1445"},
        {Chars::Any, " x\t", " x\t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(filterChars(c.in, c.chars), c.out) << c.in.toStdString();
    }
}

TEST(InputRules, OnlyTheInsertedCharactersAreFilteredAndCutToTheRoomLeft) {
    const FieldRule callsign{Chars::UpperCase, 6};
    const FieldRule digits{Chars::Digits, 5};
    const FieldRule passcode{Chars::Passcode, 5};
    const FieldRule free{Chars::Any, 0};
    struct Case {
        const char* name;
        FieldRule rule;
        QString before;
        EditState after;
        EditState kept;
    };
    const Case cases[] = {
        {"typed letter", callsign, "DL", {"DLa", 3}, {"DLA", 3}},
        {"typed in the middle", callsign, "DLBC", {"DLaBC", 3}, {"DLABC", 3}},
        {"same letter as the program's before it", callsign, "x", {"xx", 1}, {"Xx", 1}},
        {"seventh key refused", callsign, "DL1ABC", {"DL1ABCD", 7}, {"DL1ABC", 6}},
        {"replacing a selection may fill up", callsign, "DL1ABC", {"DL1AxC", 5}, {"DL1AXC", 5}},
        {"paste cut to the room", callsign, "DL", {"DLdl1abc", 8}, {"DLDL1A", 6}},
        {"program text beyond the limit stays",
         callsign,
         "dl1abcde",
         {"dl1abcd", 7},
         {"dl1abcd", 7}},
        {"no typing beyond the limit", callsign, "LONGCALL", {"LONGCALLX", 9}, {"LONGCALL", 8}},
        {"letter discarded", digits, "12", {"12a", 3}, {"12", 2}},
        {"blank discarded", digits, "12", {"1 2", 2}, {"12", 1}},
        {"pasted mix", digits, "", {" 12a34 ", 7}, {"1234", 4}},
        {"deletion passes", digits, "1a2", {"12", 1}, {"12", 1}},
        {"receive-only passcode", passcode, "", {"-1", 2}, {"-1", 2}},
        {"minus typed first", passcode, "1", {"-1", 1}, {"-1", 1}},
        {"minus after a digit discarded", passcode, "1", {"1-", 2}, {"1", 1}},
        {"second minus discarded", passcode, "-1", {"--1", 1}, {"-1", 0}},
        {"minus in the send interval discarded", digits, "", {"-1", 2}, {"1", 1}},
        {"no rule", free, "ab", {"a b", 2}, {"a b", 2}},
        {"cursor not behind the insertion", digits, "12", {"1x2", 0}, {"12", 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(conformEdit(c.before, c.after, c.rule), c.kept) << c.name;
    }
}

}  // namespace
