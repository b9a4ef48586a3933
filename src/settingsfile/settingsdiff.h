#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A setting whose value differs between two sets of settings, named and shown
// as a settings file holds them: "COMMENT TEXT", "KORVA 144.640MHz".
struct SettingDifference {
    QString name;
    QString expected;  // as written, or as the file holds it
    QString actual;    // as read back from the device

    bool operator==(const SettingDifference&) const = default;
};

// The settings that differ between two sets of settings-file lines
// (settingsFileLines), in file order. Two lines that the device's reply
// parser reads as the same value are no difference: "BACKLIGHT:0" and
// "BACKLIGHT:00" both mean always on. With DHCP on in the expected settings,
// the four addresses are not compared.
std::vector<SettingDifference> settingDifferences(const QStringList& expected,
                                                  const QStringList& actual);
