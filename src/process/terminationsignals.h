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
// program can close its port first; it then ends with tellTermination() and
// the same exit status. A program that has not ended 100 ms after the signal
// (blocked writing to a pipe nobody reads, where no event loop runs) is ended
// then, with its line. A second signal before the program has ended still
// ends it at once.
//
// A signal ignored when the program started stays ignored: that is how nohup
// and the shell's background jobs keep a program running.
//
// SIGPIPE is ignored from installTerminationSignals() on: a write to a closed
// pipe fails with EPIPE, which the program reports, instead of ending it
// without a word.
void installTerminationSignals(const char* program, const char* undone);
void handOverTerminationSignals(std::function<void(int signal)> action, const QString& undone);

// What the line after the hand-over says was left undone, once the action
// knows it better.
void setTerminationUndone(const QString& undone);

// The signal handed over, 0 while none has come.
int terminationSignal();

// Writes "<program>: interrupted (SIGINT); <undone>" for the signal handed
// over, once; nothing while none has come.
void tellTermination();

// "interrupted (SIGINT)", "terminated (SIGTERM)", "hung up (SIGHUP)".
QString signalDescription(int signal);

inline int exitStatusForSignal(int signal) {
    return 128 + signal;
}
