#pragma once

#include "app/controls.h"

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <vector>

class Form;

// The settings file as the save writes it: "[KORVA]", an empty line, then one
// line per setting in the same KEY:value forms the device uses in its reply
// lines, so that the load can hand every line to the reply parser.

// The 21 lines, without line ends, from what the window shows. A callsign
// longer than 6 characters or a send interval longer than 4 digits cannot be
// brought to its fixed width and is written as it is.
QStringList settingsFileLines(const Form& form);

// One control that each setting line fills, in the file's order: a read that
// set every one of them brought every line a settings file holds.
std::vector<Ctl> settingLineControls();

// The whole file, each line ended by CR LF: in UTF-8, or in GB18030 when a
// free-text field's text arrived in GB18030.
QByteArray settingsFileBytes(const Form& form);

// The fields whose bytes the file cannot hold exactly, one line each in the
// window's language, naming the field by its line and what a write after
// loading the file would send instead: bytes the device sent that are no
// text, or text in another encoding than the file's. Empty when the file
// holds them all.
QStringList fieldsNotHeldExactly(const Form& form);

// The keyword of the line that holds a field ("COMMENT TEXT" for the comment,
// "IP" for each of its four boxes), which names it apart from a field that
// shares its label; the empty text for a control that is no setting.
QString lineKeywordOf(Ctl field);

// A saved field that holds a line break would split its line in two and load
// back as something else; this names the first such field's label (for
// instance Label4 for the callsign), or nothing when every field can be saved.
std::optional<Ctl> labelOfFieldWithLineBreak(const Form& form);
