// A USB adapter pulled out while its port is open: the link closes itself and
// reports the loss; the running operation ends with the loss in the status box
// and the window as it was before, and the port list can be refreshed at once.
#include "protocol/commands.h"
#include "reliabilityrig.h"
#include "sim/receivelog.h"

#include <QComboBox>

#include <gtest/gtest.h>

namespace {

TEST(PortLoss, TheRunningOperationEndsWithTheLossShownAndThePortListRefreshes) {
    struct Case {
        const char* what;
        Ctl button;
        QByteArray unplugAfter;  // the device goes away once it has received this
        Msg idleCaption;
        // The transfer tells of the loader gone quiet, not of the port.
        bool endsAsAStall = false;
        // How long the operation may go on once the port is gone.
        qint64 endsWithinMs = 100;
    };
    const Case cases[] = {
        {"read, while the settings come", Ctl::Command6, Commands::read(), Msg::ReadButtonIdle},
        {"write, between the commands", Ctl::Command7, "AT+PASS", Msg::WriteButtonIdle},
        {"WiFi write, awaiting confirmation", Ctl::Command8, "AT+WIFI", Msg::WifiButtonIdle},
        {"update start, resetting the settings memory", Ctl::Command2, Commands::reset(),
         Msg::UpdateButtonIdle, false, 120'000},
        {"transfer, between blocks", Ctl::Command2, QByteArray(1, char(0x5E)),
         Msg::UpdateButtonIdle, true, 120'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReliabilityRig rig;
        SimulatedDevice& device = rig.ports.device;
        qint64 unpluggedAt = 0;
        const Clock::TimerId watch = rig.clock.startTimer(5, [&] {
            if (device.isPresent() && receivedBytes(device.received()).contains(c.unplugAfter)) {
                device.unplug();
                unpluggedAt = rig.clock.elapsedMs();
            }
        });
        rig.click(c.button);
        ASSERT_TRUE(rig.runUntil([&] { return !rig.ports.link.isOpen() && !rig.updater->isBusy(); },
                                 120'000));
        rig.clock.stopTimer(watch);
        EXPECT_GT(unpluggedAt, 0);
        EXPECT_LE(rig.clock.elapsedMs() - unpluggedAt, c.endsWithinMs);

        EXPECT_FALSE(device.isPresent());
        // The status box keeps the loss on a line of its own, or the failure
        // message carries it.
        const QString loss = QStringLiteral(
            "The serial port went away (was the cable unplugged?): the simulated device went away");
        const QString lastMessage =
            rig.prompter.messages.empty() ? QString() : rig.prompter.messages.back().text;
        if (c.endsAsAStall) {
            // With where the settings kept before the update are.
            EXPECT_EQ(lastMessage.section(u'\n', 0, 0), rig.session->tr(Msg::UpdateStalled));
            EXPECT_TRUE(lastMessage.section(u'\n', 1).startsWith(u"Your settings are kept in "));
        } else {
            const QString status = rig.form.text(Ctl::Text29);
            EXPECT_TRUE(status.split(QStringLiteral("\r\n")).contains(loss) ||
                        lastMessage.contains(loss))
                << status.toStdString() << " / " << lastMessage.toStdString();
        }
        EXPECT_EQ(rig.form.text(c.button), rig.session->tr(c.idleCaption));
        EXPECT_TRUE(rig.form.isEnabled(Ctl::Combo1));
        EXPECT_TRUE(rig.form.isEnabled(Ctl::Command2));

        // Another adapter appears; opening the list probes the machine again.
        rig.lister.ports = {{QStringLiteral("/dev/ttyUSB1"), QStringLiteral("CP2102")}};
        const int probes = rig.lister.probes;
        auto* selector = rig.window->findChild<QComboBox*>(nameOf(Ctl::Combo1));
        selector->showPopup();
        selector->hidePopup();
        EXPECT_EQ(rig.lister.probes, probes + 1);
        EXPECT_EQ(rig.form.items(Ctl::Combo1),
                  (QStringList{QStringLiteral("/dev/ttyUSB1"), kSimPortName}));
    }
}

}  // namespace
