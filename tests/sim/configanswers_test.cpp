#include "devicerig.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

// The factory read with the line of the same key replaced by line.
QByteArray withLine(const QByteArray& line) {
    const QByteArray key = line.left(line.indexOf(':') + 1);
    QByteArray result;
    for (const QByteArray& old : kFactoryRead.split('\n')) {
        if (!old.isEmpty()) {
            result += old.startsWith(key) && !key.isEmpty() ? line : old + '\n';
        }
    }
    return result;
}

// The settings a whole write and read carry are checked where the window
// keeps them across an update (tests/backup); here, the answers and the
// values the firmware stores in its own form.
TEST(DeviceAnswers, EachCommandIsAnsweredAndItsSettingReadBack) {
    struct Case {
        QByteArray command;
        QByteArray answer;    // the answer to the command itself
        QByteArray readLine;  // the line a following read shows; empty: the factory read
    };
    const Case cases[] = {
        {"\r\nSETUP#\r\n", "CONNECT\r\n", ""},
        {"AT+WIFI,home,se,cret#\r\n", "WIFI Write success\r\n", ""},
        {"AT+RESET#\r\n", "eeram reset\r\n", ""},
        {"AT+CALL,AB1C  -9#\r\n", "", "CALLSIGN:AB1C  -9\r\n"},
        {"AT+PASS,#\r\n", "", "PASS:\r\n"},
        {"AT+COMMENT,hello, world#\r\n", "", "COMMENT TEXT:hello, world\r\n"},
        {"AT+TIME,600#\r\n", "", "SENT TIME:0600\r\n"},
        {"AT+TIME,#\r\n", "", "SENT TIME:0000\r\n"},
        {"\r\nAT+FREQ,145.8250#\r\n", "freq save\r\n", "FREQ:145.8250\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        DeviceRig rig;
        EXPECT_EQ(rig.exchange(c.command), c.answer);
        EXPECT_EQ(rig.exchange("AT+READ#\r\n"), withLine(c.readLine));
    }
}

TEST(DeviceAnswers, WifiCredentialsAreStoredWithTheNameEndingAtTheFirstComma) {
    DeviceRig rig;
    rig.exchange("AT+WIFI,home,se,cret#\r\n");
    EXPECT_EQ(rig.device.config().wifiSsid, "home");
    EXPECT_EQ(rig.device.config().wifiPassword, "se,cret");
    rig.exchange("AT+WIFI,cafe,#\r\n");
    EXPECT_EQ(rig.device.config().wifiSsid, "cafe");
    EXPECT_EQ(rig.device.config().wifiPassword, "");
}

TEST(DeviceAnswers, ResetRestoresFactorySettingsButKeepsTheVersion) {
    DeviceRig rig;
    SimConfig& config = rig.device.config();
    config.callsign = "AB1C";
    config.dhcp = false;
    config.wifiSsid = "home";
    config.version = "KV120 V9.9";
    rig.exchange("AT+RESET#\r\n");
    SimConfig factory;
    factory.version = "KV120 V9.9";
    EXPECT_EQ(rig.device.config(), factory);
}

TEST(DeviceAnswers, SettingsSurviveARestart) {
    DeviceRig rig;
    rig.exchange("AT+CALL,AB1C  -9#\r\nREBOOT#\r\n", 5000);
    EXPECT_EQ(rig.exchange("AT+READ#\r\n"), withLine("CALLSIGN:AB1C  -9\r\n"));
}

TEST(DeviceAnswers, CommandsTheFirmwareCannotTakeChangeNothingAndGetNoAnswer) {
    const QByteArray commands[] = {
        "AT+CALL,NOCALL#\r\n",  // no "-" before the SSID
        "AT+DHCP,2#\r\n",
        "AT+WIFI,home#\r\n",
        "AT+READ\r\n",
        "at+read#\r\n",
        " SETUP#\r\n",
        "AT+NOPE,1#\r\n",
        "AT+PASS\r\n",
        "AT+FREQ#\r\n",
        "AT+CALL,AB1C  -9",                              // never ended
        "AT+COMMENT," + QByteArray(600, 'x') + "#\r\n",  // longer than the firmware's buffer
    };
    for (const QByteArray& command : commands) {
        SCOPED_TRACE(command.left(40).toStdString());
        DeviceRig rig;
        EXPECT_EQ(rig.exchange(command), "");
        EXPECT_EQ(rig.device.config(), SimConfig());
        EXPECT_EQ(rig.exchange("\r\nSETUP#\r\n"), "CONNECT\r\n") << "the next line is heard";
    }
}

TEST(DeviceAnswers, ALineMaySplitAcrossWritesAndEndInCrOrLfAlone) {
    DeviceRig rig;
    rig.exchange("AT+CA");
    rig.exchange("LL,AB1C  -9#\n");
    EXPECT_EQ(rig.exchange("SETUP#\r"), "CONNECT\r\n");
    EXPECT_EQ(rig.device.config().callsign, "AB1C");
}

TEST(DeviceAnswers, ChangesAreReportedOnlyWhenTheStoredSettingsChange) {
    struct Case {
        QByteArray command;
        int changes;
    };
    const Case cases[] = {
        {"AT+READ#\r\n", 0},
        {"AT+WIFI,a,b#\r\n", 1},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        int changes = 0;
        rig.device.setChangeHandler([&] { ++changes; });
        rig.exchange(c.command);
        EXPECT_EQ(changes, c.changes) << c.command.toStdString();
    }
}

}  // namespace
