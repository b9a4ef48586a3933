#pragma once

#include <functional>

// Runs onInterrupt on the program's own thread, from its event loop, when the
// user presses Ctrl-C (SIGINT, or SIGTERM). Installed once per program.
void onInterrupt(std::function<void()> action);
