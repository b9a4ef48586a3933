#pragma once

#include "app/controls.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// The device's reply lines: "CALLSIGN:NOCALL-9", "IP:192,168,1,99",
// "READ END", "freq save" and so on. A line is recognised by a keyword at its
// very start, compared exactly; values are cut from fixed positions and kept
// as they are. The parser is pure: a line in, effects out.

enum class AckFlag { Connect, ReadEnd, FreqSave, WifiWrite, EeramReset };

struct ReplyEffect {
    enum class Kind {
        SetText,              // control := text
        SetCheck,             // check box control := value
        RaiseFlag,            // flag := 1
        AppendStatusLine,     // status box += CR LF + text
        DisableAddressBoxes,  // the sixteen address boxes
    };
    Kind kind;
    Ctl control = Ctl::Form1;
    QString text;
    int value = 0;
    AckFlag flag = AckFlag::Connect;

    bool operator==(const ReplyEffect&) const = default;
};

struct ParseOutcome {
    // In the order they take effect. When a cut fails, the effects before the
    // failure still apply and the rest of the line is not looked at.
    QList<ReplyEffect> effects;
    bool cutFailed = false;
};

ParseOutcome parseReply(QStringView line);

// False when no keyword stands at the start of the line's bytes, so that the
// receive path need not decode a line that can have no effect.
bool startsWithKeyword(QByteArrayView line);

// The line's bytes from the first one that can begin a reply. A device that
// is powering up may put a stray byte before its first line (a NUL, a control
// byte, 0x7E, a byte of 0x80 or more). Every keyword begins with a letter, so
// a line that begins with a letter, as every well-formed reply does, is left
// exactly as it is; only a line that could match no keyword changes.
QByteArrayView withoutLeadingNoise(QByteArrayView line);
