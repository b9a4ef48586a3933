#pragma once

#include "app/controls.h"

#include <QString>

// The rules a few boxes apply to what the user puts into them: which
// characters they take, and how many characters may be typed. Text that the
// program sets is never filtered or cut.
struct FieldRule {
    enum class Chars {
        Any,
        UpperCase,  // a to z become A to Z (the callsign)
        Digits,     // 0 to 9 only (send interval)
        Passcode,   // 0 to 9, and "-" as the first character (-1: receive only)
        Frequency,  // codes 46 to 57: ".", "/" and 0 to 9
    };
    Chars chars = Chars::Any;
    int maxLength = 0;  // 0: no limit

    bool isFree() const { return chars == Chars::Any && maxLength == 0; }
};

FieldRule fieldRuleFor(Ctl id);

// The characters of text that the rule lets in, converted where it says so.
QString filterChars(const QString& text, FieldRule::Chars chars);

// A box's text and where its cursor stands.
struct EditState {
    QString text;
    int cursor = 0;

    bool operator==(const EditState&) const = default;
};

// An edit of the user's (typing, pasting, dropping, an input method) as the
// rule lets it happen. The edit turned before into after and left the cursor
// just behind what it inserted; only the inserted characters are filtered,
// and they are cut to the room the typed-length limit leaves. Characters the
// program put into the box stay as they are, even beyond the limit.
EditState conformEdit(const QString& before, const EditState& after, const FieldRule& rule);
