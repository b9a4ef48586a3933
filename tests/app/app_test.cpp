#include "app/aprspasscode.h"
#include "app/aprsposition.h"
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/fieldvalues.h"
#include "app/fieldwarnings.h"
#include "app/form.h"
#include "app/texts.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

inline void PrintTo(const FieldWarning& warning, std::ostream* out) {
    *out << nameOf(warning.field).toStdString() << ": " << warning.text.toStdString();
}

namespace {

namespace ds = DeviceSettings;

// Every text of the program's own has a Chinese form of its own; only those
// marked as the device's users have always seen them keep one form.
TEST(Texts, EveryTextHasItsChineseFormOrIsMarkedAsKeepingOne) {
    for (int id = 0; id < static_cast<int>(Msg::TextCount); ++id) {
        const Msg msg = static_cast<Msg>(id);
        const QString english = text(msg, Language::English);
        const QString chinese = text(msg, Language::Chinese);
        EXPECT_FALSE(english.isEmpty()) << id;
        EXPECT_EQ(chinese == english, keepsOneForm(msg)) << english.toStdString();
    }
}

TEST(AprsPasscode, IgnoresTheSsidAndKeepsFifteenBits) {
    EXPECT_EQ(aprsPasscode("W5ISP-9"), 15748);
    EXPECT_EQ(aprsPasscode(QString::fromLatin1("\xFF\xFF")), 3101) << "without the sixteenth bit";
}

TEST(AprsPosition, TakesUncompressedPositionsOnly) {
    // Overlays, blanks for the last digits, the poles and the date line.
    const QStringList taken{"!3035.00N/11417.00ErPHG1010", "=3035.00N/11417.00Er",
                            "4903.50S\\07201.75W-",        "4903.50NR07201.75W#",
                            "4903.5 N/07201.7 W-",         "9000.00N/18000.00W-"};
    const QStringList refused{
        "!3035.00N/11417.00E",  "!3035.00N/11417.00E ",  "!3035.00X/11417.00Er",
        "!3035.00N/11417.00Xr", "!3035.00N|11417.00Er",  "!3035,00N/11417.00Er",
        "!3 35.00N/11417.00Er", "!3060.00N/11417.00Er",  "!9000.01N/11417.00Er",
        "!3035.00N/18000.01Er", "!３０35.00N/11417.00Er"};
    for (const QString& text : taken + refused) {
        EXPECT_EQ(isUncompressedPosition(text), taken.contains(text)) << text.toStdString();
    }
}

// 144640 is in kHz; 99999999999 is beyond int.
TEST(FieldValues, EachCheckTakesWhatTheDeviceCanUse) {
    using Check = std::function<bool(const QString&)>;
    const std::tuple<Check, QStringList, QStringList> cases[] = {
        {isBandFrequency,
         {"144.6400", "144", "148.000", "430", "450"},
         {"148.0001", "143.999", "450.01", "429.9", "144640", "144,640"}},
        {isSsid, {"0", "15"}, {"16", "-1", " 5"}},
        {isOctet, {"0", "255"}, {"256", "", "+1", "99999999999"}},
        {isZeroInterval, {"0", "0000"}, {"0600", ""}},
    };
    for (const auto& [passes, taken, refused] : cases) {
        for (const QString& text : taken + refused) {
            EXPECT_EQ(passes(text), taken.contains(text)) << text.toStdString();
        }
    }
}

// A long text is one only a settings file brings about. In DHCP mode the
// addresses are not sent; an empty field (a read leaves a blank) is left alone.
TEST(FieldWarnings, EachCheckWarnsBesideItsField) {
    const std::tuple<Ctl, const char*, bool, Ctl, const char*> cases[] = {
        {ds::callSsid, "16", false, ds::callSsid, "SSID \"16\" is not a number from 0 to 15"},
        {ds::position, "3035.00N 11417.00E", false, ds::position,
         "Posi+Comment: not an APRS position such as !3035.00N/11417.00Er"},
        {ds::sendInterval, "0000", false, ds::sendInterval, "Tx time: an interval of 0"},
        {ds::frequency, "155.000", false, ds::frequency,
         "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450"},
        {ds::gateway[2], "256", true, Ctl::Label14, "Gate: \"256\" is not a number from 0 to 255"},
        {ds::comment, "KORVA 144.640MHz iGate with digipeater 41", false, ds::comment,
         "Posi+Comment: 41 characters, more than the 40 the box takes"},
        {ds::comment, "KORVA 144.640MHz iGate with digipeater 4", false, {}, nullptr},
        {ds::comment, "net#42", false, ds::comment,
         "Posi+Comment: a \"#\" ends the device's command there; what follows it may be lost"},
        {ds::gateway[2], "256", false, {}, nullptr},
        {ds::callSsid, " ", false, {}, nullptr},
    };
    for (const auto& [field, value, staticIp, beside, warning] : cases) {
        Form form;
        form.setLanguage(Language::English);
        fillDefaults(form);
        if (staticIp) {
            form.setText(ds::addressMode, ds::kStaticIp);
        }
        form.setText(field, QString::fromLatin1(value));
        std::vector<FieldWarning> expected;
        if (warning != nullptr) {
            expected.push_back({beside, QString::fromLatin1(warning)});
        }
        EXPECT_EQ(writeWarnings(form), expected) << nameOf(field).toStdString() << " " << value;
    }
}

TEST(FieldWarnings, APasscodeThatIsNotTheCallsignsIsWarnedAbout) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"N0CALL", "-1", ""},  // receive-only
        {"w5isp", "40663", "The passcode of W5ISP is 15748"},
        {"N0CALL", "", ""},
        {"", "12345", ""},
    };
    for (const auto& [callsign, passcode, warning] : cases) {
        Form form;
        form.setLanguage(Language::English);
        form.setText(ds::callsign, QString::fromLatin1(callsign));
        form.setText(ds::passcode, QString::fromLatin1(passcode));
        EXPECT_EQ(passcodeWarning(form), QString::fromLatin1(warning)) << passcode;
    }
}

// A warning that stands is not set again when another field changes: each
// time would hide and show its label.
TEST(FieldWarnings, TheFormCarriesEachWarningUntilTheFieldIsPutRight) {
    Form form;
    form.setLanguage(Language::English);
    fillDefaults(form);
    form.setText(ds::frequency, QStringLiteral("14.64"));
    form.setText(ds::passcode, QStringLiteral("1"));
    showFieldWarnings(form);
    EXPECT_EQ(form.warning(ds::passcode), QStringLiteral("The passcode of NOCALL is 12960"));
    EXPECT_FALSE(form.warning(ds::frequency).isEmpty());

    int signalled = 0;
    QObject::connect(&form, &Form::warningChanged, [&signalled] { ++signalled; });
    form.setText(ds::comment, QStringLiteral("on the hill"));
    showFieldWarnings(form);
    EXPECT_EQ(signalled, 0);

    form.setText(ds::frequency, QStringLiteral("144.64"));
    form.setText(ds::passcode, QStringLiteral("12960"));
    showFieldWarnings(form);
    for (const Ctl control : warnedControls()) {
        EXPECT_TRUE(form.warning(control).isEmpty()) << nameOf(control).toStdString();
    }
}

// Every line is 13 characters with its CR LF; 32 KiB hold 2520 whole lines.
// Cut text starts at a line start, after the line end before it.
TEST(Form, TheStatusBoxKeepsTheNewestWholeLinesWithinItsLimit) {
    const auto statusLine = [](int number) {
        return QStringLiteral("line %1").arg(number, 6, 10, QLatin1Char('0'));
    };
    for (const auto& [appended, firstKept] : {std::pair{2520, 0}, {2521, 1}, {100'000, 97'480}}) {
        SCOPED_TRACE(appended);
        Form form;
        form.setStatus(QString());
        for (int i = 0; i < appended; ++i) {
            form.appendStatusLine(statusLine(i));
        }
        const QString status = form.text(Ctl::Text29);
        EXPECT_LE(status.size(), kStatusBoxLimit);
        EXPECT_TRUE(status.startsWith((firstKept == 0 ? "\r\n" : "") + statusLine(firstKept)));
        EXPECT_TRUE(status.endsWith("\r\n" + statusLine(appended - 1)));
    }
}

}  // namespace
