#include "devicerig.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(DeviceKnobs, EachKnobTakesAwayOrAddsWhatItSays) {
    struct Case {
        const char* name;
        std::function<void(SimKnobs&)> set;
        QByteArray command;
        QByteArray answer;
    };
    const Case cases[] = {
        {"silent", [](SimKnobs& k) { k.silent = true; }, "SETUP#\r\n", ""},
        {"no CONNECT", [](SimKnobs& k) { k.noConnect = true; }, "SETUP#\r\n", ""},
        {"no CONNECT, other acks stay", [](SimKnobs& k) { k.noConnect = true; }, "AT+RESET#\r\n",
         "eeram reset\r\n"},
        {"no freq save", [](SimKnobs& k) { k.noFreqSave = true; }, "\r\nAT+FREQ,145.0#\r\n", ""},
        {"no WIFI ack", [](SimKnobs& k) { k.noWifiAck = true; }, "AT+WIFI,a,b#\r\n", ""},
        {"no eeram reset", [](SimKnobs& k) { k.noEeramReset = true; }, "AT+RESET#\r\n", ""},
        {"garbage before every line", [](SimKnobs& k) { k.garbage = QByteArray("\x00\xffz\r", 4); },
         "SETUP#\r\n", QByteArray("\x00\xffz\rCONNECT\r\n", 13)},
    };
    for (const Case& c : cases) {
        SimKnobs knobs;
        c.set(knobs);
        DeviceRig rig(knobs);
        EXPECT_EQ(rig.exchange(c.command), c.answer) << c.name;
    }
}

TEST(DeviceKnobs, NoReadEndSendsTheSettingLinesOnly) {
    DeviceRig rig(SimKnobs{.noReadEnd = true});
    const QByteArray read = rig.exchange("AT+READ#\r\n");
    EXPECT_TRUE(read.startsWith("CALLSIGN:NOCALL-10\r\n"));
    EXPECT_TRUE(read.endsWith("VER:KV120 V1.0\r\n"));
    EXPECT_FALSE(read.contains("READ END"));
}

TEST(DeviceKnobs, SilentOrUnacknowledgedCommandsAreStillCarriedOut) {
    struct Case {
        SimKnobs knobs;
        QByteArray command;
        std::function<bool(const SimConfig&)> done;
    };
    const Case cases[] = {
        {SimKnobs{.silent = true}, "AT+PASS,11111#\r\n",
         [](const SimConfig& c) { return c.passcode == "11111"; }},
        {SimKnobs{.noFreqSave = true}, "\r\nAT+FREQ,145.0#\r\n",
         [](const SimConfig& c) { return c.frequency == "145.0"; }},
        {SimKnobs{.noWifiAck = true}, "AT+WIFI,a,b#\r\n",
         [](const SimConfig& c) { return c.wifiSsid == "a"; }},
        {SimKnobs{.noEeramReset = true}, "AT+RESET#\r\n",
         [](const SimConfig& c) { return c.callsign == "NOCALL"; }},
    };
    for (const Case& c : cases) {
        DeviceRig rig(c.knobs);
        rig.device.config().callsign = "AB1C";
        rig.exchange(c.command);
        EXPECT_TRUE(c.done(rig.device.config())) << c.command.toStdString();
    }
}

TEST(DeviceKnobs, TheAnswerStartsAfterTheAnswerDelay) {
    for (const int delay : {0, 20, 750}) {
        DeviceRig rig(SimKnobs{.answerDelayMs = delay});
        rig.exchange("SETUP#\r\n", 2000);
        ASSERT_EQ(rig.heard.size(), 1) << delay;
        EXPECT_EQ(rig.heard[0].atMs, static_cast<quint32>(delay));
    }
}

TEST(DeviceKnobs, LineRateSetsHowLongBytesTakeOnTheWire) {
    struct Case {
        int bytesPerSecond;
        QList<int> writes;           // sizes written back to back by the host
        QList<quint32> arrivedAtMs;  // when each chunk was complete at the device
    };
    const Case cases[] = {
        {kLineRate115200, {2049}, {178}}, {kLineRate115200, {1024, 1025}, {89, 178}},
        {kLineRate115200, {5}, {1}},      {0, {2049}, {0}},
        {1000, {10, 10}, {10, 20}},
    };
    for (const Case& c : cases) {
        DeviceRig rig(SimKnobs{.bytesPerSecond = c.bytesPerSecond});
        for (const int size : c.writes) {
            rig.link.write(QByteArray(size, 'x'));
        }
        rig.clock.advance(1000);
        QList<quint32> times;
        for (const SimReceived& chunk : rig.device.received()) {
            times.append(chunk.atMs);
        }
        EXPECT_EQ(times, c.arrivedAtMs) << c.bytesPerSecond << " B/s, " << c.writes.size();
    }
}

TEST(DeviceKnobs, LineRateAlsoPacesTheDevicesAnswers) {
    // At 1000 B/s each byte takes a millisecond: "CONNECT\r\n" is 9 bytes,
    // the garbage before it 10.
    DeviceRig rig(SimKnobs{.answerDelayMs = 20, .garbage = "0123456789", .bytesPerSecond = 1000});
    rig.exchange("SETUP#\r\nSETUP#\r\n", 1000);
    QList<quint32> times;
    for (const SimReceived& chunk : rig.heard) {
        times.append(chunk.atMs);
    }
    // The host's 16 bytes are in at 16 ms; each answer starts 20 ms later or
    // once the line is free, whichever comes last.
    EXPECT_EQ(times, (QList<quint32>{46, 55, 65, 74}));
}

TEST(DeviceKnobs, DisconnectAfterBytesTakesThoseBytesThenGoesAway) {
    DeviceRig rig(SimKnobs{.disconnectAfterBytes = 12});
    QStringList losses;
    rig.link.setLossHandler([&](const QString& reason) { losses.append(reason); });
    rig.exchange("SETUP#\r\n");
    EXPECT_TRUE(rig.link.isOpen());
    EXPECT_EQ(rig.exchange("AT+READ#\r\n"), "") << "the read never reached the device whole";
    EXPECT_EQ(receivedBytes(rig.device.received()), "SETUP#\r\nAT+R");
    EXPECT_EQ(losses.size(), 1);
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_FALSE(rig.device.isPresent());
}

TEST(DeviceKnobs, AnAnswerDueWhileTheDeviceIsAwayIsLostAndItWorksOnceBack) {
    DeviceRig rig(SimKnobs{.answerDelayMs = 100});
    rig.link.write("SETUP#\r\n");
    rig.clock.advance(50);
    rig.device.unplug();
    rig.clock.advance(1000);
    EXPECT_TRUE(rig.heard.isEmpty());
    rig.device.plugIn();
    rig.link.open();
    EXPECT_EQ(rig.exchange("SETUP#\r\n"), "CONNECT\r\n");
}

}  // namespace
