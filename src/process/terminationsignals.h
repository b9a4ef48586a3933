#pragma once

#include <QString>

#include <functional>

// SIGINT, SIGTERM and SIGHUP end the program cleanly, whatever it is doing.
//
// From installTerminationSignals() on, such a signal ends the program at once
// with the line "<program>: interrupted (SIGINT); <undone>" on standard error
// and the exit status 128 + the signal's number. That is right while nothing is
// open that must be closed, and it ends waits that no event loop would wake (a
// pipe's reader waiting for data, a full pipe).
//
// Once handOverTerminationSignals() has been called, the signal goes to the
// action given instead, on the program's own thread from its event loop, so the
// program can close its port first. A second signal before the program has
// ended still ends it at once.
//
// SIGPIPE is ignored from installTerminationSignals() on: a write to a closed
// pipe fails with EPIPE, which the program reports, instead of ending it
// without a word.
void installTerminationSignals(const char* program, const char* undone);
void handOverTerminationSignals(std::function<void(int signal)> action);

// The signal handed over, 0 while none has come.
int terminationSignal();

// "interrupted (SIGINT)", "terminated (SIGTERM)", "hung up (SIGHUP)".
QString signalDescription(int signal);

inline int exitStatusForSignal(int signal) {
    return 128 + signal;
}
