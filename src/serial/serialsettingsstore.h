#pragma once

#include <QString>

// RUVAdev.ini: the serial settings of the last read that opened its port, so
// the next start offers the same port again. Only the port name is read back.
class SerialSettingsStore {
public:
    explicit SerialSettingsStore(QString path) : path_(std::move(path)) {}

    // dir when given, else pathBeside the program's directory.
    static QString defaultPath(const QString& dir = {});

    // The file in programDir when that is writable and not an installed
    // program's folder (bin beside share/metainfo), else userPath.
    static QString pathBeside(const QString& programDir);

    // Makes the folder named by --config-dir when it does not exist yet: a
    // folder that is not there would silently remember nothing. The reason
    // it is not, and cannot be made, a folder; else the empty text.
    static QString makeFolder(const QString& dir);

    // The file in the user's configuration directory, shared by every
    // program of the tool (an installed program's directory is not writable).
    static QString userPath();

    const QString& path() const { return path_; }

    // The stored port name, or the empty text.
    QString portName() const;

    // Writes the eight keys, in the order the file has always had them. The
    // store's failures are silent: a port that opened must not be refused for
    // want of a writable settings file.
    void writeCommSet(const QString& portName) const;

private:
    QString path_;
};
