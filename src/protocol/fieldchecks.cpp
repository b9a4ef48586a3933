#include "protocol/fieldchecks.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"

#include <algorithm>
#include <vector>

namespace {

namespace ds = DeviceSettings;

constexpr int kCallsignPlaces = 6;

// The fields whose text goes to the device unchanged: the addresses only in
// static mode.
std::vector<Ctl> settingsSentAsText(const Form& form) {
    std::vector<Ctl> fields = ds::textSettings();
    if (form.text(ds::addressMode) != ds::kStaticIp) {
        std::erase_if(fields, [](Ctl field) {
            return std::find(ds::addressBoxes.begin(), ds::addressBoxes.end(), field) !=
                   ds::addressBoxes.end();
        });
    }
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
// Each is named by the caption of the label beside it.
std::optional<QString> unsendableIn(const Form& form, const std::vector<Ctl>& fields,
                                    QStringView separators = {}) {
    for (const Ctl field : fields) {
        const QString& value = form.text(field);
        const QString label = form.text(ds::labelOf(field));
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
    // The device takes an empty frequency and then has none to work on.
    if (form.text(ds::frequency).trimmed().isEmpty()) {
        return text(Msg::FrequencyEmpty, form.language());
    }
    return unsendableIn(form, settingsSentAsText(form));
}

std::optional<QString> wifiWriteRefusal(const Form& form) {
    // The device splits "AT+WIFI,name,password#" at its first comma and ends
    // it at the first "#".
    if (auto refusal = unsendableIn(form, {ds::wifiSsid}, u",#")) {
        return refusal;
    }
    return unsendableIn(form, {ds::wifiPassword}, u"#");
}
