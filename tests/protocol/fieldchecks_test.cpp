#include "protocol/fieldchecks.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

QString refusalText(const std::optional<QString>& refusal) {
    return refusal.value_or(QStringLiteral("(written)"));
}

TEST(WriteRefusal, NamesTheFieldThatCannotBeSentAsItIs) {
    struct Case {
        const char* what;
        std::function<void(Form&)> change;
        const char* expected;  // nullptr: the settings may be written
    };
    const Case cases[] = {
        {"defaults", [](Form&) {}, nullptr},
        {"six characters", [](Form& f) { f.setText(ds::callsign, "BH4ABC"); }, nullptr},
        {"seven characters", [](Form& f) { f.setText(ds::callsign, "BH4ABCD"); },
         "The callsign has more than 6 characters; nothing was written."},
        {"empty callsign", [](Form& f) { f.setText(ds::callsign, ""); },
         "The callsign is empty; nothing was written."},
        {"blank callsign", [](Form& f) { f.setText(ds::callsign, "   "); },
         "The callsign is empty; nothing was written."},
        {"other empty fields are sent", [](Form& f) { f.setText(ds::comment, ""); }, nullptr},
        {"# is allowed", [](Form& f) { f.setText(ds::comment, "a#b"); }, nullptr},
        {"LF in the comment", [](Form& f) { f.setText(ds::comment, "a\nREBOOT#"); },
         "The field \"Posi+Comment\" holds a line break; nothing was written."},
        {"CR in the filter", [](Form& f) { f.setText(ds::filter, "b/\r"); },
         "The field \"Filter\" holds a line break; nothing was written."},
        {"LF in the server", [](Form& f) { f.setText(ds::server, "x\n"); },
         "The field \"Server\" holds a line break; nothing was written."},
        {"LF in the SSID", [](Form& f) { f.setText(ds::callSsid, "1\n"); },
         "The field \"Callsign\" holds a line break; nothing was written."},
        {"LF in the frequency", [](Form& f) { f.setText(ds::frequency, "144\n6"); },
         "The field \"Tx/Rx\" holds a line break; nothing was written."},
        {"LF in an address, DHCP: not sent", [](Form& f) { f.setText(ds::gateway[2], "1\n"); },
         nullptr},
        {"LF in an address, static",
         [](Form& f) {
             f.setText(ds::addressMode, ds::kStaticIp);
             f.setText(ds::gateway[2], "1\n");
         },
         "The field \"Gate\" holds a line break; nothing was written."},
        {"LF in the path: only its code is sent",
         [](Form& f) { f.setText(ds::txPath, "WIDE1-1\n"); }, nullptr},
    };
    for (const Case& c : cases) {
        Form form;
        form.setLanguage(Language::English);
        fillDefaults(form);
        c.change(form);
        const QString expected = c.expected ? QString::fromUtf8(c.expected) : "(written)";
        EXPECT_EQ(refusalText(writeRefusal(form)), expected) << c.what;
    }
}

TEST(WriteRefusal, SpeaksTheWindowsLanguageAndItsLabels) {
    Form form;
    form.setLanguage(Language::Chinese);
    form.setText(Ctl::Label10, QStringLiteral("信息过滤"));
    fillDefaults(form);
    form.setText(ds::filter, "b/\n");
    EXPECT_EQ(refusalText(writeRefusal(form)),
              QStringLiteral("“信息过滤”中含有换行符，未写入任何数据。"));
    form.setText(ds::callsign, "");
    EXPECT_EQ(refusalText(writeRefusal(form)), QStringLiteral("呼号为空，未写入任何数据。"));
}

TEST(WifiWriteRefusal, RefusesALineBreakInNameOrPassword) {
    struct Case {
        const char* ssid;
        const char* password;
        const char* expected;
    };
    const Case cases[] = {
        {"home", "secret", nullptr},
        {"home", "", nullptr},
        {"a,b", "#", nullptr},
        {"ho\nme", "secret", "The field \"ssid\" holds a line break; nothing was written."},
        {"home", "sec\r", "The field \"pass\" holds a line break; nothing was written."},
    };
    for (const Case& c : cases) {
        Form form;
        form.setLanguage(Language::English);
        form.setText(ds::wifiSsid, c.ssid);
        form.setText(ds::wifiPassword, c.password);
        const QString expected = c.expected ? QString::fromUtf8(c.expected) : "(written)";
        EXPECT_EQ(refusalText(wifiWriteRefusal(form)), expected) << c.ssid << " " << c.password;
    }
}

}  // namespace
