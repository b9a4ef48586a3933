#pragma once

#include <QStringList>

struct CliContext;
class PortLister;

// The kv120ctl commands. Each returns the program's exit status.

// Lists the ports that open now, asking the machine afresh each time.
int listPorts(CliContext& context, const PortLister& ports);
int writeDefaults(CliContext& context, const QString& file);
int readSettings(CliContext& context, const QString& file);
// Before sending, the field warnings go to standard error; with --strict any
// of them refuses the write (exit status 1), else the write goes ahead.
int writeSettings(CliContext& context, const QString& file);
int writeWifi(CliContext& context, const QString& ssid, const QString& password);
int restart(CliContext& context);
int updateFirmware(CliContext& context, const QString& image);
