#pragma once

#include "app/texts.h"

#include <QString>

class Session;

// What a read is for, when it is not the read of "Read data": the lines the
// status box keeps above the read's progress (those of a write that is being
// verified), and what the status box says when a click cancels the read.
struct ReadPurpose {
    QString statusHead{};
    Msg cancelled = Msg::ReadCancelled;
};

// "Read data": blanks the settings, brings the device into its set-up mode
// ("SETUP#" until "CONNECT", at most 20 times a second apart) and asks for its
// settings ("AT+READ#" until "READ END", at most 20 times). The setting lines
// fill the session's settings Form (the window's, unless a comparison gave it
// one of its own) through the reply parser while the exchange waits. A read
// that does not end with "READ END" puts that Form back as it was and says
// why, once. A click while the port is open closes it instead, which is how a
// second click cancels a running read.
void readExchange(Session& session, const ReadPurpose& purpose = {});
