#pragma once

#include "app/controls.h"

#include <QString>

#include <vector>

class Form;

// Values the device would take but could not use: a warning stands beside
// the field, and "Write data" lists them before it sends anything. They never
// stop a write or a save; the user may know better. An empty box is not
// warned about, being a box not filled in yet, except an address box in
// static mode, whose octet is sent whatever it holds.
struct FieldWarning {
    Ctl field;  // the control the warning stands beside
    QString text;

    bool operator==(const FieldWarning&) const = default;
};

// The warnings a write asks about, in the window's order: SSID, position,
// send interval, the static addresses (only in static mode; one warning per
// row of four boxes, beside the row's label), frequency; then every box whose
// text is longer than typing into it allows, which only a settings file can
// bring about; every free-text field holding a "#"; then the notes on where
// fields' texts came from (Form::note).
std::vector<FieldWarning> writeWarnings(const Form& form);

// The passcode box holds a number that is neither the callsign's APRS-IS
// passcode nor the receive-only one. Only shown beside the box, never asked
// about: neither a write nor a save waits on it.
QString passcodeWarning(const Form& form);

// Sets every control's warning from the two above.
void showFieldWarnings(Form& form);

// The controls that may carry a warning.
const std::vector<Ctl>& warnedControls();
