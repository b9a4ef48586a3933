// Long runs in virtual time. The suite runs them scaled down; with
// KV_SOAK_FULL=1 they run a day of chatter and a thousand cycles, and print
// the figures docs/RELIABILITY.md reports.
#include "reliabilityrig.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

bool fullRun() {
    return qEnvironmentVariableIntValue("KV_SOAK_FULL") == 1;
}

// The process's peak resident memory in KiB, from the kernel's own count.
qint64 peakRssKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
    }
    return -1;
}

// Between its waits the program's event loop delivers what the window posts
// to itself (a scroll range that changed, a repaint). The virtual clock runs
// no event loop, and a day of undelivered events would read as a leak, so the
// soak delivers them as the loop would.
void deliverPostedEvents(VirtualClock& clock) {
    clock.startTimer(100, [] { QCoreApplication::sendPostedEvents(); });
}

// A device left talking to an open port: setting lines, acknowledgements,
// half lines and noise every few milliseconds, nearly filling the line, for a
// day. The scaled run checks the bounds the window keeps; the day also checks
// that memory stops growing once the first hour has filled every buffer.
TEST(Soak, AChattyDeviceKeepsMemoryBounded) {
    constexpr qint64 kHourMs = 3600LL * 1000;
    const qint64 runMs = fullRun() ? 24 * kHourMs : 20LL * 1000;
    ReliabilityRig rig;
    rig.session->openPort();
    const QList<QByteArray> chatter = {"CALLSIGN:NOCALL-10\r\n",
                                       "CONNECT\r\n",
                                       "IP:192,168,1,99\r\n",
                                       "\xfe\x80~noise",
                                       "READ END\r\n",
                                       "freq save\r\n",
                                       "COMMENT TEXT:\xd6\xd0\xbc\xcc\r\n",
                                       QByteArray(300, 'x'),
                                       "\r\n"};
    QRandomGenerator random(3);
    qsizetype longestReplyLine = 0;
    qsizetype longestStatus = 0;
    qint64 bytesSent = 0;
    rig.clock.startTimer(4, [&] {
        const QByteArray& line = chatter[random.bounded(int(chatter.size()))];
        rig.ports.device.sendNoise(line);
        bytesSent += line.size();
        longestReplyLine = qMax(longestReplyLine, rig.session->receivePath().replyLine().size());
        longestStatus = qMax(longestStatus, rig.form.text(Ctl::Text29).size());
    });
    deliverPostedEvents(rig.clock);
    const qint64 firstMs = qMin(runMs, kHourMs);
    rig.clock.advance(firstMs);
    const qint64 firstHourPeakKib = peakRssKib();
    rig.clock.advance(runMs - firstMs);

    EXPECT_TRUE(rig.ports.link.isOpen());
    EXPECT_LE(rig.session->receivePath().trace().first(1'000'000).size(), ByteTrace::kKept);
    EXPECT_LE(longestReplyLine, ReceivePath::kReplyLineLimit);
    EXPECT_LE(longestStatus, kStatusBoxLimit);
    if (fullRun()) {
        EXPECT_LE(peakRssKib(), firstHourPeakKib + 8 * 1024);
        std::printf(
            "chatty day: %lld bytes received, longest reply line %lld, longest status "
            "box %lld characters, peak RSS %lld KiB after the first hour, %lld KiB after the "
            "day\n",
            static_cast<long long>(bytesSent), static_cast<long long>(longestReplyLine),
            static_cast<long long>(longestStatus), static_cast<long long>(firstHourPeakKib),
            static_cast<long long>(peakRssKib()));
    }
}

// Reads and writes one after the other, each meeting a fault drawn at
// random; every cycle ends with the port closed, no update running and the
// buttons idle, within its bound of virtual time.
TEST(Soak, ReadWriteCyclesWithRandomFaultsEachEndInADefinedState) {
    const int cycles = fullRun() ? 1000 : 40;
    ReliabilityRig rig;
    deliverPostedEvents(rig.clock);
    SimulatedDevice& device = rig.ports.device;
    const SimKnobs normal = device.knobs();
    QRandomGenerator random(5);
    qint64 longestCycleMs = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        SCOPED_TRACE(cycle);
        device.plugIn();
        device.knobs() = normal;
        rig.ports.simulated.setBusy(false);
        const Ctl button = cycle % 2 == 0 ? Ctl::Command6 : Ctl::Command7;
        const int fault = random.bounded(8);
        const int faultAtMs = random.bounded(3000);
        switch (fault) {
            case 0:
                device.knobs().silent = true;
                break;
            case 1:
                device.knobs().garbage = QByteArray("\x80\xff#\r\n", 5);
                break;
            case 2:
                device.knobs().answerDelayMs += random.bounded(2000);
                break;
            case 3:
                device.knobs().noReadEnd = true;
                device.knobs().noFreqSave = true;
                break;
            case 4:
                rig.clock.post(faultAtMs, [&device] { device.unplug(); });
                break;
            case 5:
                rig.clock.post(faultAtMs, [&rig, button] { rig.click(button); });
                break;
            case 6:
                rig.ports.simulated.setBusy(true);
                break;
            default:
                break;  // no fault
        }
        const qint64 start = rig.clock.elapsedMs();
        rig.click(button);
        ASSERT_TRUE(rig.runUntil([&] { return !rig.ports.link.isOpen(); }, 120'000));
        rig.clock.advance(3000);  // lets a posted fault fall due outside the cycle
        longestCycleMs = qMax(longestCycleMs, rig.clock.elapsedMs() - start);
        ASSERT_FALSE(rig.ports.link.isOpen());
        ASSERT_FALSE(rig.updater->isBusy());
        ASSERT_TRUE(rig.form.isEnabled(Ctl::Command6));
        ASSERT_EQ(rig.form.text(Ctl::Command7), rig.session->tr(Msg::WriteButtonIdle));
        ASSERT_TRUE(rig.form.text(Ctl::Command6) == rig.session->tr(Msg::ReadButtonIdle) ||
                    rig.form.text(Ctl::Command6) == rig.session->tr(Msg::PortIsOpen));
        ASSERT_LE(rig.form.text(Ctl::Text29).size(), kStatusBoxLimit);
        rig.prompter.messages.clear();
    }
    if (fullRun()) {
        std::printf("%d cycles: longest %lld ms virtual, peak RSS %lld KiB\n", cycles,
                    static_cast<long long>(longestCycleMs), static_cast<long long>(peakRssKib()));
    }
}

}  // namespace
