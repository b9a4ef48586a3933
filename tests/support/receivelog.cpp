#include "support/receivelog.h"

QByteArray ReceiveLog::bytes() const {
    QByteArray all;
    for (const SimReceived& chunk : chunks) {
        all += chunk.bytes;
    }
    return all;
}

QList<SimCommand> ReceiveLog::commands() const {
    QList<SimCommand> commands;
    SimCommand current{0, {}};
    for (const SimReceived& chunk : chunks) {
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
