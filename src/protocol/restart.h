#pragma once

class Session;

// "restart": sends "REBOOT#" twice, half a second apart, and waits for no
// answer. A click while the port is open closes it instead, which is how a
// second click cancels a running exchange.
void restartDevice(Session& session);
