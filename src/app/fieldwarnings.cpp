#include "app/fieldwarnings.h"

#include "app/aprspasscode.h"
#include "app/aprsposition.h"
#include "app/devicesettings.h"
#include "app/fieldvalues.h"
#include "app/form.h"
#include "app/texts.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <optional>

namespace {

namespace ds = DeviceSettings;

// The first box of the row that holds no octet, as a warning beside the
// row's label. An empty box counts here: in static mode every octet is sent.
std::optional<FieldWarning> addressRowWarning(const Form& form, const ds::Octets& boxes) {
    const Ctl label = ds::labelOf(boxes[0]);
    const auto wrong = std::find_if(boxes.begin(), boxes.end(),
                                    [&form](Ctl box) { return !isOctet(form.text(box)); });
    if (wrong == boxes.end()) {
        return std::nullopt;
    }
    return FieldWarning{
        label,
        text(Msg::OctetOutOfRange, form.language()).arg(form.text(label), form.text(*wrong))};
}

// The text boxes that are sent as they are. Typing stops at the box's limit;
// a settings file can bring more, which the device may cut or drop: it takes
// lines of at most 512 bytes.
constexpr std::array kLimitedBoxes{ds::passcode,     ds::position, ds::comment,
                                   ds::sendInterval, ds::filter,   ds::frequency};

void addLengthWarnings(const Form& form, std::vector<FieldWarning>& warnings) {
    for (const Ctl box : kLimitedBoxes) {
        const qsizetype length = form.text(box).size();
        if (length > form.maxLength(box)) {
            warnings.push_back({box, text(Msg::FieldTooLong, form.language())
                                         .arg(form.text(ds::labelOf(box)))
                                         .arg(length)
                                         .arg(form.maxLength(box))});
        }
    }
}

// A "#" ends a command on the device, which reads up to the first one; the
// free text may hold one all the same (an APRS symbol), so it only warns.
void addHashWarnings(const Form& form, std::vector<FieldWarning>& warnings) {
    for (const Ctl field : {ds::position, ds::comment, ds::server, ds::filter}) {
        if (form.text(field).contains(u'#')) {
            warnings.push_back(
                {field,
                 text(Msg::HashInField, form.language()).arg(form.text(ds::labelOf(field)))});
        }
    }
}

// What is noted about where a field's text came from, beside the field (an
// address box's beside its row's label).
void addNotes(const Form& form, std::vector<FieldWarning>& warnings) {
    for (const Ctl field : ds::allSettings()) {
        if (!form.note(field).isEmpty()) {
            const bool address = std::find(ds::addressBoxes.begin(), ds::addressBoxes.end(),
                                           field) != ds::addressBoxes.end();
            warnings.push_back({address ? ds::labelOf(field) : field, form.note(field)});
        }
    }
}

}  // namespace

std::vector<FieldWarning> writeWarnings(const Form& form) {
    const auto say = [&form](Msg message) { return text(message, form.language()); };
    std::vector<FieldWarning> warnings;
    const auto check = [&form, &warnings](Ctl field, bool passes, const QString& warning) {
        // A read clears the lists' boxes to a single blank: still an empty box.
        if (!passes && !form.text(field).trimmed().isEmpty()) {
            warnings.push_back({field, warning});
        }
    };
    const QString ssid = form.text(ds::callSsid);
    check(ds::callSsid, isSsid(ssid), say(Msg::SsidOutOfRange).arg(ssid));
    check(ds::position, isUncompressedPosition(form.text(ds::position)),
          say(Msg::PositionNotAprs).arg(form.text(ds::labelOf(ds::position))));
    check(ds::sendInterval, !isZeroInterval(form.text(ds::sendInterval)),
          say(Msg::SendIntervalZero).arg(form.text(ds::labelOf(ds::sendInterval))));
    if (form.text(ds::addressMode) == ds::kStaticIp) {
        for (const ds::Octets* boxes :
             {&ds::ipAddress, &ds::subnetMask, &ds::gateway, &ds::dnsServer}) {
            if (auto warning = addressRowWarning(form, *boxes)) {
                warnings.push_back(std::move(*warning));
            }
        }
    }
    const QString frequency = form.text(ds::frequency);
    check(ds::frequency, isBandFrequency(frequency),
          say(Msg::FrequencyOutsideBands)
              .arg(form.text(ds::labelOf(ds::frequency)), frequency, bandList()));
    addLengthWarnings(form, warnings);
    addHashWarnings(form, warnings);
    addNotes(form, warnings);
    return warnings;
}

QString passcodeWarning(const Form& form) {
    static const QRegularExpression number(QStringLiteral("^-?[0-9]{1,9}$"));
    const QString passcode = form.text(ds::passcode);
    const QString callsign = form.text(ds::callsign).trimmed();
    if (callsign.isEmpty() || !number.match(passcode).hasMatch()) {
        return {};
    }
    const int value = passcode.toInt();
    const int expected = aprsPasscode(callsign);
    if (value == kReceiveOnlyPasscode || value == expected) {
        return {};
    }
    return text(Msg::PasscodeMismatch, form.language()).arg(callsign.toUpper()).arg(expected);
}

const std::vector<Ctl>& warnedControls() {
    static const std::vector<Ctl> controls{
        ds::callsign, ds::callSsid,     ds::passcode, ds::addressMode, Ctl::Label12,
        Ctl::Label13, Ctl::Label14,     Ctl::Label15, ds::position,    ds::comment,
        ds::server,   ds::sendInterval, ds::filter,   ds::backlight,   ds::distanceUnit,
        ds::digipeat, ds::modulation,   ds::txPath,   ds::digiAlias,   ds::frequency};
    return controls;
}

void showFieldWarnings(Form& form) {
    const std::vector<FieldWarning> found = writeWarnings(form);
    for (const Ctl control : warnedControls()) {
        const auto warning = std::find_if(found.begin(), found.end(),
                                          [control](const auto& w) { return w.field == control; });
        // Each warning is set once: a passcode warning cleared and set again
        // would blink its label on every change of any field.
        const QString listed = warning == found.end() ? QString() : warning->text;
        const QString passcode = control == ds::passcode ? passcodeWarning(form) : QString();
        form.setWarning(control, passcode.isEmpty() ? listed : passcode);
    }
}
