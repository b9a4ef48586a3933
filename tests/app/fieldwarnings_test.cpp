#include "app/fieldwarnings.h"
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "support/printers.h"

#include <gtest/gtest.h>

inline void PrintTo(const FieldWarning& warning, std::ostream* out) {
    *out << nameOf(warning.field).toStdString() << ": " << warning.text.toStdString();
}

namespace {

namespace ds = DeviceSettings;

// The default settings, with a passcode that fits their callsign.
void fillGoodSettings(Form& form) {
    fillDefaults(form);
    form.setText(ds::callsign, QStringLiteral("N0CALL"));
    form.setText(ds::passcode, QStringLiteral("13023"));
}

TEST(FieldWarnings, EachCheckWarnsBesideItsField) {
    struct Case {
        Ctl field;
        const char* value;
        bool staticIp;
        Ctl beside;
        const char* warning;  // nullptr: none
    };
    const Case cases[] = {
        {ds::callSsid, "16", false, ds::callSsid, "SSID \"16\" is not a number from 0 to 15"},
        {ds::position, "3035.00N 11417.00E", false, ds::position,
         "Posi+Comment: not an APRS position such as !3035.00N/11417.00Er"},
        {ds::sendInterval, "0000", false, ds::sendInterval, "Tx time: an interval of 0"},
        {ds::frequency, "155.000", false, ds::frequency,
         "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450"},
        {ds::gateway[2], "256", true, Ctl::Label14, "Gate: \"256\" is not a number from 0 to 255"},
        {ds::dnsServer[0], "", true, Ctl::Label15, "DNS: \"\" is not a number from 0 to 255"},
        // Longer than typing allows: only a settings file brings this about.
        {ds::comment, "KORVA 144.640MHz iGate with digipeater 41", false, ds::comment,
         "Posi+Comment: 41 characters, more than the 40 the box takes"},
        {ds::comment, "KORVA 144.640MHz iGate with digipeater 4", false, {}, nullptr},
        {ds::filter, "r/30.58/114.28/50", false, ds::filter,
         "Filter: 17 characters, more than the 16 the box takes"},
        // In DHCP mode the addresses are not sent; an empty field is left alone.
        {ds::gateway[2], "256", false, {}, nullptr},
        {ds::callSsid, "", false, {}, nullptr},
        {ds::callSsid, " ", false, {}, nullptr},  // as a read leaves the box
        {ds::position, "", false, {}, nullptr},
        {ds::frequency, "", false, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.field).toStdString() + " \"" + c.value + "\"");
        Form form;
        form.setLanguage(Language::English);
        fillGoodSettings(form);
        if (c.staticIp) {
            form.setText(ds::addressMode, ds::kStaticIp);
        }
        form.setText(c.field, QString::fromLatin1(c.value));
        std::vector<FieldWarning> expected;
        if (c.warning != nullptr) {
            expected.push_back({c.beside, QString::fromLatin1(c.warning)});
        }
        EXPECT_EQ(writeWarnings(form), expected);
    }
}

TEST(FieldWarnings, AreListedInTheWindowsOrderInItsLanguage) {
    Form form;
    form.setLanguage(Language::Chinese);
    fillGoodSettings(form);
    form.setText(Ctl::Label16, QStringLiteral("频率"));
    form.setText(ds::addressMode, ds::kStaticIp);
    form.setText(ds::frequency, QStringLiteral("1"));
    form.setText(ds::ipAddress[0], QStringLiteral("300"));
    form.setText(ds::callSsid, QStringLiteral("99"));
    const std::vector<FieldWarning> warnings = writeWarnings(form);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0].field, ds::callSsid);
    EXPECT_EQ(warnings[1].field, Ctl::Label12);
    EXPECT_EQ(warnings[2],
              (FieldWarning{ds::frequency,
                            QStringLiteral("频率：“1”不是 144-148, 430-450 范围内的频率（MHz）")}));
}

TEST(FieldWarnings, APasscodeThatIsNotTheCallsignsIsWarnedAbout) {
    struct Case {
        const char* callsign;
        const char* passcode;
        const char* warning;
    };
    const Case cases[] = {
        {"N0CALL", "-1", ""},  // receive-only
        {"N0CALL", "13024", "The passcode of N0CALL is 13023"},
        {"w5isp", "40663", "The passcode of W5ISP is 15748"},
        {"N0CALL", "", ""},
        {"", "12345", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.callsign) + " " + c.passcode);
        Form form;
        form.setLanguage(Language::English);
        form.setText(ds::callsign, QString::fromLatin1(c.callsign));
        form.setText(ds::passcode, QString::fromLatin1(c.passcode));
        EXPECT_EQ(passcodeWarning(form), QString::fromLatin1(c.warning));
    }
}

TEST(FieldWarnings, TheFormCarriesEachWarningUntilTheFieldIsPutRight) {
    Form form;
    form.setLanguage(Language::English);
    fillGoodSettings(form);
    form.setText(ds::frequency, QStringLiteral("14.64"));
    form.setText(ds::passcode, QStringLiteral("1"));
    showFieldWarnings(form);
    EXPECT_EQ(form.warning(ds::passcode), QStringLiteral("The passcode of N0CALL is 13023"));
    EXPECT_FALSE(form.warning(ds::frequency).isEmpty());
    EXPECT_TRUE(form.warning(ds::callSsid).isEmpty());

    form.setText(ds::frequency, QStringLiteral("144.64"));
    form.setText(ds::passcode, QStringLiteral("13023"));
    showFieldWarnings(form);
    for (const Ctl control : warnedControls()) {
        EXPECT_TRUE(form.warning(control).isEmpty()) << nameOf(control).toStdString();
    }
}

}  // namespace
