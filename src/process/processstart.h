#pragma once

// What every program does first, before it opens anything.

// A program started with standard input, output or error closed would hand
// the descriptor to the first file it opens (its signal pipe, its port), and
// its output would go there. Each of 0, 1 and 2 that is closed is opened on
// /dev/null for reading only: input reads as empty, and a write fails, so
// output to a closed standard output ends with exit status 1 as a full disk
// does. Call it before anything can open a descriptor.
void holdClosedStandardDescriptors();

// Qt takes the arguments as text in the system's encoding; bytes that do not
// decode would become replacement characters and reach the device or a file
// name as something the user never typed. True, after naming the first such
// argument on standard error (its other bytes written as \xHH), when one does
// not decode; the caller then ends with exit status 2.
bool refusesUndecodableArgument(const char* program, int argc, char** argv);
