#pragma once

#include "protocol/replyparser.h"

#include <functional>

class Session;

// Runs the steps of one exchange. When the window closes while the exchange
// waits, the clock ends the wait with ExchangeAborted, which no step catches:
// the exchange ends there, with the port closed and nothing else touched.
void runExchange(Session& session, const std::function<void()>& steps);

// A click on "read data" or "Write data" while the port is open only cancels
// what runs on it: the port closes, "read data" says "Port is open" until the
// next click, and "Write data" is usable again. True when the click was such
// a cancel.
bool cancelledRunningExchange(Session& session);

// Closes the port unless it is closed already, as it is when a click made
// during one of the exchange's waits cancelled the exchange.
void closePortIfOpen(Session& session);

// Waits up to steps waits of stepMs each for the device's acknowledgement,
// ending the moment it has arrived; true when it did.
bool awaitAcknowledgement(Session& session, AckFlag flag, int steps, int stepMs);
