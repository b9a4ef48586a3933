#pragma once

#include <QtGlobal>

#include <sys/resource.h>

// The process's peak resident memory in KiB, as the kernel counts it.
inline qint64 peakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
