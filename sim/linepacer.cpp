#include "sim/linepacer.h"

#include <algorithm>

int LinePacer::finishIn(quint32 nowMs, int notBeforeMs, qsizetype bytes, int bytesPerSecond) {
    const qint64 passedUs = static_cast<qint64>(static_cast<quint32>(nowMs - referenceMs_)) * 1000;
    referenceMs_ = nowMs;
    busyForUs_ = std::max<qint64>(busyForUs_ - passedUs, 0);
    const qint64 startUs = std::max<qint64>(busyForUs_, static_cast<qint64>(notBeforeMs) * 1000);
    const qint64 sendingUs =
        bytesPerSecond > 0
            ? (static_cast<qint64>(bytes) * 1'000'000 + bytesPerSecond - 1) / bytesPerSecond
            : 0;
    busyForUs_ = startUs + sendingUs;
    return static_cast<int>((busyForUs_ + 999) / 1000);
}
