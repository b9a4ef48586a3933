#include "devicerig.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(DeviceKnobs, EachKnobTakesAwayOrAddsAnAnswerButTheCommandIsStillCarriedOut) {
    struct Case {
        const char* name;
        SimKnobs knobs;
        QByteArray command;
        QByteArray answer;
        std::function<void(SimConfig&)> done;  // what the command does to the settings
    };
    const auto nothing = [](SimConfig&) {};
    const Case cases[] = {
        {"silent", {.silent = true}, "SETUP#\r\n", "", nothing},
        {"silent, still stores",
         {.silent = true},
         "AT+PASS,11111#\r\n",
         "",
         [](SimConfig& c) { c.passcode = "11111"; }},
        {"no CONNECT", {.noConnect = true}, "SETUP#\r\n", "", nothing},
        {"no CONNECT, other acks stay",
         {.noConnect = true},
         "AT+RESET#\r\n",
         "eeram reset\r\n",
         nothing},
        {"no READ END", {.noReadEnd = true}, "AT+READ#\r\n", kFactoryRead.chopped(10), nothing},
        {"no freq save",
         {.noFreqSave = true},
         "\r\nAT+FREQ,145.0#\r\n",
         "",
         [](SimConfig& c) { c.frequency = "145.0"; }},
        {"no WIFI ack",
         {.noWifiAck = true},
         "AT+WIFI,a,b#\r\n",
         "",
         [](SimConfig& c) {
             c.wifiSsid = "a";
             c.wifiPassword = "b";
         }},
        {"no eeram reset", {.noEeramReset = true}, "AT+CALL,AB1C-9#\r\nAT+RESET#\r\n", "", nothing},
        {"garbage before every line",
         {.garbage = QByteArray("\x00\xffz\r", 4)},
         "SETUP#\r\n",
         QByteArray("\x00\xffz\rCONNECT\r\n", 13),
         nothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceRig rig(c.knobs);
        EXPECT_EQ(rig.exchange(c.command), c.answer);
        SimConfig expected;
        c.done(expected);
        EXPECT_EQ(rig.device.config(), expected);
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

TEST(DeviceKnobs, AnswersStartAfterTheAnswerDelayOrOnceTheLineIsFree) {
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
