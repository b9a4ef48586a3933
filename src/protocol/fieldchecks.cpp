#include "protocol/fieldchecks.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"

#include <vector>

namespace {

namespace ds = DeviceSettings;

// A field whose text goes to the device unchanged, and the label beside it,
// whose caption names the field in the window's language.
struct SentField {
    Ctl field;
    Ctl label;
};

constexpr int kCallsignPlaces = 6;

std::vector<SentField> settingsSentAsText(const Form& form) {
    std::vector<SentField> fields{
        {ds::callsign, Ctl::Label4},
        {ds::callSsid, Ctl::Label4},
        {ds::passcode, Ctl::Label1},
    };
    if (form.text(ds::addressMode) == ds::kStaticIp) {
        const std::array<std::pair<const ds::Octets*, Ctl>, 4> groups{{
            {&ds::ipAddress, Ctl::Label12},
            {&ds::subnetMask, Ctl::Label13},
            {&ds::gateway, Ctl::Label14},
            {&ds::dnsServer, Ctl::Label15},
        }};
        for (const auto& [boxes, label] : groups) {
            for (const Ctl box : *boxes) {
                fields.push_back({box, label});
            }
        }
    }
    fields.insert(fields.end(), {{ds::position, Ctl::Label6},
                                 {ds::comment, Ctl::Label6},
                                 {ds::server, Ctl::Label7},
                                 {ds::sendInterval, Ctl::Label8},
                                 {ds::filter, Ctl::Label10},
                                 {ds::backlight, Ctl::Label18},
                                 {ds::modulation, Ctl::Label24},
                                 {ds::frequency, Ctl::Label16}});
    return fields;
}

bool isControl(QChar c) {
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// How a refusal names a character: as it is when it can be seen, by its code
// otherwise.
QString characterName(QChar c) {
    return isControl(c) ? QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0')).toUpper()
                        : QStringLiteral("\"%1\"").arg(c);
}

// Why a field's text cannot go to the device as it is: a line break would
// end the command early, any other control byte is no text the device can
// store, and a field may have characters of its own that its command uses as
// separators.
std::optional<QString> unsendableIn(const Form& form, const std::vector<SentField>& fields,
                                    QStringView separators = {}) {
    for (const SentField& sent : fields) {
        const QString& value = form.text(sent.field);
        const QString label = form.text(sent.label);
        if (value.contains(u'\r') || value.contains(u'\n')) {
            return text(Msg::LineBreakInField, form.language()).arg(label);
        }
        for (const QChar c : value) {
            if (isControl(c) || separators.contains(c)) {
                return text(Msg::UnsendableCharacter, form.language()).arg(label, characterName(c));
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<QString> writeRefusal(const Form& form) {
    const QString callsign = form.text(ds::callsign);
    if (callsign.trimmed().isEmpty()) {
        return text(Msg::CallsignEmpty, form.language());
    }
    if (callsign.size() > kCallsignPlaces) {
        return text(Msg::CallsignTooLong, form.language());
    }
    return unsendableIn(form, settingsSentAsText(form));
}

std::optional<QString> wifiWriteRefusal(const Form& form) {
    // The device splits "AT+WIFI,name,password#" at its first comma and ends
    // it at the first "#".
    if (auto refusal = unsendableIn(form, {{ds::wifiSsid, Ctl::Label23}}, u",#")) {
        return refusal;
    }
    return unsendableIn(form, {{ds::wifiPassword, Ctl::Label20}}, u"#");
}
