#include "app/defaults.h"

#include "app/devicesettings.h"
#include "app/form.h"

#include <utility>

void fillDefaults(Form& form) {
    namespace ds = DeviceSettings;
    const std::pair<Ctl, QString> texts[] = {
        {ds::callsign, QStringLiteral("NOCALL")},
        {ds::distanceUnit, QStringLiteral("km")},
        {ds::callSsid, QStringLiteral("10")},
        {ds::addressMode, QStringLiteral("DHCP")},
        {ds::backlight, QStringLiteral("ON")},
        {ds::position, QStringLiteral("!3035.00N/11417.00ErPHG1010")},
        {ds::comment, QStringLiteral("KORVA 144.640MHz")},
        {ds::server, ds::serverItems().first()},
        {ds::passcode, QStringLiteral("40663")},
        {ds::sendInterval, QStringLiteral("0600")},
        {ds::filter, QStringLiteral("b/KORVA")},
    };
    for (const auto& [control, value] : texts) {
        form.setText(control, value);
    }
    const char* const octets[16] = {"192", "168", "1", "99", "255", "255", "255", "0",
                                    "192", "168", "1", "1",  "8",   "8",   "8",   "8"};
    for (int i = 0; i < 16; ++i) {
        form.setText(ds::addressBoxes[i], QString::fromLatin1(octets[i]));
    }
    form.setText(ds::frequency, QStringLiteral("144.6400"));
    form.setText(Ctl::Text32, QStringLiteral("--"));
    form.setValue(ds::digipeat, 1);
    form.setText(ds::modulation, QStringLiteral("3"));
    form.setText(ds::txPath, QStringLiteral("WIDE1-1"));
    form.setText(ds::digiAlias, QStringLiteral("WIDE1+WIDE2"));
    form.setEnabled(Ctl::Command7, true);
}
