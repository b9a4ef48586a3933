#pragma once

#include <functional>

class Session;

// Runs the steps of one exchange. When the window closes while the exchange
// waits, the clock ends the wait with ExchangeAborted, which no step catches:
// the exchange ends there, with the port closed and nothing else touched.
void runExchange(Session& session, const std::function<void()>& steps);

// Closes the port unless it is closed already, as it is when a click made
// during one of the exchange's waits cancelled the exchange.
void closePortIfOpen(Session& session);
