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

std::optional<QString> lineBreakIn(const Form& form, const std::vector<SentField>& fields) {
    for (const SentField& sent : fields) {
        const QString& value = form.text(sent.field);
        if (value.contains(u'\r') || value.contains(u'\n')) {
            return text(Msg::LineBreakInField, form.language()).arg(form.text(sent.label));
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
    return lineBreakIn(form, settingsSentAsText(form));
}

std::optional<QString> wifiWriteRefusal(const Form& form) {
    return lineBreakIn(form, {{ds::wifiSsid, Ctl::Label23}, {ds::wifiPassword, Ctl::Label20}});
}
