#include "gui/inputrules.h"

#include "app/devicesettings.h"

#include <algorithm>

namespace {

bool lets(FieldRule::Chars chars, QChar c) {
    const char16_t code = c.unicode();
    switch (chars) {
        case FieldRule::Chars::Digits:
        case FieldRule::Chars::Passcode:
            return code >= u'0' && code <= u'9';
        case FieldRule::Chars::Frequency:
            return code >= 46 && code <= 57;
        case FieldRule::Chars::UpperCase:
        case FieldRule::Chars::Any:
            break;
    }
    return true;
}

QChar converted(FieldRule::Chars chars, QChar c) {
    const char16_t code = c.unicode();
    if (chars == FieldRule::Chars::UpperCase && code >= u'a' && code <= u'z') {
        return QChar(code - 32);
    }
    return c;
}

qsizetype commonPrefix(const QString& a, const QString& b, qsizetype limit) {
    qsizetype n = 0;
    while (n < limit && a[n] == b[n]) {
        ++n;
    }
    return n;
}

qsizetype commonSuffix(const QString& a, const QString& b, qsizetype limit) {
    qsizetype n = 0;
    while (n < limit && a[a.size() - 1 - n] == b[b.size() - 1 - n]) {
        ++n;
    }
    return n;
}

}  // namespace

FieldRule fieldRuleFor(Ctl id) {
    namespace ds = DeviceSettings;
    FieldRule rule{FieldRule::Chars::Any, designOf(id).maxLength};
    if (id == ds::callsign) {
        rule.chars = FieldRule::Chars::UpperCase;
    } else if (id == ds::passcode) {
        rule.chars = FieldRule::Chars::Passcode;
    } else if (id == ds::sendInterval) {
        rule.chars = FieldRule::Chars::Digits;
    } else if (id == ds::frequency) {
        rule.chars = FieldRule::Chars::Frequency;
    }
    return rule;
}

QString filterChars(const QString& text, FieldRule::Chars chars) {
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (lets(chars, c)) {
            kept.append(converted(chars, c));
        }
    }
    return kept;
}

EditState conformEdit(const QString& before, const EditState& after, const FieldRule& rule) {
    const QString& text = after.text;
    const qsizetype cursor = std::clamp<qsizetype>(after.cursor, 0, text.size());
    // What stands behind the cursor was there before the edit, unless the
    // cursor is not behind the insertion; then the longest common ends tell.
    qsizetype suffix = text.size() - cursor;
    if (suffix > before.size() || !text.endsWith(QStringView(before).right(suffix))) {
        suffix = commonSuffix(before, text, std::min(before.size(), text.size()));
    }
    const qsizetype insertEnd = text.size() - suffix;
    const qsizetype prefix =
        commonPrefix(before, text, std::min(insertEnd, before.size() - suffix));
    const QString typed = text.mid(prefix, insertEnd - prefix);
    QString inserted = filterChars(typed, rule.chars);
    if (rule.chars == FieldRule::Chars::Passcode && prefix == 0 && typed.startsWith(u'-') &&
        !text.right(suffix).startsWith(u'-')) {
        inserted.prepend(u'-');
    }
    if (rule.maxLength > 0) {
        const qsizetype room = rule.maxLength - prefix - suffix;
        inserted.truncate(std::max<qsizetype>(room, 0));
    }
    return {text.left(prefix) + inserted + text.right(suffix),
            static_cast<int>(prefix + inserted.size())};
}
