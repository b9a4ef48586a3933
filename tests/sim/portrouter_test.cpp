#include "sim/portrouter.h"
#include "serial/portlister.h"
#include "serial/virtualclock.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

// Two simulated devices: one stands in for the real port.
struct Router {
    Router() {
        real.setPortName("/dev/ttyUSB0");
        router.setReceiver([this](const QByteArray& bytes) { heard += bytes; });
        router.setLossHandler([this](const QString& reason) { losses.append(reason); });
    }

    VirtualClock clock;
    SimulatedDevice realDevice{clock};
    SimulatedDevice simDevice{clock};
    SimLink real{realDevice, clock};
    SimLink sim{simDevice, clock};
    PortRouter router{real, sim};
    QByteArray heard;
    QStringList losses;
};

TEST(PortRouter, TheNameSimGoesToTheSimulatedDeviceAnyOtherToTheRealPort) {
    struct Case {
        QString name;
        bool toSim;
    };
    const Case cases[] = {
        {kSimPortName, true}, {"/dev/ttyUSB0", false}, {"COM3", false}, {"sim", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        Router r;
        SimLink& routed = c.toSim ? r.sim : r.real;
        r.router.setPortName(c.name);
        r.router.open();
        r.router.write("SETUP#\r\n");
        r.clock.advance(1000);
        EXPECT_TRUE(r.router.isOpen());
        EXPECT_EQ(r.sim.isOpen(), c.toSim);
        EXPECT_EQ(r.real.isOpen(), !c.toSim);
        EXPECT_EQ(r.simDevice.received().isEmpty(), !c.toSim);
        EXPECT_EQ(r.realDevice.received().isEmpty(), c.toSim);
        EXPECT_EQ(r.heard, "CONNECT\r\n") << "answers pass through";
        EXPECT_EQ(routed.portName(), c.name) << "the routed port is told its name";

        EXPECT_THROW(r.router.setPortName("COM9"), SerialError);
        EXPECT_EQ(r.router.portName(), c.name);
        r.router.close();
        EXPECT_FALSE(routed.isOpen());

        r.router.open();
        (c.toSim ? r.simDevice : r.realDevice).unplug();
        EXPECT_EQ(r.losses.size(), 1) << "the loss passes through";
        EXPECT_FALSE(r.router.isOpen());
    }
}

}  // namespace
