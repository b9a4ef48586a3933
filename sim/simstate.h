#pragma once

#include "sim/simconfig.h"
#include "sim/simflash.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What kv120-sim keeps across runs: the stored settings and what was flashed.
struct SimState {
    SimConfig config;
    SimFlash flash;

    bool operator==(const SimState&) const = default;
};

// A JSON text. Setting bytes are percent-encoded, so any byte survives and
// plain ASCII stays readable; the image is base64.
QByteArray encodeSimState(const SimState& state);
// Fields missing from the text keep their factory values; nullopt when the
// text is not such a JSON object.
std::optional<SimState> decodeSimState(const QByteArray& text);

// The file's state; factory settings when there is no file yet. Throws
// std::runtime_error when the file cannot be read or is not a state file.
SimState readSimStateFile(const QString& path);
// Replaces the file whole, so an interrupted save leaves the old one.
// Throws std::runtime_error.
void writeSimStateFile(const QString& path, const SimState& state);
