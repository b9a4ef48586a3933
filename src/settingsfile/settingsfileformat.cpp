#include "settingsfile/settingsfileformat.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "serial/textencoding.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

namespace ds = DeviceSettings;

constexpr std::array<Ctl, 4> kFreeTextFields{ds::position, ds::comment, ds::server, ds::filter};

// The one-digit codes of the unit, path and alias lines, in list order. A
// text that is not a list item is saved with the fall-back code; for the
// unit that is "1" here, where the write sends "2".
QString code(const QString& text, const QStringList& items, int firstCode, int fallBack) {
    const qsizetype index = items.indexOf(text);
    return QString::number(index < 0 ? fallBack : firstCode + static_cast<int>(index));
}

QString octets(const Form& form, const ds::Octets& boxes) {
    return form.text(boxes[0]) + u',' + form.text(boxes[1]) + u',' + form.text(boxes[2]) + u',' +
           form.text(boxes[3]);
}

QString callsignLine(const Form& form) {
    // The device expects the "-" as the 16th character of the line; blanks
    // fill a shorter callsign up to 6 characters.
    return QStringLiteral("CALLSIGN:") + form.text(ds::callsign).leftJustified(6, u' ') + u'-' +
           form.text(ds::callSsid);
}

QString addressModeLine(const Form& form) {
    return form.text(ds::addressMode) == ds::kStaticIp ? QStringLiteral("DHCP:0#")
                                                       : QStringLiteral("DHCP:1#");
}

QString backlightLine(const Form& form) {
    const QString time = form.text(ds::backlight);
    return QStringLiteral("BACKLIGHT:") + (time == u"ON" ? QStringLiteral("00") : time);
}

}  // namespace

QStringList settingsFileLines(const Form& form) {
    return {
        QStringLiteral("[KORVA]"),
        QString(),
        callsignLine(form),
        QStringLiteral("PASS:") + form.text(ds::passcode),
        addressModeLine(form),
        QStringLiteral("IP:") + octets(form, ds::ipAddress),
        QStringLiteral("MASK:") + octets(form, ds::subnetMask),
        QStringLiteral("GATE:") + octets(form, ds::gateway),
        QStringLiteral("DNS:") + octets(form, ds::dnsServer),
        QStringLiteral("POSITION:") + form.text(ds::position),
        QStringLiteral("COMMENT TEXT:") + form.text(ds::comment),
        QStringLiteral("SERVER:") + form.text(ds::server),
        QStringLiteral("SENT TIME:") + form.text(ds::sendInterval).rightJustified(4, u'0'),
        QStringLiteral("FILTER:") + form.text(ds::filter),
        backlightLine(form),
        QStringLiteral("FREQ:") + form.text(ds::frequency),
        QStringLiteral("UNIT:") + code(form.text(ds::distanceUnit), ds::distanceUnitItems(), 1, 1),
        QStringLiteral("DIGI:") + (form.value(ds::digipeat) == 1 ? u'1' : u'0'),
        QStringLiteral("MOD:") + form.text(ds::modulation),
        QStringLiteral("PATH:") + code(form.text(ds::txPath), ds::txPathItems(), 0, 1),
        QStringLiteral("ALIAS:") + code(form.text(ds::digiAlias), ds::digiAliasItems(), 1, 3),
    };
}

QByteArray settingsFileBytes(const Form& form) {
    // A file in GB18030 when any free-text field's text arrived in it, so that
    // it loads back, and goes to the device, as the device sent it. A file
    // holds one encoding: the load decides on the whole file, since a short
    // GB18030 line may pass for UTF-8.
    const bool gb18030 =
        std::any_of(kFreeTextFields.begin(), kFreeTextFields.end(),
                    [&form](Ctl field) { return form.encoding(field) == TextEncoding::Gb18030; });
    QByteArray bytes;
    for (const QString& line : settingsFileLines(form)) {
        bytes += encodeText(line, gb18030 ? TextEncoding::Gb18030 : TextEncoding::Utf8) + "\r\n";
    }
    return bytes;
}

std::optional<Ctl> labelOfFieldWithLineBreak(const Form& form) {
    // Every field whose text goes into the file as it is, after the label the
    // window shows beside it. The coded fields cannot carry a line break.
    const auto octets = [](const ds::Octets& boxes) {
        return std::vector<Ctl>(boxes.begin(), boxes.end());
    };
    const std::pair<Ctl, std::vector<Ctl>> labelledFields[] = {
        {Ctl::Label4, {ds::callsign, ds::callSsid}},
        {Ctl::Label1, {ds::passcode}},
        {Ctl::Label12, octets(ds::ipAddress)},
        {Ctl::Label13, octets(ds::subnetMask)},
        {Ctl::Label14, octets(ds::gateway)},
        {Ctl::Label15, octets(ds::dnsServer)},
        {Ctl::Label6, {ds::position, ds::comment}},
        {Ctl::Label7, {ds::server}},
        {Ctl::Label8, {ds::sendInterval}},
        {Ctl::Label10, {ds::filter}},
        {Ctl::Label18, {ds::backlight}},
        {Ctl::Label24, {ds::modulation}},
        {Ctl::Label16, {ds::frequency}},
    };
    for (const auto& [label, fields] : labelledFields) {
        for (const Ctl field : fields) {
            const QString value = form.text(field);
            if (value.contains(u'\r') || value.contains(u'\n')) {
                return label;
            }
        }
    }
    return std::nullopt;
}
