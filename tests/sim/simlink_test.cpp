#include "devicerig.h"
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
    DeviceRig rig;
    SimLink& link = rig.link;
    EXPECT_EQ(errorOf([&] { link.open(); }), Kind::IsOpen);
    EXPECT_EQ(errorOf([&] { link.setPortName("X"); }), Kind::IsOpen);
    link.close();
    EXPECT_EQ(errorOf([&] { link.close(); }), std::nullopt);
    EXPECT_EQ(errorOf([&] { link.write("SETUP#\r\n"); }), Kind::NotOpen);
    link.setBusy(true);
    EXPECT_EQ(errorOf([&] { link.open(); }), Kind::Busy);
    link.setBusy(false);
    rig.device.unplug();
    EXPECT_EQ(errorOf([&] { link.open(); }), Kind::NotFound);
    rig.device.plugIn();
    EXPECT_EQ(errorOf([&] { link.open(); }), std::nullopt);
    EXPECT_EQ(rig.exchange("SETUP#\r\n"), "CONNECT\r\n");
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

TEST(SimLink, UnpluggingTheOpenDeviceReportsOneLossAndAClosedOneNone) {
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open);
        DeviceRig rig;
        QStringList losses;
        rig.link.setLossHandler([&](const QString& reason) { losses.append(reason); });
        if (!open) {
            rig.link.close();
        }
        rig.device.unplug();
        rig.device.unplug();
        EXPECT_FALSE(rig.link.isOpen());
        EXPECT_EQ(losses.size(), open ? 1 : 0);
    }
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
