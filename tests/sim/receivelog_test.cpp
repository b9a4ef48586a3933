#include "sim/receivelog.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

TEST(ReceiveLog, SplitsIntoCommandsAtLineEndsLeavingOutEmptyLines) {
    struct Case {
        const char* name;
        QList<SimReceived> log;
        QList<SimCommand> commands;
    };
    const Case cases[] = {
        {"one command per chunk",
         {{100, "\r\nSETUP#\r\n"}, {1100, "AT+READ#\r\n"}},
         {{100, "SETUP#"}, {1100, "AT+READ#"}}},
        {"split across chunks: the time of the last byte",
         {{0, "AT+CA"}, {5, "LL,X-1#"}, {9, "\r\n"}},
         {{5, "AT+CALL,X-1#"}}},
        {"two in one chunk", {{7, "A#\r\nB#\r\n"}}, {{7, "A#"}, {7, "B#"}}},
        {"an unended last line is kept", {{3, "A#\r\nB"}}, {{3, "A#"}, {3, "B"}}},
        {"line ends only", {{3, "\r\n\r\n\n\r"}}, {}},
        {"nothing", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(receivedCommands(c.log), c.commands) << c.name;
    }
}

}  // namespace
