#pragma once

#include "serial/portlister.h"

#include <QString>

class SerialSettingsStore;

// The adapter behind the remembered port. The serial settings store keeps
// the path of the port a read opened, in the format the device's users have
// always had; the choices file keeps beside it the identity of the adapter
// that was on that path, so that the next start finds the adapter wherever
// the system has put it since (adapters plugged in another order swap their
// paths).
struct RememberedAdapter {
    QString path;      // the port the store was given with it
    QString identity;  // empty: the system told nothing of the adapter
};

// The window's choices file, beside the serial settings store.
QString choicesFileBeside(const SerialSettingsStore& store);

RememberedAdapter readRememberedAdapter(const QString& choicesFile);

// Keeps, beside the path the store has just been given, the identity of the
// adapter on that path now.
void rememberAdapter(const QString& choicesFile, const QString& path, const PortLister& ports);

// The port to offer for storedPath: where the adapter remembered with it is
// plugged in now, else storedPath itself. An identity remembered with
// another path is of another port (the store was written without it since)
// and is not used.
QString portOfAdapter(const QString& storedPath, const RememberedAdapter& adapter,
                      const QList<PortInfo>& ports);
