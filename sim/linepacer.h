#pragma once

#include <QtGlobal>

// A serial line sends one byte after another: a chunk handed to it while it
// is still busy waits for the ones before it. The pacer keeps, in
// microseconds, how long the line stays busy, so rounding does not add up over
// a long transfer, and counts from the wrapping millisecond clock.
class LinePacer {
public:
    // Milliseconds from nowMs until the last of `bytes` bytes has been sent,
    // when sending starts no earlier than notBeforeMs from now. A rate of 0
    // sends without taking time.
    int finishIn(quint32 nowMs, int notBeforeMs, qsizetype bytes, int bytesPerSecond);

private:
    quint32 referenceMs_ = 0;
    qint64 busyForUs_ = 0;  // from referenceMs_ until the line is free
};
