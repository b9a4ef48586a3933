#pragma once

#include "app/controls.h"

#include <QStringList>

#include <array>
#include <vector>

// The device's configuration as the window holds it: each field is the text
// (for the digipeater, the check state) of one or more controls. There is no
// other copy; these names say which control holds which field.
namespace DeviceSettings {

using Octets = std::array<Ctl, 4>;

inline constexpr Ctl callsign = Ctl::Text4;
inline constexpr Ctl callSsid = Ctl::Combo5;
inline constexpr Ctl passcode = Ctl::Text5;
inline constexpr Ctl addressMode = Ctl::Combo2;
inline constexpr Octets ipAddress{Ctl::Text13, Ctl::Text14, Ctl::Text15, Ctl::Text16};
inline constexpr Octets subnetMask{Ctl::Text17, Ctl::Text18, Ctl::Text19, Ctl::Text20};
inline constexpr Octets gateway{Ctl::Text21, Ctl::Text22, Ctl::Text23, Ctl::Text24};
inline constexpr Octets dnsServer{Ctl::Text25, Ctl::Text26, Ctl::Text27, Ctl::Text28};
inline constexpr Ctl position = Ctl::Text8;
inline constexpr Ctl comment = Ctl::Text7;
inline constexpr Ctl server = Ctl::Combo3;
inline constexpr Ctl sendInterval = Ctl::Text10;
inline constexpr Ctl filter = Ctl::Text11;
inline constexpr Ctl backlight = Ctl::Combo16;
inline constexpr Ctl distanceUnit = Ctl::Combo4;
inline constexpr Ctl digipeat = Ctl::Check1;
inline constexpr Ctl modulation = Ctl::Combo6;
inline constexpr Ctl txPath = Ctl::Combo7;
inline constexpr Ctl digiAlias = Ctl::Combo8;
inline constexpr Ctl frequency = Ctl::Text31;
inline constexpr Ctl wifiSsid = Ctl::Text34;
inline constexpr Ctl wifiPassword = Ctl::Text33;
inline constexpr Ctl firmwareVersion = Ctl::Text6;

// The sixteen address boxes, Text13 to Text28 in ascending order.
inline constexpr std::array<Ctl, 16> addressBoxes{
    Ctl::Text13, Ctl::Text14, Ctl::Text15, Ctl::Text16, Ctl::Text17, Ctl::Text18,
    Ctl::Text19, Ctl::Text20, Ctl::Text21, Ctl::Text22, Ctl::Text23, Ctl::Text24,
    Ctl::Text25, Ctl::Text26, Ctl::Text27, Ctl::Text28};

// The fixed choice lists, in list order.
QStringList addressModeItems();   // "DHCP", "STATIC IP"
QStringList callSsidItems();      // "0" to "15"
QStringList serverItems();        // three host names, then one numeric address
QStringList distanceUnitItems();  // "km", "mi", "公里"
QStringList modulationItems();    // "1" to "5"
QStringList txPathItems();
QStringList digiAliasItems();
QStringList backlightItems();

inline const QString kStaticIp = QStringLiteral("STATIC IP");

// The settings whose text goes to the device, and into a settings file, as it
// is; the coded settings are left out.
std::vector<Ctl> textSettings();

// Every control that holds a setting: the text settings, then the coded ones.
std::vector<Ctl> allSettings();

// The label beside a setting's box, whose caption names the setting in the
// window's language; an address box has its row's label, the digipeater's
// check box its own caption. Form1 for a control that is no setting.
Ctl labelOf(Ctl field);

}  // namespace DeviceSettings
