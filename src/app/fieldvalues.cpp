#include "app/fieldvalues.h"

#include <QRegularExpression>

namespace {

// Only ASCII digits: the device reads nothing else as a number.
bool isDigits(const QString& text) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    return digits.match(text).hasMatch();
}

bool isNumberUpTo(const QString& text, int highest) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return isDigits(text) && ok && value <= highest;
}

}  // namespace

QString bandList() {
    QStringList bands;
    for (const Band& band : kDeviceBands) {
        bands << QStringLiteral("%1-%2").arg(band.lowMHz).arg(band.highMHz);
    }
    return bands.join(QStringLiteral(", "));
}

bool isBandFrequency(const QString& text) {
    static const QRegularExpression mhz(QStringLiteral("^[0-9]{1,4}(\\.[0-9]*)?$"));
    if (!mhz.match(text).hasMatch()) {
        return false;
    }
    const double value = text.toDouble();
    for (const Band& band : kDeviceBands) {
        if (value >= band.lowMHz && value <= band.highMHz) {
            return true;
        }
    }
    return false;
}

bool isSsid(const QString& text) {
    return isNumberUpTo(text, 15);
}

bool isOctet(const QString& text) {
    return isNumberUpTo(text, 255);
}

bool isZeroInterval(const QString& text) {
    return isDigits(text) && text.count(u'0') == text.size();
}
