#include "app/fieldvalues.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(FieldValues, EachCheckTakesWhatTheDeviceCanUse) {
    struct Case {
        const char* check;
        std::function<bool(const QString&)> passes;
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"frequency", isBandFrequency, "144.640", true},
        {"frequency", isBandFrequency, "144.6400", true},
        {"frequency", isBandFrequency, "144", true},
        {"frequency", isBandFrequency, "148.000", true},
        {"frequency", isBandFrequency, "148.0001", false},
        {"frequency", isBandFrequency, "143.999", false},
        {"frequency", isBandFrequency, "430", true},
        {"frequency", isBandFrequency, "439.100", true},
        {"frequency", isBandFrequency, "450", true},
        {"frequency", isBandFrequency, "450.01", false},
        {"frequency", isBandFrequency, "429.9", false},
        {"frequency", isBandFrequency, "200", false},
        {"frequency", isBandFrequency, "144640", false},  // kHz
        {"frequency", isBandFrequency, "144.64.0", false},
        {"frequency", isBandFrequency, "144/640", false},
        {"frequency", isBandFrequency, ".144", false},
        {"frequency", isBandFrequency, "144,640", false},
        {"SSID", isSsid, "0", true},
        {"SSID", isSsid, "15", true},
        {"SSID", isSsid, "16", false},
        {"SSID", isSsid, "-1", false},
        {"SSID", isSsid, "A", false},
        {"SSID", isSsid, " 5", false},
        {"octet", isOctet, "0", true},
        {"octet", isOctet, "255", true},
        {"octet", isOctet, "256", false},
        {"octet", isOctet, "", false},
        {"octet", isOctet, "1a", false},
        {"octet", isOctet, "+1", false},
        {"octet", isOctet, "99999999999", false},  // beyond int
        {"interval", isZeroInterval, "0", true},
        {"interval", isZeroInterval, "0000", true},
        {"interval", isZeroInterval, "0600", false},
        {"interval", isZeroInterval, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.check) + " " + c.text);
        EXPECT_EQ(c.passes(QString::fromLatin1(c.text)), c.expected);
    }
}

TEST(FieldValues, TheWarningsNameTheBandsOfTheTable) {
    EXPECT_EQ(bandList(), QStringLiteral("144-148, 430-450"));
}

}  // namespace
