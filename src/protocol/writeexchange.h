#pragma once

class Session;

// "Write data": sends every setting of the window to the device, paced by
// fixed pauses, then waits up to 16 x 500 ms for the device's "freq save".
// Nothing is sent when a field cannot be sent as it is (see fieldchecks.h).
// A click that closes the port cancels the write at once, and the status box
// says so; a device that sent nothing is named with what to check.
void writeExchange(Session& session);
