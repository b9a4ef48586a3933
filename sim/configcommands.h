#pragma once

#include "sim/simconfig.h"

#include <QByteArray>
#include <QList>

// The short lines with which the device acknowledges a command.
enum class SimAck { None, Connect, ReadEnd, FreqSave, WifiWritten, EeramReset };

QByteArray ackText(SimAck ack);

// What the configuration firmware does with one command.
struct ConfigAnswer {
    QList<QByteArray> lines;  // setting lines, sent before the acknowledgement
    SimAck ack = SimAck::None;
    bool reboot = false;
    bool changed = false;  // the stored settings are different now
};

// Runs one command line (its line end already taken off) on the stored
// settings. The firmware acts only on a line that ends in "#"; one it does not
// know, or whose argument it cannot take apart, changes nothing and gets no
// answer.
ConfigAnswer runCommand(SimConfig& config, const QByteArray& line);
