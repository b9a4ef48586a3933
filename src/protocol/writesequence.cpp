#include "protocol/writesequence.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "protocol/commands.h"

#include <QByteArrayList>

#include <algorithm>

namespace {

namespace ds = DeviceSettings;

constexpr int kPauseMs = 200;
constexpr int kAfterDnsMs = 400;

// A field as bytes: those its text arrived as while it is unedited, else its
// text, free text in the encoding it arrived in.
using Bytes = QByteArray (*)(const Form& form, Ctl field, TextEncoding encoding);

QByteArray asTyped(const Form& form, Ctl field, TextEncoding encoding) {
    return form.bytes(field, encoding);
}

QByteArray callsign(const Form& form, Ctl, TextEncoding encoding) {
    // The callsign padded to its six places, as Commands::callsignArgument does.
    const qsizetype padding = std::max<qsizetype>(0, 6 - form.text(ds::callsign).size());
    return form.bytes(ds::callsign, encoding) + QByteArray(padding, ' ') + '-' +
           form.bytes(ds::callSsid, encoding);
}

QByteArray addressMode(const Form& form, Ctl field, TextEncoding) {
    return Commands::addressModeArgument(form.text(field)).toUtf8();
}

template <const ds::Octets& boxes>
QByteArray octets(const Form& form, Ctl, TextEncoding encoding) {
    QByteArrayList parts;
    for (const Ctl box : boxes) {
        parts << form.bytes(box, encoding);
    }
    return parts.join(',');
}

QByteArray backlight(const Form& form, Ctl field, TextEncoding encoding) {
    return form.text(field) == u"ON" ? Commands::backlightArgument(form.text(field)).toUtf8()
                                     : form.bytes(field, encoding);
}

QByteArray distanceUnit(const Form& form, Ctl field, TextEncoding) {
    return Commands::distanceUnitCode(form.text(field)).toUtf8();
}

QByteArray digipeat(const Form& form, Ctl field, TextEncoding) {
    return form.value(field) == 1 ? "1" : "0";
}

QByteArray txPath(const Form& form, Ctl field, TextEncoding) {
    return Commands::txPathCode(form.text(field)).toUtf8();
}

QByteArray digiAlias(const Form& form, Ctl field, TextEncoding) {
    return Commands::digiAliasCode(form.text(field)).toUtf8();
}

// A setting's command: its keyword, the field it carries, how the field
// becomes the argument, and the pause after it. Free text goes in the
// encoding it arrived in.
struct SettingCommand {
    const char* keyword;
    Ctl field;
    Bytes argument = asTyped;
    bool freeText = false;
    int pauseMs = kPauseMs;
};

const SettingCommand kBeforeAddresses[] = {
    {"CALL", ds::callsign, callsign},
    {"PASS", ds::passcode},
    {"DHCP", ds::addressMode, addressMode},
};

const SettingCommand kAddresses[] = {
    {"IP", ds::ipAddress[0], octets<ds::ipAddress>},
    {"SUB", ds::subnetMask[0], octets<ds::subnetMask>},
    {"GW", ds::gateway[0], octets<ds::gateway>},
    {"DNS", ds::dnsServer[0], octets<ds::dnsServer>, false, kAfterDnsMs},
};

const SettingCommand kAfterAddresses[] = {
    {"POSI", ds::position, asTyped, true},
    {"COMMENT", ds::comment, asTyped, true},
    {"SERVER", ds::server, asTyped, true},
    {"TIME", ds::sendInterval},
    {"FILTER", ds::filter, asTyped, true},
    {"BACKLIGHT", ds::backlight, backlight},
    {"UNIT", ds::distanceUnit, distanceUnit},
    {"DIGI", ds::digipeat, digipeat},
    {"MOD", ds::modulation},
    {"PATH", ds::txPath, txPath},
    {"ALIAS", ds::digiAlias, digiAlias, false, 0},
};

void append(QList<WriteStep>& steps, const Form& form, const SettingCommand& command) {
    const TextEncoding encoding =
        command.freeText ? form.encoding(command.field) : TextEncoding::Utf8;
    steps << WriteStep{
        Commands::setting(command.keyword, command.argument(form, command.field, encoding)),
        command.pauseMs};
}

}  // namespace

QList<WriteStep> writeSequence(const Form& form) {
    QList<WriteStep> steps;
    for (const SettingCommand& command : kBeforeAddresses) {
        append(steps, form, command);
    }
    if (form.text(ds::addressMode) == ds::kStaticIp) {
        for (const SettingCommand& command : kAddresses) {
            append(steps, form, command);
        }
    }
    for (const SettingCommand& command : kAfterAddresses) {
        append(steps, form, command);
    }
    // Like the set-up request, the frequency command starts a fresh line.
    steps << WriteStep{
        "\r\n" + Commands::setting("FREQ", form.bytes(ds::frequency, TextEncoding::Utf8)),
        kPauseMs};
    return steps;
}
