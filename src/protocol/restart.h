#pragma once

class Session;

// "restart": tells the device to restart, twice, 500 ms apart, without
// waiting for an answer. A click while the port is open closes it instead.
void restartDevice(Session& session);
