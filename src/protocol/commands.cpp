#include "protocol/commands.h"

#include "app/devicesettings.h"

namespace Commands {
namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

QByteArray bare(const char* keyword) {
    return QByteArray(keyword) + '#' + kLineEnd;
}

QByteArray withArgument(const char* keyword, const QString& argument,
                        TextEncoding encoding = TextEncoding::Utf8) {
    return QByteArray("AT+") + keyword + ',' + encodeText(argument, encoding) + '#' + kLineEnd;
}

QByteArray withOctets(const char* keyword, const Octets& octets) {
    return withArgument(keyword, octetsArgument(octets));
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

QByteArray callsign(const QString& callsign, const QString& ssid) {
    return withArgument("CALL", callsignArgument(callsign, ssid));
}

QByteArray passcode(const QString& passcode) {
    return withArgument("PASS", passcode);
}

QByteArray addressMode(const QString& mode) {
    return withArgument("DHCP", addressModeArgument(mode));
}

QByteArray ipAddress(const Octets& octets) {
    return withOctets("IP", octets);
}

QByteArray subnetMask(const Octets& octets) {
    return withOctets("SUB", octets);
}

QByteArray gateway(const Octets& octets) {
    return withOctets("GW", octets);
}

QByteArray dnsServer(const Octets& octets) {
    return withOctets("DNS", octets);
}

QByteArray position(const QString& position, TextEncoding encoding) {
    return withArgument("POSI", position, encoding);
}

QByteArray comment(const QString& comment, TextEncoding encoding) {
    return withArgument("COMMENT", comment, encoding);
}

QByteArray server(const QString& server, TextEncoding encoding) {
    return withArgument("SERVER", server, encoding);
}

QByteArray sendInterval(const QString& interval) {
    return withArgument("TIME", interval);
}

QByteArray filter(const QString& filter, TextEncoding encoding) {
    return withArgument("FILTER", filter, encoding);
}

QByteArray backlight(const QString& time) {
    return withArgument("BACKLIGHT", backlightArgument(time));
}

QByteArray distanceUnit(const QString& unit) {
    return withArgument("UNIT", distanceUnitCode(unit));
}

QByteArray digipeat(bool on) {
    return withArgument("DIGI", on ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray modulation(const QString& level) {
    return withArgument("MOD", level);
}

QByteArray txPath(const QString& path) {
    return withArgument("PATH", txPathCode(path));
}

QByteArray digiAlias(const QString& alias) {
    return withArgument("ALIAS", digiAliasCode(alias));
}

QByteArray frequency(const QString& frequency) {
    return kLineEnd + withArgument("FREQ", frequency);
}

QByteArray wifi(const QString& ssid, const QString& password) {
    return withArgument("WIFI", ssid + u',' + password);
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
