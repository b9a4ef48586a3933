#include "devicerig.h"
#include "serial/portlister.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

std::optional<SerialError::Kind> errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const SerialError& error) {
        return error.kind();
    }
    return std::nullopt;
}

TEST(SimLink, PortOperationsFailAsARealPortDoes) {
    using Kind = SerialError::Kind;
    struct Case {
        const char* name;
        std::function<void(DeviceRig&)> action;
        std::optional<Kind> error;
    };
    const Case cases[] = {
        {"open when unplugged",
         [](DeviceRig& r) {
             r.link.close();
             r.device.unplug();
             r.link.open();
         },
         Kind::NotFound},
        {"open when busy",
         [](DeviceRig& r) {
             r.link.close();
             r.link.setBusy(true);
             r.link.open();
         },
         Kind::Busy},
        {"open when no longer busy",
         [](DeviceRig& r) {
             r.link.close();
             r.link.setBusy(true);
             r.link.setBusy(false);
             r.link.open();
         },
         std::nullopt},
        {"open twice", [](DeviceRig& r) { r.link.open(); }, Kind::IsOpen},
        {"rename while open", [](DeviceRig& r) { r.link.setPortName("X"); }, Kind::IsOpen},
        {"write when closed",
         [](DeviceRig& r) {
             r.link.close();
             r.link.write("SETUP#\r\n");
         },
         Kind::NotOpen},
        {"close twice",
         [](DeviceRig& r) {
             r.link.close();
             r.link.close();
         },
         std::nullopt},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        EXPECT_EQ(errorOf([&] { c.action(rig); }), c.error) << c.name;
    }
}

TEST(SimLink, ItsNameIsSimUntilRenamed) {
    DeviceRig rig;
    EXPECT_EQ(rig.link.portName(), kSimPortName);
    rig.link.close();
    rig.link.setPortName("COM7");
    EXPECT_EQ(rig.link.portName(), "COM7");
}

TEST(SimLink, BytesWrittenBeforeCloseStillReachTheDevice) {
    DeviceRig rig(SimKnobs{.bytesPerSecond = kLineRate115200});
    rig.link.write(QByteArray(2049, '\x5a'));
    rig.link.close();
    rig.clock.advance(1000);
    EXPECT_EQ(receivedBytes(rig.device.received()), QByteArray(2049, '\x5a'));
}

TEST(SimLink, AnswersArrivingWhileClosedAreNotDelivered) {
    DeviceRig rig;
    rig.link.write("SETUP#\r\n");
    rig.link.close();
    rig.clock.advance(1000);
    rig.link.open();
    rig.clock.advance(1000);
    EXPECT_TRUE(rig.heard.isEmpty());
}

TEST(SimLink, UnpluggingTheOpenDeviceReportsLossAndClosesOnce) {
    DeviceRig rig;
    QStringList losses;
    rig.link.setLossHandler([&](const QString& reason) { losses.append(reason); });
    rig.device.unplug();
    rig.device.unplug();
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(losses.size(), 1);
}

TEST(SimLink, UnpluggingWhileClosedReportsNoLoss) {
    DeviceRig rig;
    bool lost = false;
    rig.link.setLossHandler([&](const QString&) { lost = true; });
    rig.link.close();
    rig.device.unplug();
    EXPECT_FALSE(lost);
}

TEST(SimLink, BytesInFlightWhenTheLinkIsDestroyedAreDropped) {
    VirtualClock clock;
    SimulatedDevice device(clock);
    {
        SimLink link(device, clock);
        link.open();
        link.write("SETUP#\r\n");
    }
    clock.advance(1000);
    EXPECT_TRUE(device.received().isEmpty());
}

}  // namespace
