#pragma once

class Session;

// "Read data": blanks the settings in the window, brings the device into its
// set-up mode ("SETUP#" until "CONNECT", at most 20 times a second apart) and
// asks for its settings ("AT+READ#" until "READ END", at most 20 times). The
// setting lines fill the window through the reply parser while the exchange
// waits. A click while the port is open closes it instead, which is how a
// second click cancels a running read.
void readExchange(Session& session);
