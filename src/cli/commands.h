#pragma once

#include <QStringList>

struct CliContext;

// The kv120ctl commands. Each returns the program's exit status.
int listPorts(CliContext& context);
int writeDefaults(CliContext& context, const QString& file);
int readSettings(CliContext& context, const QString& file);
int writeSettings(CliContext& context, const QString& file);
int writeWifi(CliContext& context, const QString& ssid, const QString& password);
int restart(CliContext& context);
int updateFirmware(CliContext& context, const QString& image);
