#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

class Session;

// The file's lines: a line ends at CR LF, at CR or at LF, and the line end is
// not part of it. Text after the last line end is a line of its own; a file
// that ends with a line end has no empty line after it.
QList<QByteArray> splitFileLines(QByteArrayView file);

// True when at least one line is a setting line (one the reply parser
// knows by its keyword) or the "[KORVA]" header; a file without any is no
// settings file, whatever its name.
bool holdsSettingLine(QByteArrayView file);

// How far a load got.
struct LoadOutcome {
    int linesApplied = 0;             // including the line whose cut failed
    bool stoppedAtFailedCut = false;  // the later lines were not applied
};

// Loads a settings file's contents into the window, line by line, as the
// device's reply lines are applied: each line is listed in the status box and
// handed whole to the reply parser. The first line whose cut fails ends the
// load; what the earlier lines set stays. Afterwards "Write data" is enabled
// and the reply line holds the last line applied.
//
// The file is taken as UTF-8 when the whole of it is valid UTF-8, else as
// GB18030, which older Chinese-language tools wrote; the fields it fills keep
// that encoding.
LoadOutcome loadSettingsLines(Session& session, const QByteArray& file);
