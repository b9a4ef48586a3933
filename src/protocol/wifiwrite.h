#pragma once

class Session;

// "Apply": sends the WiFi name and password in one command, waits up to
// 16 x 800 ms for "WIFI Write success" and then restarts the device so the
// new credentials take effect. A click while the port is open closes it. An
// empty name is asked about first (No leaves the device as it is).
void wifiWrite(Session& session);
