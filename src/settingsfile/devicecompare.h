#pragma once

#include "app/settingssnapshot.h"
#include "settingsfile/settingsdiff.h"

#include <optional>
#include <vector>

class Session;

// The window compared with the device: what the read found, and how it
// differs from what the window held, setting by setting.
struct DeviceComparison {
    std::vector<SettingDifference> differences;  // expected: the window's, actual: the device's
    SettingsSnapshot device;                     // the window as the read left it
};

// Reads the device with the read exchange and compares its settings with the
// window's, as a settings file holds them. The window then shows again what
// it held before, edits included: a comparison changes nothing unless the
// caller puts the device's settings in. Nothing when the read did not finish.
std::optional<DeviceComparison> compareWithDevice(Session& session);
