#include "gui/trafficpanel.h"
#include "app/form.h"
#include "protocol/readexchange.h"
#include "protocol/session.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "sim/receivelog.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The simulated device behind the traffic tap, as the program wires it, and
// the panel on the tap.
struct TrafficRig {
    TrafficRig() {
        device.config().passcode = "24680";
        form.setText(Ctl::Combo1, QStringLiteral("SIM"));
    }
    QStringList shownLines() {
        panel.refresh();
        return panel.findChild<QPlainTextEdit*>("TrafficView")->toPlainText().split(u'\n');
    }

    VirtualClock clock;
    QTemporaryDir dir;
    Form form;
    ScriptedPrompter prompter;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    SimulatedDevice device{clock};
    SimLink simLink{device, clock};
    TrafficTap tap{simLink};
    Session session{form, tap, clock, prompter, store};
    TrafficPanel panel{tap, prompter, Language::English, [this] { return qint64(clock.nowMs()); }};
};

// The panel records before it was ever shown: the traffic of a failure is
// there when it is opened.
TEST(TrafficPanel, RecordsFromTheStartAndShowsAndSavesOneMaskedLinePerCommandOrReply) {
    TrafficRig rig;
    readExchange(rig.session);
    QByteArray sent;
    QByteArray received;
    for (const TrafficEntry& entry : rig.panel.log().entries()) {
        (entry.direction == TrafficTap::Direction::Sent ? sent : received) += entry.bytes;
    }
    // The read, whole: what the device received and what it answered.
    EXPECT_EQ(receivedBytes(rig.device.received()), sent);
    EXPECT_EQ(sent.count("SETUP#"), 2);
    EXPECT_TRUE(received.startsWith("CONNECT\r\n"));
    EXPECT_TRUE(received.contains("PASS:24680\r\n"));
    EXPECT_TRUE(received.endsWith("READ END\r\n"));
    // The window still got every reply.
    EXPECT_EQ(rig.form.text(Ctl::Text5), "24680");

    rig.panel.show();
    const QStringList lines = rig.shownLines();
    EXPECT_EQ(qsizetype(rig.panel.log().entries().size()), lines.size());
    // One whole line for each "CONNECT", the answers to the two "SETUP#".
    EXPECT_EQ(lines.filter(QRegularExpression(" RX .* CONNECT\\.\\.$")).size(), 2);
    const QStringList passLines = lines.filter(" RX  50 41 53 53 3A ");
    ASSERT_EQ(passLines.size(), 1);
    EXPECT_TRUE(passLines[0].endsWith("PASS:*****..")) << passLines[0].toStdString();
    EXPECT_FALSE(lines.join(u'\n').contains("24680"));
    EXPECT_EQ(lines.filter(QRegularExpression(" TX .*AT\\+READ#\\.\\.$")).size(), 1);

    rig.prompter.files.push_back(rig.dir.filePath("traffic.txt"));
    rig.panel.save();
    QFile saved(rig.dir.filePath("traffic.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), lines.join(u'\n') + u'\n');
}

}  // namespace
