#pragma once

#include "app/settingssnapshot.h"
#include "protocol/readexchange.h"
#include "settingsfile/settingsdiff.h"

#include <optional>
#include <vector>

class Session;

// The window compared with the device: what the read found, and how it
// differs from what the window held, setting by setting.
struct DeviceComparison {
    std::vector<SettingDifference> differences;  // expected: the window's, actual: the device's
    SettingsSnapshot device;                     // the device's settings as the read found them
};

// Reads the device with the read exchange into a Form of its own and
// compares its settings with the window's, as a settings file holds them.
// The window's settings never change: a caller that wants the device's puts
// them in. Nothing when the read did not finish (it has said why).
std::optional<DeviceComparison> compareWithDevice(Session& session, const ReadPurpose& purpose);

// Reads back what a write sent and says in the status box, below the
// write's own lines, whether the device holds it: a line for each setting
// that differs, then the verdict. True when every setting is as written.
bool verifyWrite(Session& session);
