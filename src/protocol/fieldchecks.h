#pragma once

#include <QString>

#include <optional>

class Form;

// The checks made before a write sends anything. The device reads its
// commands line by line, so a CR or LF inside a field would end the command
// early and hand the rest of the field to the device as a command of its
// own; no other control byte is text the device can store either. The
// callsign must fit the six places of the call command; neither it nor the
// frequency may be empty. A "#" stays allowed in the settings (the device's
// own texts use it): it is a field warning. The WiFi command is split
// by the device at its first comma and ends at the first "#", so the name can
// hold neither and the password no "#".

// Why the settings in the window may not be written, in the window's
// language, naming the field; nothing when they may.
std::optional<QString> writeRefusal(const Form& form);

// Why the WiFi name and password may not be written.
std::optional<QString> wifiWriteRefusal(const Form& form);
