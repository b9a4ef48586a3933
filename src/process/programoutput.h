#pragma once

#include <QString>

// The project's version, as the build states it ("0.1.0").
QString programVersion();

// The exit status once standard output and standard error have been flushed.
// A write to either that failed (a full disk, a closed pipe) turns a success
// into 1, with a line saying so on standard error while that still takes it.
int statusAfterOutput(const char* program, int status);
