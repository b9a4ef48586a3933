#pragma once

#include <QString>

// Whether the text is an APRS uncompressed position as the device sends it in
// its beacon: an optional "!" or "=" (position without time stamp), latitude
// ddmm.mm and N or S, the symbol table ("/", "\" or an overlay digit or
// capital), longitude dddmm.mm and E or W, the symbol, then any text. Digits
// may give way to blanks from the right (position ambiguity), as APRS allows.
bool isUncompressedPosition(QStringView text);
