#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// One device's settings kept before a firmware update: a settings file, and
// beside it, while the settings still wait to be written back, a note of the
// device they came from ("<file>.pending"). A device in its loader holds no
// settings and cannot say who it is, so the port it hangs on is what ties it
// to its kept settings.
struct KeptSettings {
    QString file;          // the settings file
    QString port;          // the port's name when they were kept
    QString portIdentity;  // the adapter's identity, else the port's name; empty: not known
    QString callsign;      // callsign and SSID, as "BG7ABC-9"
    QString version;       // the firmware's version line
    QDateTime when;

    // One line naming them for the user: file, port, callsign and time.
    QString describe() const;
};

// The kept settings still waiting in folder, oldest first. A note that an
// earlier version of the tool left (one file, no device) is taken as kept
// settings whose device is not known.
QList<KeptSettings> pendingKeptSettings(const QString& folder);

// Creates a new settings file in folder for settings kept now, under a name
// no other file has (the time, and a number when two updates start in the
// same second), and writes bytes into it. Its path, or empty with the
// reason in failure.
QString createKeptFile(const QString& folder, const QDateTime& when, const QByteArray& bytes,
                       QString& failure);

// Notes the settings as waiting to be written back (a small JSON file); the
// system's reason when the note could not be written, else empty.
QString markPending(const KeptSettings& kept);
// They are written back, or the user let them go: the file stays, its note goes.
void clearPending(const QString& file);
// Whether file is kept settings still waiting.
bool isPending(const QString& file);
