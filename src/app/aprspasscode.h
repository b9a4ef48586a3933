#pragma once

#include <QString>

// The APRS-IS passcode of a callsign: the servers accept a station's packets
// only with it. The SSID does not count, nor does letter case.
int aprsPasscode(const QString& callsign);

// The passcode that logs in receive-only, which any callsign may use.
inline constexpr int kReceiveOnlyPasscode = -1;
