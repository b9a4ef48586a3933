// A device that babbles after a keyword without ever ending the line must not
// make each byte cost more than the one before.
#include "serial/receivepath.h"

#include <gtest/gtest.h>

namespace {

TEST(LongLine, ALineWithoutCrStopsGrowingAndTheNextLineIsWhole) {
    qsizetype calls = 0;
    qsizetype longest = 0;
    bool connectSeen = false;
    ReceivePath path([&](const QByteArray& line) {
        ++calls;
        longest = qMax(longest, line.size());
        connectSeen = connectSeen || line == "CONNECT";
    });
    path.receive("COMMENT TEXT:" + QByteArray(64 * 1024, 'a'));
    EXPECT_EQ(longest, ReceivePath::kReplyLineLimit);
    EXPECT_EQ(calls, 13 + 64 * 1024) << "the handler still runs after every byte";
    EXPECT_TRUE(path.replyLine().startsWith("COMMENT TEXT:aaa"));

    path.receive("\r\nCONNECT\r");
    EXPECT_TRUE(connectSeen);
    EXPECT_TRUE(path.replyLine().isEmpty());
}

}  // namespace
