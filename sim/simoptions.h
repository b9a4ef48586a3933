#pragma once

#include "sim/simknobs.h"

#include <QString>
#include <QStringList>

// What kv120-sim is told on its command line.
struct SimOptions {
    SimKnobs knobs;
    QString linkPath;       // a symbolic link to the terminal, made while running
    QString statePath;      // where the settings and the flash are kept
    bool inLoader = false;  // starts in the loader, as after an update that did not finish
};

// Either options to run with, or a text to print instead: the help, or what
// is wrong with the command line.
struct SimCommandLine {
    SimOptions options;
    bool run = true;
    bool failed = false;
    QString message;
};

// kv120-sim serves the device on a line of 115200 baud by default.
SimCommandLine parseSimCommandLine(const QStringList& arguments);
