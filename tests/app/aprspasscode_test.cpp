#include "app/aprspasscode.h"

#include <gtest/gtest.h>

namespace {

TEST(AprsPasscode, MatchesThePublishedPairsWhateverTheCaseAndSsid) {
    struct Case {
        const char* callsign;  // Latin-1
        int passcode;
    };
    const Case cases[] = {
        {"N0CALL", 13023},   // published
        {"W5ISP", 15748},    // published; odd length, the last character alone
        {"n0call", 13023},   // letter case does not count
        {"W5ISP-9", 15748},  // nor does the SSID
        {"w5isp-15", 15748},
        // Two 0xFF characters would set the sixteenth bit without the mask.
        {"\xFF\xFF", 3101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.callsign);
        EXPECT_EQ(aprsPasscode(QString::fromLatin1(c.callsign)), c.passcode);
    }
}

}  // namespace
