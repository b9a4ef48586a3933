// The real serial path, in real time: QtSerialLink against the simulated
// device served on a pseudo-terminal in this process. Waits are bounded and
// end as soon as what they wait for has happened.
#include "serial/qtclock.h"
#include "serial/qtseriallink.h"
#include "sim/pseudoterminal.h"
#include "sim/receivelog.h"
#include "sim/simulateddevice.h"
#include "support/printers.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kBoundMs = 3000;

struct ServedDevice {
    ServedDevice() {
        terminal.open();
        terminal.setReceiver([this](const QByteArray& bytes) { device.receive(bytes); });
        device.setSender([this](const QByteArray& bytes) { terminal.write(bytes); });
        link.setPortName(terminal.slavePath());
        link.setReceiver([this](const QByteArray& bytes) { heard += bytes; });
    }

    QtClock clock;
    SimulatedDevice device{clock, SimKnobs{.bytesPerSecond = kLineRate115200}};
    PseudoTerminal terminal;
    QtSerialLink link;
    QByteArray heard;
};

TEST(EndToEnd, ABlockWrittenJustBeforeCloseArrivesWhole) {
    ServedDevice served;
    QByteArray block(2049, '\0');
    for (int i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 31);
    }
    served.link.open();
    served.link.write(block);
    served.link.close();
    const auto received = [&] { return receivedBytes(served.device.received()); };
    EXPECT_TRUE(QTest::qWaitFor([&] { return received().size() >= block.size(); }, kBoundMs));
    EXPECT_EQ(received(), block);
}

TEST(EndToEnd, SetupGetsConnectEachTimeThePortIsOpened) {
    ServedDevice served;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        served.heard.clear();
        served.link.open();
        served.link.write("\r\nSETUP#\r\n");
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return served.heard.contains("CONNECT\r\n"); }, kBoundMs));
        EXPECT_EQ(served.heard, "CONNECT\r\n");
        served.link.close();
    }
}

TEST(EndToEnd, TheDeviceGoingAwayIsALossOnTheRealPort) {
    ServedDevice served;
    served.device.setGoneHandler([&] { served.terminal.close(); });
    served.device.knobs().disconnectAfterBytes = 4;
    bool lost = false;
    served.link.setLossHandler([&](const QString&) { lost = true; });
    served.link.open();
    served.link.write("SETUP#\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost; }, kBoundMs));
    EXPECT_FALSE(served.link.isOpen());
}

}  // namespace
