#include "app/fieldvalues.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(FieldValues, EachCheckTakesWhatTheDeviceCanUse) {
    struct Case {
        const char* check;
        std::function<bool(const QString&)> passes;
        QStringList taken;
        QStringList refused;
    };
    const Case cases[] = {
        {"frequency",
         isBandFrequency,
         {"144.640", "144.6400", "144", "148.000", "430", "439.100", "450"},
         // 144640 is in kHz.
         {"148.0001", "143.999", "450.01", "429.9", "200", "144640", "144.64.0", "144/640", ".144",
          "144,640"}},
        {"SSID", isSsid, {"0", "15"}, {"16", "-1", "A", " 5"}},
        // 99999999999 is beyond int.
        {"octet", isOctet, {"0", "255"}, {"256", "", "1a", "+1", "99999999999"}},
        {"interval", isZeroInterval, {"0", "0000"}, {"0600", ""}},
    };
    for (const Case& c : cases) {
        for (const QString& text : c.taken) {
            EXPECT_TRUE(c.passes(text)) << c.check << " " << text.toStdString();
        }
        for (const QString& text : c.refused) {
            EXPECT_FALSE(c.passes(text)) << c.check << " " << text.toStdString();
        }
    }
}

}  // namespace
