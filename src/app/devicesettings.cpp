#include "app/devicesettings.h"

#include <algorithm>
#include <utility>

namespace DeviceSettings {
namespace {

QStringList counted(int first, int last) {
    QStringList items;
    for (int n = first; n <= last; ++n) {
        items << QString::number(n);
    }
    return items;
}

}  // namespace

QStringList addressModeItems() {
    return {QStringLiteral("DHCP"), kStaticIp};
}

QStringList callSsidItems() {
    return counted(0, 15);
}

QStringList serverItems() {
    return {QStringLiteral("china.aprs2.net"), QStringLiteral("euro.aprs2.net"),
            QStringLiteral("noam.aprs2.net"), QStringLiteral("202.141.176.2")};
}

QStringList distanceUnitItems() {
    return {QStringLiteral("km"), QStringLiteral("mi"), QStringLiteral("公里")};
}

QStringList modulationItems() {
    return counted(1, 5);
}

QStringList txPathItems() {
    return {QStringLiteral("None"), QStringLiteral("WIDE1-1"), QStringLiteral("WIDE1-1WIDE2-1"),
            QStringLiteral("WIDE1-1WIDE2-2")};
}

QStringList digiAliasItems() {
    return {QStringLiteral("WIDE1"), QStringLiteral("WIDE2"), QStringLiteral("WIDE1+WIDE2")};
}

std::vector<Ctl> textSettings() {
    std::vector<Ctl> fields{callsign, callSsid, passcode};
    fields.insert(fields.end(), addressBoxes.begin(), addressBoxes.end());
    fields.insert(fields.end(), {position, comment, server, sendInterval, filter, backlight,
                                 modulation, frequency});
    return fields;
}

std::vector<Ctl> allSettings() {
    std::vector<Ctl> fields = textSettings();
    fields.insert(fields.end(), {addressMode, distanceUnit, digipeat, txPath, digiAlias});
    return fields;
}

Ctl labelOf(Ctl field) {
    const std::pair<Ctl, Ctl> labelled[] = {
        {callsign, Ctl::Label4},      {callSsid, Ctl::Label4},    {passcode, Ctl::Label1},
        {position, Ctl::Label6},      {comment, Ctl::Label6},     {server, Ctl::Label7},
        {sendInterval, Ctl::Label8},  {filter, Ctl::Label10},     {backlight, Ctl::Label18},
        {modulation, Ctl::Label24},   {frequency, Ctl::Label16},  {wifiSsid, Ctl::Label23},
        {wifiPassword, Ctl::Label20}, {addressMode, Ctl::Label5}, {distanceUnit, Ctl::Label19},
        {txPath, Ctl::Label25},       {digiAlias, Ctl::Label26},  {digipeat, Ctl::Check1},
    };
    for (const auto& [setting, label] : labelled) {
        if (setting == field) {
            return label;
        }
    }
    const std::pair<const Octets*, Ctl> rows[] = {{&ipAddress, Ctl::Label12},
                                                  {&subnetMask, Ctl::Label13},
                                                  {&gateway, Ctl::Label14},
                                                  {&dnsServer, Ctl::Label15}};
    for (const auto& [boxes, label] : rows) {
        if (std::find(boxes->begin(), boxes->end(), field) != boxes->end()) {
            return label;
        }
    }
    return Ctl::Form1;
}

QStringList backlightItems() {
    return {QStringLiteral("ON"), QStringLiteral("05"), QStringLiteral("10"), QStringLiteral("20"),
            QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90")};
}

}  // namespace DeviceSettings
