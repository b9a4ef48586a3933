#include "app/startup.h"
#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"
#include "serial/serialsettingsstore.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

struct Startup {
    QTemporaryDir dir;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    FakePortLister ports;
    ScriptedPrompter prompter;
    Form form;

    void run(int lcid = kLcidEnglishUs) { runStartup(form, {lcid, store, ports, prompter}); }
};

TEST(Startup, LanguageFollowsTheSystemLocale) {
    struct Case {
        int lcid;
        QStringList messages;
        Language language;
        QString readCaption;
    };
    const Case cases[] = {
        {1033, {"当前系统为：英文"}, Language::English, "Read data"},
        {2052, {"当前系统为：中文简体"}, Language::Chinese, "读取数据"},
        {2057, {}, Language::Unset, "Read data"},
        {1028, {}, Language::Unset, "Read data"},
    };
    for (const Case& c : cases) {
        Startup startup;
        startup.run(c.lcid);
        EXPECT_EQ(startup.prompter.messageTexts(), c.messages) << c.lcid;
        for (const auto& shown : startup.prompter.messages) {
            EXPECT_EQ(shown.title, QStringLiteral("语言"));
        }
        EXPECT_EQ(startup.form.language(), c.language) << c.lcid;
        EXPECT_EQ(startup.form.text(Ctl::Command6), c.readCaption) << c.lcid;
        EXPECT_EQ(startup.form.text(Ctl::Label12), QStringLiteral("IP"));
        EXPECT_EQ(startup.form.text(Ctl::Form1), QStringLiteral("Lumeno KV120 aprs config"));
    }
}

TEST(Startup, PortSelectorShowsTheRememberedPortOrTheFirstOneFound) {
    const QList<PortInfo> two{{"/dev/ttyUSB0", "CP2102"}, {"/dev/ttyACM0", ""}};
    struct Case {
        const char* name;
        QString remembered;
        QList<PortInfo> ports;
        QString shown;
        QStringList listed;
    };
    const Case cases[] = {
        {"remembered, not present", "COM12", {{"COM3", ""}}, "COM12", {"COM3", "SIM"}},
        {"nothing remembered", "", two, "/dev/ttyUSB0", {"/dev/ttyUSB0", "/dev/ttyACM0", "SIM"}},
        {"no port at all", "", {}, "", {"SIM"}},
    };
    for (const Case& c : cases) {
        Startup startup;
        if (!c.remembered.isEmpty()) {
            startup.store.writeCommSet(c.remembered);
        }
        startup.ports.ports = c.ports;
        startup.run();
        EXPECT_EQ(startup.form.text(Ctl::Combo1), c.shown) << c.name;
        EXPECT_EQ(startup.form.items(Ctl::Combo1), c.listed) << c.name;
    }
}

TEST(Startup, LeavesEveryFieldEmptyAndFillsTheLists) {
    Startup startup;
    startup.run();
    const Form& form = startup.form;
    for (const Ctl field :
         {ds::callsign, ds::callSsid, ds::passcode, ds::addressMode, ds::position, ds::comment,
          ds::server, ds::sendInterval, ds::filter, ds::backlight, ds::distanceUnit, ds::modulation,
          ds::txPath, ds::digiAlias, ds::frequency}) {
        EXPECT_EQ(form.text(field), QString()) << nameOf(field).toStdString();
    }
    EXPECT_EQ(form.text(ds::firmwareVersion), QStringLiteral("KV120 "));
    EXPECT_EQ(form.value(ds::digipeat), 0);
    EXPECT_FALSE(form.isEnabled(Ctl::Command7));
    EXPECT_EQ(form.text(Ctl::Text32), QStringLiteral("---"));
    EXPECT_FALSE(form.isEnabled(Ctl::Text32));
    EXPECT_FALSE(form.isEnabled(Ctl::Label21));
    EXPECT_EQ(form.items(ds::callSsid).size(), 16);
    EXPECT_EQ(form.items(ds::callSsid).last(), QStringLiteral("15"));
    EXPECT_EQ(form.items(ds::backlight).at(1), QStringLiteral("05"));
    EXPECT_EQ(form.items(ds::distanceUnit).last(), QStringLiteral("公里"));
}

TEST(Defaults, FillsEveryFieldAndEnablesWriting) {
    Form form;
    form.setText(ds::wifiSsid, QStringLiteral("home"));
    form.setText(ds::addressMode, ds::kStaticIp);
    form.setEnabled(Ctl::Text13, false);
    form.setStatus(QStringLiteral("kept"));

    fillDefaults(form);

    const std::pair<Ctl, const char*> expected[] = {
        {ds::callsign, "NOCALL"},
        {ds::callSsid, "10"},
        {ds::passcode, "40663"},
        {ds::addressMode, "DHCP"},
        {ds::position, "!3035.00N/11417.00ErPHG1010"},
        {ds::comment, "KORVA 144.640MHz"},
        {ds::server, "china.aprs2.net"},
        {ds::sendInterval, "0600"},
        {ds::filter, "b/KORVA"},
        {ds::backlight, "ON"},
        {ds::distanceUnit, "km"},
        {ds::modulation, "3"},
        {ds::txPath, "WIDE1-1"},
        {ds::digiAlias, "WIDE1+WIDE2"},
        {ds::frequency, "144.6400"},
        {Ctl::Text32, "--"},
        {ds::wifiSsid, "home"},
        {ds::firmwareVersion, "KV120 "},
        {Ctl::Text29, "kept"},
    };
    for (const auto& [control, value] : expected) {
        EXPECT_EQ(form.text(control), QString::fromUtf8(value)) << nameOf(control).toStdString();
    }
    const char* const octets[] = {"192", "168", "1", "99", "255", "255", "255", "0",
                                  "192", "168", "1", "1",  "8",   "8",   "8",   "8"};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(form.text(ds::addressBoxes[i]), QString::fromLatin1(octets[i]));
    }
    EXPECT_EQ(form.value(ds::digipeat), 1);
    EXPECT_TRUE(form.isEnabled(Ctl::Command7));
    EXPECT_FALSE(form.isEnabled(Ctl::Text13));
    EXPECT_TRUE(form.isEnabled(Ctl::Text14));
}

TEST(Form, PasscodeIntervalAndFrequencyDropSurroundingBlanksWhoeverSetsThem) {
    Form form;
    struct Case {
        Ctl control;
        QString set;
        QString kept;
    };
    const Case cases[] = {
        {ds::sendInterval, " 0600 ", "0600"},      {ds::passcode, "  40663", "40663"},
        {ds::frequency, "144. 64 ", "144. 64"},    {ds::frequency, "\t144", "\t144"},
        {ds::comment, " as typed ", " as typed "},
    };
    for (const Case& c : cases) {
        form.setText(c.control, c.set);
        EXPECT_EQ(form.text(c.control), c.kept) << nameOf(c.control).toStdString();
    }
}

}  // namespace
