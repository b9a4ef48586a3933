#pragma once

#include <QByteArray>
#include <QString>

#include "serial/textencoding.h"

#include <array>

// The commands the device understands, each as the exact bytes that go to
// the port in one write: "AT+" keyword "," argument "#" or a bare keyword and
// "#", then CR LF. Arguments are copied unchanged; free text goes in the
// encoding it arrived in (UTF-8 unless the device or a file gave it as
// GB18030). The callers refuse texts that would break the framing before
// anything is built.
namespace Commands {

using Octets = std::array<QString, 4>;

// The device only listens for the set-up request at the start of a line, so
// it goes out with a CR LF in front.
QByteArray setup();
QByteArray read();
// One setting: "AT+" keyword "," argument "#" CR LF.
QByteArray setting(const char* keyword, const QString& argument,
                   TextEncoding encoding = TextEncoding::Utf8);
QByteArray setting(const char* keyword, const QByteArray& argument);
QByteArray wifi(const QString& ssid, const QString& password);
QByteArray reboot();
QByteArray reset();

// The arguments as the commands carry them, shared with the settings file's
// lines. The callsign is padded with blanks to 6 characters, so the "-"
// before the SSID always stands at the same place.
QString callsignArgument(const QString& callsign, const QString& ssid);
QString addressModeArgument(const QString& mode);  // "STATIC IP" -> "0", else "1"
QString octetsArgument(const Octets& octets);      // joined by ","
QString backlightArgument(const QString& time);    // "ON" -> "00"

// The digit codes of the coded fields, the same the device reports back in
// its "UNIT:", "PATH:" and "ALIAS:" lines. A text not in the field's list
// falls back to the code the device has always been sent for it; a settings
// file has always saved an unlisted unit as "1".
QString distanceUnitCode(const QString& unit, int unlisted = 2);
QString txPathCode(const QString& path);      // unlisted -> "1"
QString digiAliasCode(const QString& alias);  // unlisted -> "3"

}  // namespace Commands
