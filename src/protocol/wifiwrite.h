#pragma once

class Session;

// "Apply": sends the WiFi name and password in one command, waits up to
// 16 x 800 ms for "WIFI Write success" and then restarts the device so the
// new credentials take effect, never sooner than the first 800 ms have run
// out. A click while the port is open closes it.
void wifiWrite(Session& session);
