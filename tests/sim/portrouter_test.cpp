#include "sim/portrouter.h"
#include "serial/portlister.h"
#include "serial/virtualclock.h"
#include "sim/receivelog.h"
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
        Router r;
        r.router.setPortName(c.name);
        r.router.open();
        r.router.write("SETUP#\r\n");
        r.clock.advance(1000);
        EXPECT_EQ(r.router.portName(), c.name);
        EXPECT_EQ(r.sim.isOpen(), c.toSim) << c.name.toStdString();
        EXPECT_EQ(r.real.isOpen(), !c.toSim) << c.name.toStdString();
        EXPECT_EQ(r.simDevice.received().isEmpty(), !c.toSim) << c.name.toStdString();
        EXPECT_EQ(r.realDevice.received().isEmpty(), c.toSim) << c.name.toStdString();
        EXPECT_EQ(r.heard, "CONNECT\r\n") << "answers pass through";
        if (!c.toSim) {
            EXPECT_EQ(r.real.portName(), c.name) << "the real port is told its name";
        }
    }
}

TEST(PortRouter, CloseAndIsOpenActOnTheRoutedLink) {
    Router r;
    r.router.setPortName(kSimPortName);
    r.router.open();
    EXPECT_TRUE(r.router.isOpen());
    r.router.close();
    EXPECT_FALSE(r.sim.isOpen());
    EXPECT_FALSE(r.router.isOpen());
}

TEST(PortRouter, TheNameCannotChangeWhileOpen) {
    Router r;
    r.router.setPortName(kSimPortName);
    r.router.open();
    EXPECT_THROW(r.router.setPortName("/dev/ttyUSB0"), SerialError);
    EXPECT_TRUE(r.sim.isOpen());
    EXPECT_EQ(r.router.portName(), kSimPortName);
}

TEST(PortRouter, LossOfEitherLinkPassesThrough) {
    for (const bool sim : {true, false}) {
        Router r;
        r.router.setPortName(sim ? kSimPortName : QStringLiteral("/dev/ttyUSB0"));
        r.router.open();
        (sim ? r.simDevice : r.realDevice).unplug();
        EXPECT_EQ(r.losses.size(), 1) << sim;
        EXPECT_FALSE(r.router.isOpen()) << sim;
    }
}

TEST(PortRouter, OpenErrorsOfTheRoutedLinkPassThrough) {
    Router r;
    r.simDevice.unplug();
    r.router.setPortName(kSimPortName);
    EXPECT_THROW(r.router.open(), SerialError);
    r.router.setPortName("/dev/ttyUSB0");
    EXPECT_NO_THROW(r.router.open());
}

}  // namespace
