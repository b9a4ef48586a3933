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
    const Octets address{"192", "168", "1", "99"};
    const Case cases[] = {
        {"set-up request starts a fresh line", setup(), "\r\nSETUP#\r\n"},
        {"read request", read(), "AT+READ#\r\n"},
        {"short callsign padded to 6", callsign("AB1C", "9"), "AT+CALL,AB1C  -9#\r\n"},
        {"six-character callsign unpadded", callsign("NOCALL", "0"), "AT+CALL,NOCALL-0#\r\n"},
        {"one-character callsign", callsign("K", "15"), "AT+CALL,K     -15#\r\n"},
        {"empty SSID", callsign("NOCALL", ""), "AT+CALL,NOCALL-#\r\n"},
        {"passcode", passcode("40663"), "AT+PASS,40663#\r\n"},
        {"empty passcode is an empty argument", passcode(""), "AT+PASS,#\r\n"},
        {"static mode", addressMode("STATIC IP"), "AT+DHCP,0#\r\n"},
        {"DHCP mode", addressMode("DHCP"), "AT+DHCP,1#\r\n"},
        {"static mode is compared exactly", addressMode("static ip"), "AT+DHCP,1#\r\n"},
        {"blank mode after a read", addressMode(" "), "AT+DHCP,1#\r\n"},
        {"address", ipAddress(address), "AT+IP,192,168,1,99#\r\n"},
        {"mask", subnetMask({"255", "255", "255", "0"}), "AT+SUB,255,255,255,0#\r\n"},
        {"gateway", gateway(address), "AT+GW,192,168,1,99#\r\n"},
        {"DNS", dnsServer({"8", "8", "8", "8"}), "AT+DNS,8,8,8,8#\r\n"},
        {"empty octets keep their commas", ipAddress({"", "", "", ""}), "AT+IP,,,,#\r\n"},
        {"position", position("!3035.00N/11417.00ErPHG1010"),
         "AT+POSI,!3035.00N/11417.00ErPHG1010#\r\n"},
        {"comment in UTF-8", comment(QStringLiteral("KORVA 中继")),
         "AT+COMMENT,KORVA \xe4\xb8\xad\xe7\xbb\xa7#\r\n"},
        {"# and , stay as they are", comment("a#b,c"), "AT+COMMENT,a#b,c#\r\n"},
        {"server", server("china.aprs2.net"), "AT+SERVER,china.aprs2.net#\r\n"},
        {"send interval unpadded", sendInterval("600"), "AT+TIME,600#\r\n"},
        {"filter", filter("b/KORVA"), "AT+FILTER,b/KORVA#\r\n"},
        {"backlight always on", backlight("ON"), "AT+BACKLIGHT,00#\r\n"},
        {"backlight time", backlight("30"), "AT+BACKLIGHT,30#\r\n"},
        {"backlight on is compared exactly", backlight("on"), "AT+BACKLIGHT,on#\r\n"},
        {"unit km", distanceUnit("km"), "AT+UNIT,1#\r\n"},
        {"unit mi", distanceUnit("mi"), "AT+UNIT,2#\r\n"},
        {"unit kilometre in Chinese", distanceUnit(QStringLiteral("公里")), "AT+UNIT,3#\r\n"},
        {"unlisted unit", distanceUnit("miles"), "AT+UNIT,2#\r\n"},
        {"empty unit", distanceUnit(""), "AT+UNIT,2#\r\n"},
        {"digipeater on", digipeat(true), "AT+DIGI,1#\r\n"},
        {"digipeater off", digipeat(false), "AT+DIGI,0#\r\n"},
        {"modulation", modulation("3"), "AT+MOD,3#\r\n"},
        {"path none", txPath("None"), "AT+PATH,0#\r\n"},
        {"path WIDE1-1", txPath("WIDE1-1"), "AT+PATH,1#\r\n"},
        {"path two hops", txPath("WIDE1-1WIDE2-1"), "AT+PATH,2#\r\n"},
        {"path two hops, two on the second", txPath("WIDE1-1WIDE2-2"), "AT+PATH,3#\r\n"},
        {"unlisted path", txPath("WIDE1-1,WIDE2-1"), "AT+PATH,1#\r\n"},
        {"empty path", txPath(""), "AT+PATH,1#\r\n"},
        {"alias WIDE1", digiAlias("WIDE1"), "AT+ALIAS,1#\r\n"},
        {"alias WIDE2", digiAlias("WIDE2"), "AT+ALIAS,2#\r\n"},
        {"alias both", digiAlias("WIDE1+WIDE2"), "AT+ALIAS,3#\r\n"},
        {"unlisted alias", digiAlias("wide1"), "AT+ALIAS,3#\r\n"},
        {"empty alias", digiAlias(""), "AT+ALIAS,3#\r\n"},
        {"frequency starts a fresh line", frequency("144.6400"), "\r\nAT+FREQ,144.6400#\r\n"},
        {"WiFi", wifi("home", "secret"), "AT+WIFI,home,secret#\r\n"},
        {"WiFi, empty password keeps the comma", wifi("home", ""), "AT+WIFI,home,#\r\n"},
        {"WiFi, comma in the name unchanged", wifi("a,b", "c"), "AT+WIFI,a,b,c#\r\n"},
        {"restart", reboot(), "REBOOT#\r\n"},
        {"settings memory reset", reset(), "AT+RESET#\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.sent, c.expected) << c.what;
    }
}

}  // namespace
