#include "devicerig.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kFactoryRead =
    "CALLSIGN:NOCALL-10\r\n"
    "PASS:40663\r\n"
    "DHCP:1\r\n"
    "IP:192,168,1,99\r\n"
    "MASK:255,255,255,0\r\n"
    "GATE:192,168,1,1\r\n"
    "DNS:8,8,8,8\r\n"
    "POSITION:!3035.00N/11417.00ErPHG1010\r\n"
    "COMMENT TEXT:KORVA 144.640MHz\r\n"
    "SERVER:china.aprs2.net\r\n"
    "SENT TIME:0600\r\n"
    "FILTER:b/KORVA\r\n"
    "BACKLIGHT:00\r\n"
    "FREQ:144.6400\r\n"
    "UNIT:1\r\n"
    "DIGI:1\r\n"
    "MOD:3\r\n"
    "PATH:1\r\n"
    "ALIAS:3\r\n"
    "VER:KV120 V1.0\r\n"
    "READ END\r\n";

// The factory read with the line of the same key replaced by line.
QByteArray withLine(const QByteArray& read, const QByteArray& line) {
    const QByteArray key = line.left(line.indexOf(':') + 1);
    QByteArray result;
    for (const QByteArray& old : read.split('\n')) {
        if (!old.isEmpty()) {
            result += old.startsWith(key) ? line : old + '\n';
        }
    }
    return result;
}

TEST(DeviceAnswers, ReadGivesEverySettingInTheFileFormsThenReadEnd) {
    DeviceRig rig;
    EXPECT_EQ(rig.exchange("AT+READ#\r\n"), kFactoryRead);
}

TEST(DeviceAnswers, EachSettingCommandIsStoredAndReadBack) {
    struct Case {
        QByteArray command;
        QByteArray answer;    // the answer to the command itself
        QByteArray readLine;  // the line a following read shows
    };
    const Case cases[] = {
        {"AT+CALL,AB1C  -9#\r\n", "", "CALLSIGN:AB1C  -9\r\n"},
        {"AT+CALL,BG7XYZ-0#\r\n", "", "CALLSIGN:BG7XYZ-0\r\n"},
        {"AT+PASS,12345#\r\n", "", "PASS:12345\r\n"},
        {"AT+PASS,#\r\n", "", "PASS:\r\n"},
        {"AT+DHCP,0#\r\n", "", "DHCP:0\r\n"},
        {"AT+IP,10,0,0,2#\r\n", "", "IP:10,0,0,2\r\n"},
        {"AT+SUB,255,255,0,0#\r\n", "", "MASK:255,255,0,0\r\n"},
        {"AT+GW,10,0,0,1#\r\n", "", "GATE:10,0,0,1\r\n"},
        {"AT+DNS,1,1,1,1#\r\n", "", "DNS:1,1,1,1\r\n"},
        {"AT+POSI,!0000.00N/00000.00E-#\r\n", "", "POSITION:!0000.00N/00000.00E-\r\n"},
        {"AT+COMMENT,hello, world#\r\n", "", "COMMENT TEXT:hello, world\r\n"},
        {"AT+COMMENT,\xe4\xbd\xa0\xe5\xa5\xbd#\r\n", "",
         "COMMENT TEXT:\xe4\xbd\xa0\xe5\xa5\xbd\r\n"},
        {"AT+SERVER,euro.aprs2.net#\r\n", "", "SERVER:euro.aprs2.net\r\n"},
        {"AT+TIME,600#\r\n", "", "SENT TIME:0600\r\n"},
        {"AT+TIME,#\r\n", "", "SENT TIME:0000\r\n"},
        {"AT+FILTER,r/30/114/50#\r\n", "", "FILTER:r/30/114/50\r\n"},
        {"AT+BACKLIGHT,30#\r\n", "", "BACKLIGHT:30\r\n"},
        {"AT+UNIT,2#\r\n", "", "UNIT:2\r\n"},
        {"AT+DIGI,0#\r\n", "", "DIGI:0\r\n"},
        {"AT+MOD,5#\r\n", "", "MOD:5\r\n"},
        {"AT+PATH,3#\r\n", "", "PATH:3\r\n"},
        {"AT+ALIAS,1#\r\n", "", "ALIAS:1\r\n"},
        {"\r\nAT+FREQ,145.8250#\r\n", "freq save\r\n", "FREQ:145.8250\r\n"},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        EXPECT_EQ(rig.exchange(c.command), c.answer) << c.command.toStdString();
        const QByteArray read = rig.exchange("AT+READ#\r\n");
        EXPECT_EQ(read, withLine(kFactoryRead, c.readLine)) << c.command.toStdString();
    }
}

TEST(DeviceAnswers, AcknowledgementsAndWhatTheyDo) {
    struct Case {
        QByteArray command;
        QByteArray answer;
    };
    const Case cases[] = {
        {"\r\nSETUP#\r\n", "CONNECT\r\n"},
        {"AT+WIFI,home,se,cret#\r\n", "WIFI Write success\r\n"},
        {"AT+RESET#\r\n", "eeram reset\r\n"},
        {"REBOOT#\r\n", ""},
    };
    for (const Case& c : cases) {
        DeviceRig rig;
        EXPECT_EQ(rig.exchange(c.command), c.answer) << c.command.toStdString();
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
    rig.device.config().callsign = "AB1C";
    rig.device.config().dhcp = false;
    rig.device.config().wifiSsid = "home";
    rig.device.config().version = "KV120 V9.9";
    rig.exchange("AT+RESET#\r\n");
    SimConfig expected;
    expected.version = "KV120 V9.9";
    EXPECT_EQ(rig.device.config(), expected);
}

TEST(DeviceAnswers, SettingsSurviveARestart) {
    DeviceRig rig;
    rig.exchange("AT+CALL,AB1C  -9#\r\nREBOOT#\r\n", 5000);
    EXPECT_TRUE(rig.exchange("AT+READ#\r\n").startsWith("CALLSIGN:AB1C  -9\r\n"));
}

TEST(DeviceAnswers, CommandsTheFirmwareCannotTakeChangeNothingAndGetNoAnswer) {
    const QByteArray commands[] = {
        "AT+CALL,NOCALL#\r\n",  // no "-" before the SSID
        "AT+DHCP,2#\r\n",      "AT+WIFI,home#\r\n", "AT+READ\r\n", "at+read#\r\n",
        " SETUP#\r\n",         "AT+NOPE,1#\r\n",    "AT+PASS\r\n", "AT+FREQ#\r\n",
        "AT+CALL,AB1C  -9",  // never ended
    };
    for (const QByteArray& command : commands) {
        DeviceRig rig;
        EXPECT_EQ(rig.exchange(command), "") << command.toStdString();
        EXPECT_EQ(rig.device.config(), SimConfig()) << command.toStdString();
    }
}

TEST(DeviceAnswers, ALineLongerThanTheFirmwareBufferIsDroppedWhole) {
    DeviceRig rig;
    EXPECT_EQ(rig.exchange("AT+COMMENT," + QByteArray(600, 'x') + "#\r\nSETUP#\r\n"),
              "CONNECT\r\n");
    EXPECT_EQ(rig.device.config().comment, SimConfig().comment);
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
        {"AT+PASS,12345#\r\n", 1}, {"AT+PASS,40663#\r\n", 0}, {"AT+RESET#\r\n", 0},
        {"AT+READ#\r\n", 0},       {"AT+WIFI,a,b#\r\n", 1},
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
