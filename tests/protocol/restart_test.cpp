#include "protocol/restart.h"

#include "exchangebench.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

TEST(Restart, SendsTwoRestartCommandsHalfASecondApart) {
    ExchangeBench bench(Language::Chinese);
    bench.form.setText(Ctl::Command9, QStringLiteral("重启"));
    restartDevice(bench.session);
    bench.deliverPendingBytes();
    EXPECT_EQ(bench.bytesReceived(), "REBOOT#\r\nREBOOT#\r\n");
    EXPECT_EQ(bench.commandTimes(), QList<quint32>({101, 602}));
    // English in both interfaces once the button has been used.
    EXPECT_EQ(bench.form.text(Ctl::Command9), "restart");
    EXPECT_FALSE(bench.link.isOpen());
    EXPECT_EQ(bench.status(), "");
    EXPECT_TRUE(bench.prompter.messages.empty());
}

}  // namespace
