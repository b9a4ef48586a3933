#pragma once

#include <QStringList>

struct CliContext;

// The kv120ctl commands. Each returns the program's exit status; the ports
// command is in portsearch.h.

int writeDefaults(CliContext& context, const QString& file);
int readSettings(CliContext& context, const QString& file);
// Before sending, the field warnings go to standard error; with --strict any
// of them refuses the write (exit status 1), else the write goes ahead.
// With --verify the settings are then read back and compared, value by value,
// with what was written: exit status 0 only when all match.
int writeSettings(CliContext& context, const QString& file);
// Reads the device and lists, on standard output, every setting that differs
// from the settings file: 0 when none does, 1 when some do or the read failed.
int diffSettings(CliContext& context, const QString& file);
int writeWifi(CliContext& context, const QString& ssid, const QString& password);
int restart(CliContext& context);
// Updates the firmware, keeping the device's settings across it (unless
// --no-keep-settings) and writing them back once the device runs again.
int updateFirmware(CliContext& context, const QString& image);
// The settings kept across updates that still wait to be written back.
int listKept(CliContext& context);
