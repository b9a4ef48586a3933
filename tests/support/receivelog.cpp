#include "support/receivelog.h"

QByteArray receivedBytes(const QList<SimReceived>& log) {
    QByteArray all;
    for (const SimReceived& chunk : log) {
        all += chunk.bytes;
    }
    return all;
}

QList<SimCommand> receivedCommands(const QList<SimReceived>& log) {
    QList<SimCommand> commands;
    SimCommand current{0, {}};
    for (const SimReceived& chunk : log) {
        for (const char byte : chunk.bytes) {
            if (byte != '\r' && byte != '\n') {
                current.text += byte;
                current.atMs = chunk.atMs;
            } else if (!current.text.isEmpty()) {
                commands.append(current);
                current.text.clear();
            }
        }
    }
    if (!current.text.isEmpty()) {
        commands.append(current);
    }
    return commands;
}
