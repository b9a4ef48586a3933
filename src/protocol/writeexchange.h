#pragma once

class Session;

// "Write data": sends every setting of the window to the device, paced by
// fixed pauses, then waits up to 16 x 500 ms for the device's "freq save".
// Nothing is sent when a field cannot be sent as it is (see fieldchecks.h).
// Once the port is open, a command that cannot be sent is skipped and the
// write goes on, so a write cancelled by a click that closed the port runs
// out through its confirmation wait and reports the failure.
void writeExchange(Session& session);
