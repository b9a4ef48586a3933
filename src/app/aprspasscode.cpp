#include "app/aprspasscode.h"

namespace {

constexpr int kSeed = 0x73E2;
constexpr int kMask = 0x7FFF;

}  // namespace

int aprsPasscode(const QString& callsign) {
    // Only ASCII letters change case, as the servers compute it.
    const QByteArray call = callsign.section(u'-', 0, 0).toLatin1().toUpper();
    int hash = kSeed;
    // Two characters at a time, the first into the high byte; a last single
    // character goes into the high byte alone.
    for (qsizetype i = 0; i < call.size(); i += 2) {
        hash ^= static_cast<unsigned char>(call[i]) << 8;
        if (i + 1 < call.size()) {
            hash ^= static_cast<unsigned char>(call[i + 1]);
        }
    }
    return hash & kMask;
}
