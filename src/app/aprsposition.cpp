#include "app/aprsposition.h"

namespace {

// Reads degrees and minutes written as degreeDigits digits, two of minutes,
// a point and two of hundredths; blanks may stand for the last digits.
// Returns the hundredths of minutes, or -1 when the text is not such a value.
int hundredthsOfMinutes(QStringView field, qsizetype degreeDigits) {
    const qsizetype length = degreeDigits + 5;
    if (field.size() != length || field[degreeDigits + 2] != u'.') {
        return -1;
    }
    int degrees = 0;
    int minutes = 0;
    bool blanked = false;
    for (qsizetype i = 0; i < length; ++i) {
        if (i == degreeDigits + 2) {
            continue;
        }
        const QChar c = field[i];
        int digit = 0;
        if (c == u' ') {
            blanked = true;
        } else if (c.isDigit() && c.unicode() < 128 && !blanked) {
            digit = c.unicode() - u'0';
        } else {
            return -1;
        }
        int& part = i < degreeDigits ? degrees : minutes;
        part = part * 10 + digit;
    }
    return minutes >= 6000 ? -1 : degrees * 6000 + minutes;
}

bool isSymbolTable(QChar c) {
    const char16_t code = c.unicode();
    return code == u'/' || code == u'\\' || (code >= u'0' && code <= u'9') ||
           (code >= u'A' && code <= u'Z');
}

bool isSymbol(QChar c) {
    return c.unicode() >= u'!' && c.unicode() <= u'~';
}

constexpr int kLatitudeDigits = 2;
constexpr int kLongitudeDigits = 3;
constexpr int kLatitudeLength = kLatitudeDigits + 6;    // ddmm.mmN
constexpr int kLongitudeLength = kLongitudeDigits + 6;  // dddmm.mmE
constexpr int kPositionLength = kLatitudeLength + 1 + kLongitudeLength + 1;

}  // namespace

bool isUncompressedPosition(QStringView text) {
    if (text.startsWith(u'!') || text.startsWith(u'=')) {
        text = text.mid(1);
    }
    if (text.size() < kPositionLength) {
        return false;
    }
    const int latitude = hundredthsOfMinutes(text.left(kLatitudeLength - 1), kLatitudeDigits);
    const QChar northSouth = text[kLatitudeLength - 1];
    const QChar table = text[kLatitudeLength];
    const QStringView longitudeText = text.mid(kLatitudeLength + 1, kLongitudeLength);
    const int longitude =
        hundredthsOfMinutes(longitudeText.left(kLongitudeLength - 1), kLongitudeDigits);
    const QChar eastWest = longitudeText.back();
    return latitude >= 0 && latitude <= 90 * 6000 && (northSouth == u'N' || northSouth == u'S') &&
           isSymbolTable(table) && longitude >= 0 && longitude <= 180 * 6000 &&
           (eastWest == u'E' || eastWest == u'W') && isSymbol(text[kPositionLength - 1]);
}
