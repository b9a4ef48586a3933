#pragma once

#include "serial/seriallink.h"

// The programs other than this one that have the device at path (a
// canonical path such as /dev/ttyUSB0) open, as far as the system tells:
// the program a lock file names, else, on Linux, every process that holds
// the device (only the caller's own processes, unless it runs as root). A
// process that holds a pseudo-terminal's other side (kv120-sim) is the far
// end of the line, not another user of the port.
QList<PortUser> portUsers(const QString& path);
