// A host that walks away in the middle of a transfer (unplugged, closed, the
// tool gave up) must not leave the loader deaf to the next update.
#include "devicerig.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kProbe("\x5F\x00\x00\xF5", 4);
const QByteArray kLength5000("\x5E\x03\x88\x02\xE5", 5);  // 3 blocks

// Restarts into the loader, starts a 5000-byte transfer and sends half of the
// first block, then goes quiet.
void abandonTransfer(DeviceRig& rig) {
    rig.exchange("REBOOT#\r\n", 100);
    ASSERT_EQ(rig.exchange(kProbe, 100), "\xE5");
    ASSERT_EQ(rig.exchange(kLength5000, 100), "\xC5");
    rig.exchange(QByteArray(1024, '\x11'), 0);
}

TEST(LoaderIdle, AnAbandonedTransferIsGivenUpAfterTheIdleTime) {
    struct Case {
        const char* name;
        int idleMs;
        int quietMs;        // from the last byte of the half block to the probe
        QByteArray answer;  // to that probe
    };
    const Case cases[] = {
        {"still waiting for the rest of the block", 3000, 2900, ""},
        {"given up, listening again", 3000, 3100, "\xE5"},
        {"a longer idle time", 10'000, 9000, ""},
        {"never given up", 0, 600'000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRig rig(SimKnobs{.loaderIdleMs = c.idleMs});
        abandonTransfer(rig);
        rig.clock.advance(c.quietMs);
        EXPECT_EQ(rig.exchange(kProbe, 100), c.answer);
        EXPECT_TRUE(rig.device.inLoader()) << "half an image is nothing to boot";
        EXPECT_FALSE(rig.device.flash().complete);
    }
}

TEST(LoaderIdle, ATransferAfterTheGivenUpOneFlashesTheWholeImage) {
    DeviceRig rig;
    abandonTransfer(rig);
    rig.clock.advance(5000);
    // Text the tool sends first, to a firmware that is not there, is no probe.
    EXPECT_EQ(rig.exchange("AT+RESET#\r\nREBOOT#\r\n", 1000), "");
    ASSERT_EQ(rig.exchange(kProbe, 100), "\xE5");
    QByteArray request = rig.exchange(kLength5000, 100);
    for (int block = 0; block < 3; ++block) {
        ASSERT_EQ(request, "\xC5") << block;
        request = rig.exchange(QByteArray(2048, '\0') + '\0', 500);
    }
    EXPECT_TRUE(rig.device.flash().complete);
    EXPECT_EQ(rig.device.flash().blocks, 3);
    EXPECT_FALSE(rig.device.inLoader()) << "the new firmware boots";
}

}  // namespace
