#include "app/settingssnapshot.h"

#include "app/devicesettings.h"

namespace {

namespace ds = DeviceSettings;

// The fields a read clears or fills: all but the WiFi credentials.
std::vector<Ctl> readFields() {
    std::vector<Ctl> fields{ds::callsign,       ds::callSsid,  ds::passcode,     ds::addressMode,
                            ds::position,       ds::comment,   ds::server,       ds::sendInterval,
                            ds::filter,         ds::backlight, ds::distanceUnit, ds::digipeat,
                            ds::modulation,     ds::txPath,    ds::digiAlias,    ds::frequency,
                            ds::firmwareVersion};
    fields.insert(fields.end(), ds::addressBoxes.begin(), ds::addressBoxes.end());
    return fields;
}

}  // namespace

SettingsSnapshot::SettingsSnapshot(const Form& form) {
    for (const Ctl id : readFields()) {
        fields_.push_back({id, form.text(id), form.encoding(id), form.arrivedBytes(id),
                           form.note(id), form.value(id)});
    }
    for (const ControlDesign& design : kControls) {
        // Under the lock: putting a locked control back must not leave it
        // disabled once the lock is gone.
        enabled_.push_back(form.isEnabledByItsRules(design.id));
    }
}

void SettingsSnapshot::restoreSettings(Form& form) const {
    for (const Field& field : fields_) {
        // Setting the text and value forgets where they came from: that goes last.
        form.setText(field.id, field.text);
        form.setValue(field.id, field.value);
        form.setEncoding(field.id, field.encoding);
        form.setArrivedBytes(field.id, field.arrivedBytes);
        form.setNote(field.id, field.note);
    }
}

void SettingsSnapshot::restoreEnabled(Form& form) const {
    for (const ControlDesign& design : kControls) {
        form.setEnabled(design.id, enabled_[static_cast<size_t>(design.id)]);
    }
}
