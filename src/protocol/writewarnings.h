#pragma once

class Session;

// "Write data" as the window runs it: first the field warnings (see
// app/fieldwarnings.h) listed in one question, then the write exchange,
// unchanged. The question is not asked when there is no warning, nor when
// the click is one the exchange handles without sending (it cancels a
// running exchange, or a field refuses the write, which the exchange tells).
// No: nothing is sent and nothing in the window changes.
void confirmedWriteExchange(Session& session);
