#include "serial/qtseriallink.h"
#include "serial/virtualclock.h"
#include "sim/simlink.h"
#include "support/printers.h"
#include "support/serveddevice.h"
#include "support/testfiles.h"
#include "update/loaderprotocol.h"

#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// What AT+READ# gets from a device with the factory settings.
const QByteArray kFactoryRead =
    "CALLSIGN:NOCALL-10\r\nPASS:40663\r\nDHCP:1\r\nIP:192,168,1,99\r\nMASK:255,255,255,0\r\n"
    "GATE:192,168,1,1\r\nDNS:8,8,8,8\r\nPOSITION:!3035.00N/11417.00ErPHG1010\r\n"
    "COMMENT TEXT:KORVA 144.640MHz\r\nSERVER:china.aprs2.net\r\nSENT TIME:0600\r\n"
    "FILTER:b/KORVA\r\nBACKLIGHT:00\r\nFREQ:144.6400\r\nUNIT:1\r\nDIGI:1\r\nMOD:3\r\n"
    "PATH:1\r\nALIAS:3\r\nVER:KV120 V1.0\r\nREAD END\r\n";

// The simulated device on an open in-process link, in virtual time, with
// every byte the host heard.
struct Device {
    explicit Device(SimKnobs knobs = {}) : device(clock, std::move(knobs)) {
        link.setReceiver([this](const QByteArray& bytes) { heard += bytes; });
        link.open();
    }

    VirtualClock clock;
    SimulatedDevice device;
    SimLink link{device, clock};
    QByteArray heard;
};

TEST(DeviceAnswers, EachCommandIsAnsweredAndStoredAndOneTheFirmwareCannotTakeChangesNothing) {
    using C = SimConfig;
    using Stored = QList<std::pair<QByteArray C::*, QByteArray>>;
    struct Case {
        QByteArray command;
        QByteArray answer;
        Stored stored = {};  // the settings the command changes
        SimKnobs knobs = {};
    };
    const Case cases[] = {
        {"\r\nSETUP#\r\n", "CONNECT\r\n"},
        {"AT+READ#\r\n", kFactoryRead},
        {"AT+CALL,AB1 -9#\r\nAT+TIME,30#\r\nAT+READ#\r\n",
         QByteArray(kFactoryRead).replace("NOCALL-10", "AB1   -9").replace(":0600", ":0030"),
         {{&C::callsign, "AB1"}, {&C::ssid, "9"}, {&C::sendTime, "30"}}},
        {"AT+WIFI,a,b,c#\r\n",
         "WIFI Write success\r\n",
         {{&C::wifiSsid, "a"}, {&C::wifiPassword, "b,c"}}},
        {"AT+CALL,AB1C-9#\r\nAT+RESET#\r\n", "eeram reset\r\n"},
        {"AT+COMMENT,hello, world#\n", "", {{&C::comment, "hello, world"}}},
        {"\r\nAT+FREQ,145.8250#\r", "freq save\r\n", {{&C::frequency, "145.8250"}}},
        // Not taken; the line after them is heard.
        {"AT+CALL,NOCALL#\r\nAT+DHCP,2#\r\nAT+WIFI,home#\r\nAT+READ\r\nat+read#\r\n SETUP#\r\n"
         "AT+NOPE,1#\r\nAT+PASS\r\nSETUP#\r\n",
         "CONNECT\r\n"},
        {"AT+COMMENT," + QByteArray(600, 'x') + "#\r\nSETUP#\r\n", "CONNECT\r\n"},
        {"AT+CALL,AB1C  -9", ""},
        // The knobs take answers away or add to them; the commands are still carried out.
        {"AT+PASS,1#\r\nSETUP#\r\n", "", {{&C::passcode, "1"}}, {.silent = true}},
        {"SETUP#\r\nAT+RESET#\r\n", "eeram reset\r\n", {}, {.noConnect = true}},
        {"AT+READ#\r\n", kFactoryRead.chopped(10), {}, {.noReadEnd = true}},
        {"SETUP#\r\n", "~\rCONNECT\r\n", {}, {.garbage = "~\r"}},
        {"AT+COMMENT,x#\r\nSETUP#\r\n", "CONNECT\r\n", {}, {.ignoreCommand = "COMMENT"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.left(40).toStdString());
        Device rig(c.knobs);
        rig.link.write(c.command);
        rig.clock.advance(1000);
        EXPECT_EQ(rig.heard, c.answer);
        SimConfig expected;
        for (const auto& [field, value] : c.stored) {
            expected.*field = value;
        }
        EXPECT_EQ(rig.device.config(), expected);
    }
}

// The host's side of the loader transfer, as the program speaks it: E5 is met
// with the length packet, C5 with the block at the index, which then moves on,
// 55 with that block again; once the last block is out it answers no more.
// BadSum: block 1 goes out with a wrong checksum. BadLength: the length packet
// declares a partial block of 2048 bytes. Quits: the host walks away half way
// into the first block.
struct LoaderHost {
    enum class Fault { None, BadSum, BadLength, Quits };

    LoaderHost(Device& rig, qsizetype length) : image(padImage(patternBytes(length))) {
        rig.link.setReceiver([this, &rig](const QByteArray& bytes) {
            for (const char byte : bytes) {
                heard += byte;
                if (byte == '\xE5') {
                    rig.link.write(fault == Fault::BadLength ? QByteArray("\x5E\x08\x00\x02\xE5", 5)
                                                             : lengthPacket(image.length));
                } else if ((byte == '\xC5' || byte == '\x55') && index < image.blockCount()) {
                    QByteArray packet;
                    fillBlockPacket(packet, image, index);
                    packet.back() = char(packet.back() ^ (fault == Fault::BadSum && index == 1));
                    rig.link.write(fault == Fault::Quits ? packet.first(1024) : packet);
                    index += byte == '\xC5' && fault != Fault::Quits ? 1 : 0;
                }
            }
        });
    }

    FirmwareImage image;
    QByteArray heard;
    int index = 0;
    Fault fault = Fault::None;
};

TEST(Loader, ListensForAProbeAfterARestartAndStoresEachBlockItAskedForOnce) {
    using Fault = LoaderHost::Fault;
    const QByteArray e5c5 = "\xE5\xC5";
    const QByteArray all = e5c5 + "\xC5\xC5";  // three blocks
    struct Case {
        const char* name;
        QByteArray heard;  // the loader's answers and requests
        int blocks;        // stored
        bool inLoader;     // afterwards
        SimKnobs knobs = {};
        Fault fault = Fault::None;
        int probeAtMs = 100;  // after "REBOOT#"
        int reprobeAtMs = 0;  // after the probe; 0: none
        int length = 5000;
    };
    // A Quits host's half block is out 40 ms after the probe; the loader gives
    // the transfer up once the host has been quiet for 3 s.
    const Case cases[] = {
        {"5000 bytes", all, 3, false},
        // The transfer outlasts the window the loader listens in.
        {"largest", "\xE5" + QByteArray(256, '\xC5'), 256, false, {}, {}, 100, 0, kMaxImageLength},
        {"late in the window", all, 3, false, {}, {}, 2900},
        {"window over, booted", "", 0, false, {}, {}, 3100},
        {"55 every 2nd request", "\xE5\xC5\x55\xC5\x55\xC5", 3, false, {.askAgainEvery = 2}},
        // The host has moved past the refused block: the image stays short.
        {"bad checksum", "\xE5\xC5\xC5\x55\xC5\xC5", 2, true, {}, Fault::BadSum},
        {"last block taken as bad", all + "\x55", 2, true, {.corruptChecksumOfBlock = 2}},
        {"stalls after block 1", e5c5, 1, true, {.stallAfterBlock = 1}},
        {"bad length packet", "\xE5", 0, true, {}, Fault::BadLength},
        {"quit, still waiting", e5c5, 0, true, {}, Fault::Quits, 100, 2900},
        {"quit, given up", e5c5 + all, 3, false, {}, Fault::Quits, 100, 3100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Device rig(c.knobs);
        LoaderHost host(rig, c.length);
        host.fault = c.fault;
        rig.link.write("REBOOT#\r\n");
        rig.clock.advance(c.probeAtMs);
        rig.link.write(probePacket());
        if (c.reprobeAtMs > 0) {
            rig.clock.advance(c.reprobeAtMs);
            host.index = 0;
            host.fault = Fault::None;
            rig.link.write(probePacket());
        }
        rig.clock.advance(60'000);

        const SimFlash& flash = rig.device.flash();
        EXPECT_EQ(host.heard, c.heard);
        EXPECT_EQ(flash.blocks, c.blocks);
        const bool complete = c.blocks == blockCountFor(c.length);
        EXPECT_EQ(flash.complete, complete);
        EXPECT_EQ(flash.image == host.image.buffer, complete);
        EXPECT_EQ(rig.device.inLoader(), c.inLoader);
    }
}

// The real serial path, in real time, to the simulated device on a
// pseudo-terminal, which goes away once it has taken four bytes.
TEST(SimLink, TheDeviceGoingAwayIsALossOnTheRealPort) {
    ServedDevice served;
    served.device.setGoneHandler([&] { served.terminal.close(); });
    served.device.knobs().disconnectAfterBytes = 4;
    QtSerialLink link;
    link.setPortName(served.path());
    bool lost = false;
    link.setLossHandler([&] { lost = true; });
    link.open();
    link.write("SETUP#\r\n");
    EXPECT_TRUE(QTest::qWaitFor([&] { return lost; }, 3000));
    EXPECT_FALSE(link.isOpen());
}

// A program that reads the port too, taking no lock, takes some of the
// device's answers: the port is not lost for that, and the program is named.
// (cat alone ends at the first read that finds nothing once the port is set
// up as QSerialPort sets it; the shell keeps one reading.)
TEST(SimLink, AProgramThatSharesTheRealPortIsNamedAndIsNoLoss) {
    ServedDevice served;
    QProcess cat;
    cat.setStandardInputFile(served.path());
    cat.start(QStringLiteral("sh"), {"-c", "while :; do cat; done"});
    ASSERT_TRUE(cat.waitForStarted());
    QtSerialLink link;
    link.setPortName(served.path());
    bool lost = false;
    link.setLossHandler([&] { lost = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !link.otherUsers().isEmpty(); }, 3000));
    link.open();
    for (int i = 0; i < 20; ++i) {
        link.write("SETUP#\r\n");
        QTest::qWait(50);
    }
    EXPECT_GT(cat.bytesAvailable(), 0) << "the other program took none of the answers";
    EXPECT_FALSE(lost);
    EXPECT_TRUE(link.isOpen());
    EXPECT_TRUE(link.otherUsers().contains(PortUser{QStringLiteral("sh"), cat.processId()}));
    link.close();
    cat.kill();
    cat.waitForFinished();
}

}  // namespace
