#pragma once

#include <QString>

// A Windows-style profile (INI) file, read and edited in place: writing one
// key changes only that key's line, or adds it at the end of its section, so
// the user's other sections, keys, comments and blank lines stay where they
// are. Section and key names match without regard to case; blanks around
// names and values are ignored.
namespace profile {

// The value, or the empty text when the file, section or key is missing or
// unreadable. Values longer than 254 characters come back cut to 254.
QString read(const QString& path, const QString& section, const QString& key);

// Creates the file and the section when they are missing. False when the file
// could not be written; the old file then stays as it was.
bool write(const QString& path, const QString& section, const QString& key, const QString& value);

}  // namespace profile
