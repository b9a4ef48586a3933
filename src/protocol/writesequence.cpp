#include "protocol/writesequence.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "protocol/commands.h"

namespace {

namespace ds = DeviceSettings;

constexpr int kPauseMs = 200;
constexpr int kAfterDnsMs = 400;

QString asTyped(const Form& form, Ctl field) {
    return form.text(field);
}

QString callsign(const Form& form, Ctl) {
    return Commands::callsignArgument(form.text(ds::callsign), form.text(ds::callSsid));
}

QString addressMode(const Form& form, Ctl field) {
    return Commands::addressModeArgument(form.text(field));
}

template <const ds::Octets& boxes>
QString octets(const Form& form, Ctl) {
    return Commands::octetsArgument(
        {form.text(boxes[0]), form.text(boxes[1]), form.text(boxes[2]), form.text(boxes[3])});
}

QString backlight(const Form& form, Ctl field) {
    return Commands::backlightArgument(form.text(field));
}

QString distanceUnit(const Form& form, Ctl field) {
    return Commands::distanceUnitCode(form.text(field));
}

QString digipeat(const Form& form, Ctl field) {
    return form.value(field) == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

QString txPath(const Form& form, Ctl field) {
    return Commands::txPathCode(form.text(field));
}

QString digiAlias(const Form& form, Ctl field) {
    return Commands::digiAliasCode(form.text(field));
}

// A setting's command: its keyword, the field it carries, how the field's
// text becomes the argument, and the pause after it. Free text goes in the
// encoding it arrived in.
struct SettingCommand {
    const char* keyword;
    Ctl field;
    QString (*argument)(const Form& form, Ctl field) = asTyped;
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
        Commands::setting(command.keyword, command.argument(form, command.field), encoding),
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
    steps << WriteStep{"\r\n" + Commands::setting("FREQ", form.text(ds::frequency)), kPauseMs};
    return steps;
}
