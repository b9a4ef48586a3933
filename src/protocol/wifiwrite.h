#pragma once

class Session;

// "Apply": sends the WiFi name and password in one command, waits up to
// 16 x 800 ms for "WIFI Write success", then restarts the device so that it
// joins the network, never sooner than the first 800 ms have run out. Nothing
// is sent when the name or password cannot be sent as it is; an empty name is
// asked about first (No leaves the device as it is). A click while the port is
// open closes it instead, which is how a second click cancels a running
// exchange.
void wifiWrite(Session& session);
