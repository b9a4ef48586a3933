#pragma once

#include "app/texts.h"
#include "protocol/replyparser.h"

#include <functional>

class SerialError;
class Session;

// Runs the steps of one exchange. When the window closes while the exchange
// waits, the clock ends the wait with ExchangeAborted, which no step catches:
// the exchange ends there, with the port closed and nothing else touched.
void runExchange(Session& session, const std::function<void()>& steps);

// A click on "read data", "Write data", "Apply" or "restart" while the port
// is open only cancels what runs on it: the port closes and "Write data" is
// usable again; the cancelled exchange says that it was cancelled. True when
// the click was such a cancel.
bool cancelledRunningExchange(Session& session);

// Closes the port unless it is closed already, as it is when a click made
// during one of the exchange's waits cancelled the exchange.
void closePortIfOpen(Session& session);

// Waits up to steps waits of stepMs each for the device's acknowledgement,
// ending the moment it has arrived; true when it did.
bool awaitAcknowledgement(Session& session, AckFlag flag, int steps, int stepMs);

// Tells, once, how a port failure ended the exchange: a port that went away
// has been told of in the status box already; a port closed by a click is
// the cancel, told in the status box as cancelled says; a port that would not
// open or take bytes is a message box under headline.
void tellPortFailure(Session& session, const SerialError& error, Msg cancelled,
                     Msg headline = Msg::PortIsOpenOrNo);
