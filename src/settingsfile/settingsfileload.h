#pragma once

#include "app/language.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

class Session;

// The file's lines: a line ends at CR LF, at CR or at LF, and the line end is
// not part of it. Text after the last line end is a line of its own; a file
// that ends with a line end has no empty line after it.
QList<QByteArray> splitFileLines(QByteArrayView file);

// True when at least one line is a setting line (one the reply parser
// knows by its keyword) or the "[KORVA]" header; a file without any is no
// settings file, whatever its name.
bool holdsSettingLine(QByteArrayView file);

// Why a file is not loaded, in the language given, naming the file as path:
// it holds no setting line, or a line that names a setting cannot be read (an
// address without its commas, a callsign without its "-", a code the list does
// not have), named by its number, itself and what it should hold. Nothing
// when the file may be loaded. A file refused changes nothing: a load that
// stopped part-way would send the rest of the settings out empty.
std::optional<QString> settingsFileRefusal(const QString& path, const QByteArray& file,
                                           Language language);

// How far a load got.
struct LoadOutcome {
    int linesApplied = 0;             // including the line whose cut failed
    bool stoppedAtFailedCut = false;  // the later lines were not applied
};

// Loads a settings file's contents into the window, line by line, as the
// device's reply lines are applied: each line is listed in the status box and
// handed whole to the reply parser. The first line whose cut fails ends the
// load; what the earlier lines set stays. Afterwards "Write data" is enabled
// and the reply line holds the last line applied. A setting the file has no
// line for keeps what it held, with a note naming the line that is missing
// (the addresses only in static mode, the only mode that sends them).
//
// The file is taken as UTF-8 when the whole of it is valid UTF-8, else as
// GB18030, which older Chinese-language tools wrote; the fields it fills keep
// that encoding.
LoadOutcome loadSettingsLines(Session& session, const QByteArray& file);
