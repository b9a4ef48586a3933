#include "protocol/commands.h"

#include "app/devicesettings.h"

namespace Commands {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QByteArray bare(const char* keyword) {
    return QByteArray(keyword) + '#' + kLineEnd;
}

// The position of text in the field's list, counted from first; the fallback
// for a text the list does not hold.
QString listCode(const QStringList& items, const QString& text, int first, int fallback) {
    const qsizetype index = items.indexOf(text);
    return QString::number(index < 0 ? fallback : first + index);
}

}  // namespace

QByteArray setup() {
    return kLineEnd + bare("SETUP");
}

QByteArray read() {
    return bare("AT+READ");
}

QByteArray setting(const char* keyword, const QString& argument, TextEncoding encoding) {
    return setting(keyword, encodeText(argument, encoding));
}

QByteArray setting(const char* keyword, const QByteArray& argument) {
    return QByteArray("AT+") + keyword + ',' + argument + '#' + kLineEnd;
}

QByteArray wifi(const QString& ssid, const QString& password) {
    return setting("WIFI", ssid + u',' + password);
}

QByteArray reboot() {
    return bare("REBOOT");
}

QByteArray reset() {
    return bare("AT+RESET");
}

QString callsignArgument(const QString& callsign, const QString& ssid) {
    return callsign.leftJustified(6, u' ') + u'-' + ssid;
}

QString addressModeArgument(const QString& mode) {
    return mode == DeviceSettings::kStaticIp ? QStringLiteral("0") : QStringLiteral("1");
}

QString octetsArgument(const Octets& octets) {
    return QStringList{octets[0], octets[1], octets[2], octets[3]}.join(u',');
}

QString backlightArgument(const QString& time) {
    // The device stores "always on" as a zero time.
    return time == u"ON" ? QStringLiteral("00") : time;
}

QString distanceUnitCode(const QString& unit, int unlisted) {
    return listCode(DeviceSettings::distanceUnitItems(), unit, 1, unlisted);
}

QString txPathCode(const QString& path) {
    return listCode(DeviceSettings::txPathItems(), path, 0, 1);
}

QString digiAliasCode(const QString& alias) {
    return listCode(DeviceSettings::digiAliasItems(), alias, 1, 3);
}

}  // namespace Commands
