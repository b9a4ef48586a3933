#include "settingsfile/settingsfileformat.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"
#include "protocol/commands.h"
#include "serial/textencoding.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

namespace ds = DeviceSettings;

constexpr std::array<Ctl, 4> kFreeTextFields{ds::position, ds::comment, ds::server, ds::filter};

QString octets(const Form& form, const ds::Octets& boxes) {
    return Commands::octetsArgument(
        {form.text(boxes[0]), form.text(boxes[1]), form.text(boxes[2]), form.text(boxes[3])});
}

// A file in GB18030 when any free-text field's text arrived in it, so that
// it loads back, and goes to the device, as the device sent it. A file holds
// one encoding: the load decides on the whole file, since a short GB18030
// line may pass for UTF-8.
TextEncoding fileEncoding(const Form& form) {
    const bool gb18030 =
        std::any_of(kFreeTextFields.begin(), kFreeTextFields.end(),
                    [&form](Ctl field) { return form.encoding(field) == TextEncoding::Gb18030; });
    return gb18030 ? TextEncoding::Gb18030 : TextEncoding::Utf8;
}

QString encodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Gb18030 ? QStringLiteral("GB18030") : QStringLiteral("UTF-8");
}

}  // namespace

QStringList settingsFileLines(const Form& form) {
    return {
        QStringLiteral("[KORVA]"),
        QString(),
        // The device expects the "-" as the 16th character of the line.
        QStringLiteral("CALLSIGN:") +
            Commands::callsignArgument(form.text(ds::callsign), form.text(ds::callSsid)),
        QStringLiteral("PASS:") + form.text(ds::passcode),
        QStringLiteral("DHCP:") + Commands::addressModeArgument(form.text(ds::addressMode)) + u'#',
        QStringLiteral("IP:") + octets(form, ds::ipAddress),
        QStringLiteral("MASK:") + octets(form, ds::subnetMask),
        QStringLiteral("GATE:") + octets(form, ds::gateway),
        QStringLiteral("DNS:") + octets(form, ds::dnsServer),
        QStringLiteral("POSITION:") + form.text(ds::position),
        QStringLiteral("COMMENT TEXT:") + form.text(ds::comment),
        QStringLiteral("SERVER:") + form.text(ds::server),
        QStringLiteral("SENT TIME:") + form.text(ds::sendInterval).rightJustified(4, u'0'),
        QStringLiteral("FILTER:") + form.text(ds::filter),
        QStringLiteral("BACKLIGHT:") + Commands::backlightArgument(form.text(ds::backlight)),
        QStringLiteral("FREQ:") + form.text(ds::frequency),
        QStringLiteral("UNIT:") + Commands::distanceUnitCode(form.text(ds::distanceUnit), 1),
        QStringLiteral("DIGI:") + (form.value(ds::digipeat) == 1 ? u'1' : u'0'),
        QStringLiteral("MOD:") + form.text(ds::modulation),
        QStringLiteral("PATH:") + Commands::txPathCode(form.text(ds::txPath)),
        QStringLiteral("ALIAS:") + Commands::digiAliasCode(form.text(ds::digiAlias)),
    };
}

std::vector<Ctl> settingLineControls() {
    return {ds::callsign,      ds::passcode,   ds::addressMode,  ds::ipAddress[0],
            ds::subnetMask[0], ds::gateway[0], ds::dnsServer[0], ds::position,
            ds::comment,       ds::server,     ds::sendInterval, ds::filter,
            ds::backlight,     ds::frequency,  ds::distanceUnit, ds::digipeat,
            ds::modulation,    ds::txPath,     ds::digiAlias};
}

QByteArray settingsFileBytes(const Form& form) {
    QByteArray bytes;
    for (const QString& line : settingsFileLines(form)) {
        bytes += encodeText(line, fileEncoding(form)) + "\r\n";
    }
    return bytes;
}

QStringList fieldsNotHeldExactly(const Form& form) {
    const TextEncoding file = fileEncoding(form);
    const Language language = form.language();
    QStringList told;
    for (const Ctl field : ds::textSettings()) {
        const bool freeText = std::find(kFreeTextFields.begin(), kFreeTextFields.end(), field) !=
                              kFreeTextFields.end();
        // What a write sends now, against what it sends after a load of the file.
        const QByteArray sent =
            form.bytes(field, freeText ? form.encoding(field) : TextEncoding::Utf8);
        if (sent == encodeText(form.text(field), file)) {
            continue;
        }
        const QString label = lineKeywordOf(field);
        const DecodedText now = decodeText(sent);
        told << (now.valid ? text(Msg::FieldHeldInOtherEncoding, language)
                                 .arg(label, encodingName(now.encoding), encodingName(file))
                           : text(Msg::FieldNotHeldAsText, language).arg(label));
    }
    return told;
}

QString lineKeywordOf(Ctl field) {
    const std::pair<Ctl, const char*> lines[] = {
        {ds::callsign, "CALLSIGN"}, {ds::callSsid, "CALLSIGN"},
        {ds::passcode, "PASS"},     {ds::addressMode, "DHCP"},
        {ds::position, "POSITION"}, {ds::comment, "COMMENT TEXT"},
        {ds::server, "SERVER"},     {ds::sendInterval, "SENT TIME"},
        {ds::filter, "FILTER"},     {ds::backlight, "BACKLIGHT"},
        {ds::frequency, "FREQ"},    {ds::distanceUnit, "UNIT"},
        {ds::digipeat, "DIGI"},     {ds::modulation, "MOD"},
        {ds::txPath, "PATH"},       {ds::digiAlias, "ALIAS"},
    };
    for (const auto& [setting, keyword] : lines) {
        if (setting == field) {
            return QString::fromLatin1(keyword);
        }
    }
    const std::pair<const ds::Octets*, const char*> rows[] = {{&ds::ipAddress, "IP"},
                                                              {&ds::subnetMask, "MASK"},
                                                              {&ds::gateway, "GATE"},
                                                              {&ds::dnsServer, "DNS"}};
    for (const auto& [boxes, keyword] : rows) {
        if (std::find(boxes->begin(), boxes->end(), field) != boxes->end()) {
            return QString::fromLatin1(keyword);
        }
    }
    return {};
}

std::optional<Ctl> labelOfFieldWithLineBreak(const Form& form) {
    // Every field whose text goes into the file as it is; the coded fields
    // cannot carry a line break.
    for (const Ctl field : ds::textSettings()) {
        const QString value = form.text(field);
        if (value.contains(u'\r') || value.contains(u'\n')) {
            return ds::labelOf(field);
        }
    }
    return std::nullopt;
}
