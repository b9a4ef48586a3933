#include "app/aprsposition.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

TEST(AprsPosition, TakesUncompressedPositionsOnly) {
    struct Case {
        const char* text;
        bool position;
    };
    const Case cases[] = {
        {"!3035.00N/11417.00ErPHG1010", true},  // the default, with a comment
        {"=3035.00N/11417.00Er", true},
        {"3035.00N/11417.00Er", true},  // without the data type
        {"4903.50S\\07201.75W-", true},
        {"4903.50N107201.75W#", true},  // overlay digit
        {"4903.50NR07201.75W#", true},  // overlay capital
        {"4903.5 N/07201.7 W-", true},  // ambiguity: blanks from the right
        {"49  .  N/072  .  W-", true},
        {"9000.00N/18000.00W-", true},   // the poles and the date line
        {"!3035.00N/11417.00E", false},  // no symbol
        {"!3035.00X/11417.00Er", false},
        {"!3035.00N/11417.00Xr", false},
        {"!3035.00N|11417.00Er", false},  // not a symbol table
        {"!3035.00Nr11417.00Er", false},
        {"!3035,00N/11417.00Er", false},
        {"!303.500N/11417.00Er", false},
        {"!30a5.00N/11417.00Er", false},
        {"!3 35.00N/11417.00Er", false},  // a digit after a blank
        {"!3060.00N/11417.00Er", false},  // 60 minutes
        {"!9000.01N/11417.00Er", false},  // beyond the pole
        {"!3035.00N/18000.01Er", false},
        {"!3035.00N/11417.00E ", false},    // a blank is no symbol
        {"!３０35.00N/11417.00Er", false},  // wide digits
        {"!!3035.00N/11417.00Er", false},
        {"", false},
        {"KORVA 144.640MHz", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(isUncompressedPosition(QString::fromUtf8(c.text)), c.position);
    }
}

}  // namespace
