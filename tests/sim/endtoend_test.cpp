// The real serial path, in real time: QtSerialLink against the simulated
// device served on a pseudo-terminal in this process. Whole exchanges over it
// are tested in tests/endtoend; here, the device going away.
#include "serial/qtseriallink.h"
#include "support/printers.h"
#include "support/serveddevice.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(EndToEnd, TheDeviceGoingAwayIsALossOnTheRealPort) {
    ServedDevice served;
    served.device.setGoneHandler([&] { served.terminal.close(); });
    served.device.knobs().disconnectAfterBytes = 4;
    QtSerialLink link;
    link.setPortName(served.path());
    bool lost = false;
    link.setLossHandler([&](const QString&) { lost = true; });
    link.open();
    link.write("SETUP#\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost; }, 3000));
    EXPECT_FALSE(link.isOpen());
}

}  // namespace
