#include "settingsfile/settingsfileformat.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

// The example window: the defaults but for callsign AB1C, SSID 9, passcode
// 12345, server euro.aprs2.net, interval 600, miles, digipeater off and path
// WIDE1-1WIDE2-1.
void fillExampleWindow(Form& form) {
    fillDefaults(form);
    const std::pair<Ctl, const char*> texts[] = {
        {ds::callsign, "AB1C"},         {ds::callSsid, "9"},       {ds::passcode, "12345"},
        {ds::server, "euro.aprs2.net"}, {ds::sendInterval, "600"}, {ds::distanceUnit, "mi"},
        {ds::txPath, "WIDE1-1WIDE2-1"}};
    for (const auto& [control, text] : texts) {
        form.setText(control, QString::fromUtf8(text));
    }
    form.setValue(ds::digipeat, 0);
}

TEST(SettingsFileFormat, TheExampleWindowIsSavedByteForByte) {
    Form form;
    fillExampleWindow(form);
    EXPECT_EQ(settingsFileBytes(form), QByteArray("[KORVA]\r\n"
                                                  "\r\n"
                                                  "CALLSIGN:AB1C  -9\r\n"
                                                  "PASS:12345\r\n"
                                                  "DHCP:1#\r\n"
                                                  "IP:192,168,1,99\r\n"
                                                  "MASK:255,255,255,0\r\n"
                                                  "GATE:192,168,1,1\r\n"
                                                  "DNS:8,8,8,8\r\n"
                                                  "POSITION:!3035.00N/11417.00ErPHG1010\r\n"
                                                  "COMMENT TEXT:KORVA 144.640MHz\r\n"
                                                  "SERVER:euro.aprs2.net\r\n"
                                                  "SENT TIME:0600\r\n"
                                                  "FILTER:b/KORVA\r\n"
                                                  "BACKLIGHT:00\r\n"
                                                  "FREQ:144.6400\r\n"
                                                  "UNIT:2\r\n"
                                                  "DIGI:0\r\n"
                                                  "MOD:3\r\n"
                                                  "PATH:2\r\n"
                                                  "ALIAS:3\r\n"));
}

TEST(SettingsFileFormat, EachFieldIsWrittenInItsLineForm) {
    struct Case {
        const char* what;
        std::function<void(Form&)> change;
        int line;  // from 0
        const char* expected;
    };
    const auto set = [](Ctl control, const char* text) {
        return [=](Form& form) { form.setText(control, QString::fromUtf8(text)); };
    };
    const Case cases[] = {
        {"six-letter callsign", set(ds::callsign, "NOCALL"), 2, "CALLSIGN:NOCALL-9"},
        {"long callsign unpadded", set(ds::callsign, "AB1CDEF"), 2, "CALLSIGN:AB1CDEF-9"},
        {"static", set(ds::addressMode, "STATIC IP"), 4, "DHCP:0#"},
        {"static, other case", set(ds::addressMode, "static ip"), 4, "DHCP:1#"},
        {"empty interval", set(ds::sendInterval, ""), 12, "SENT TIME:0000"},
        {"five-digit interval unpadded", set(ds::sendInterval, "12345"), 12, "SENT TIME:12345"},
        {"backlight number", set(ds::backlight, "30"), 14, "BACKLIGHT:30"},
        {"backlight on, other case", set(ds::backlight, "on"), 14, "BACKLIGHT:on"},
        {"unit km", set(ds::distanceUnit, "km"), 16, "UNIT:1"},
        {"unit in Chinese", set(ds::distanceUnit, "公里"), 16, "UNIT:3"},
        {"unlisted unit", set(ds::distanceUnit, "miles"), 16, "UNIT:1"},
        {"digipeat on", [](Form& form) { form.setValue(ds::digipeat, 1); }, 17, "DIGI:1"},
        {"modulation as it is", set(ds::modulation, "12"), 18, "MOD:12"},
        {"path none", set(ds::txPath, "None"), 19, "PATH:0"},
        {"path WIDE1-1", set(ds::txPath, "WIDE1-1"), 19, "PATH:1"},
        {"path WIDE1-1WIDE2-2", set(ds::txPath, "WIDE1-1WIDE2-2"), 19, "PATH:3"},
        {"unlisted path", set(ds::txPath, "WIDE2-2"), 19, "PATH:1"},
        {"alias WIDE1", set(ds::digiAlias, "WIDE1"), 20, "ALIAS:1"},
        {"alias WIDE2", set(ds::digiAlias, "WIDE2"), 20, "ALIAS:2"},
        {"unlisted alias", set(ds::digiAlias, "wide1"), 20, "ALIAS:3"},
    };
    for (const Case& c : cases) {
        Form form;
        fillExampleWindow(form);
        c.change(form);
        const QStringList lines = settingsFileLines(form);
        ASSERT_EQ(lines.size(), 21) << c.what;
        EXPECT_EQ(lines[c.line], QString::fromUtf8(c.expected)) << c.what;
    }
}

TEST(SettingsFileFormat, FreeTextIsSavedAsUtf8) {
    Form form;
    fillExampleWindow(form);
    form.setText(ds::comment, QStringLiteral("中继站"));
    EXPECT_TRUE(
        settingsFileBytes(form).contains("COMMENT TEXT:\xe4\xb8\xad\xe7\xbb\xa7\xe7\xab\x99\r\n"));
}

TEST(SettingsFileFormat, AFieldWithALineBreakIsNamedByItsLabel) {
    struct Case {
        Ctl field;
        const char* text;
        std::optional<Ctl> label;
    };
    const Case cases[] = {
        {ds::comment, "first\rDHCP:0#", Ctl::Label6}, {ds::callsign, "AB\n1C", Ctl::Label4},
        {ds::dnsServer[3], "8\r\n", Ctl::Label15},    {ds::frequency, "144.6400\n", Ctl::Label16},
        {ds::comment, "no break\t", std::nullopt},
    };
    for (const Case& c : cases) {
        Form form;
        fillExampleWindow(form);
        form.setText(c.field, QString::fromLatin1(c.text));
        EXPECT_EQ(labelOfFieldWithLineBreak(form), c.label) << c.text;
    }
}

}  // namespace
