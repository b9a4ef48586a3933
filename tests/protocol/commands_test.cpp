#include "protocol/commands.h"

#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

using namespace Commands;

TEST(Commands, EveryCommandGoesOutAsItsExactBytes) {
    struct Case {
        const char* what;
        QByteArray sent;
        QByteArray expected;
    };
    const Case cases[] = {
        {"short callsign padded to 6", callsign("AB1C", "9"), "AT+CALL,AB1C  -9#\r\n"},
        {"one-character callsign", callsign("K", "15"), "AT+CALL,K     -15#\r\n"},
        {"empty SSID", callsign("NOCALL", ""), "AT+CALL,NOCALL-#\r\n"},
        {"empty passcode is an empty argument", passcode(""), "AT+PASS,#\r\n"},
        {"static mode is compared exactly", addressMode("static ip"), "AT+DHCP,1#\r\n"},
        {"blank mode after a read", addressMode(" "), "AT+DHCP,1#\r\n"},
        {"empty octets keep their commas", ipAddress({"", "", "", ""}), "AT+IP,,,,#\r\n"},
        {"comment in UTF-8", comment(QStringLiteral("KORVA 中继")),
         "AT+COMMENT,KORVA \xe4\xb8\xad\xe7\xbb\xa7#\r\n"},
        {"# and , stay as they are", comment("a#b,c"), "AT+COMMENT,a#b,c#\r\n"},
        {"send interval unpadded", sendInterval("600"), "AT+TIME,600#\r\n"},
        {"backlight time", backlight("30"), "AT+BACKLIGHT,30#\r\n"},
        {"backlight on is compared exactly", backlight("on"), "AT+BACKLIGHT,on#\r\n"},
        {"unit mi", distanceUnit("mi"), "AT+UNIT,2#\r\n"},
        {"unit kilometre in Chinese", distanceUnit(QStringLiteral("公里")), "AT+UNIT,3#\r\n"},
        {"unlisted unit", distanceUnit("miles"), "AT+UNIT,2#\r\n"},
        {"empty unit", distanceUnit(""), "AT+UNIT,2#\r\n"},
        {"digipeater off", digipeat(false), "AT+DIGI,0#\r\n"},
        {"path none", txPath("None"), "AT+PATH,0#\r\n"},
        {"path two hops", txPath("WIDE1-1WIDE2-1"), "AT+PATH,2#\r\n"},
        {"path two hops, two on the second", txPath("WIDE1-1WIDE2-2"), "AT+PATH,3#\r\n"},
        {"unlisted path", txPath("WIDE1-1,WIDE2-1"), "AT+PATH,1#\r\n"},
        {"empty path", txPath(""), "AT+PATH,1#\r\n"},
        {"alias WIDE1", digiAlias("WIDE1"), "AT+ALIAS,1#\r\n"},
        {"alias WIDE2", digiAlias("WIDE2"), "AT+ALIAS,2#\r\n"},
        {"unlisted alias", digiAlias("wide1"), "AT+ALIAS,3#\r\n"},
        {"empty alias", digiAlias(""), "AT+ALIAS,3#\r\n"},
        {"WiFi, empty password keeps the comma", wifi("home", ""), "AT+WIFI,home,#\r\n"},
        {"settings memory reset", reset(), "AT+RESET#\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.sent, c.expected) << c.what;
    }
}

}  // namespace
