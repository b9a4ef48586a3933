// Every operation of the window against every fault of the device, the port
// or the user, in virtual time: the program neither crashes nor hangs, tells
// the user, lets go of the port, leaves the buttons usable and damages
// neither a saved settings file nor the loaded image.
#include "faultcell.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr Outcome C = Outcome::Completed;  // the operation did its work
constexpr Outcome R = Outcome::Reported;   // it ended early and said why
constexpr Outcome X = Outcome::Cancelled;  // a click or the closing window ended it

// Rows: read, write, WiFi write, restart, update start, loader wait, transfer.
// Columns: port missing, port busy, device silent, disconnect, garbage,
// 1 MiB flood, late acknowledgement, second click, other buttons, window closed.
constexpr Outcome kExpected[7][10] = {
    {R, R, R, R, C, C, C, X, C, X}, {R, R, R, R, C, R, C, X, C, X}, {R, R, R, R, C, C, C, X, C, X},
    {R, R, C, R, C, C, C, X, X, X}, {R, R, R, R, C, R, C, X, C, X}, {R, R, R, R, C, R, C, X, C, X},
    {R, C, R, R, C, R, C, C, C, X},
};

TEST(FaultMatrix, EveryOperationSurvivesEveryFault) {
    // KV_FAULT_MATRIX_REPORT names a file for the table in docs/RELIABILITY.md.
    QFile report(qEnvironmentVariable("KV_FAULT_MATRIX_REPORT"));
    const bool reporting = !report.fileName().isEmpty() && report.open(QIODevice::WriteOnly);
    for (int op = 0; op < 7; ++op) {
        for (int fault = 0; fault < 10; ++fault) {
            const Op o = static_cast<Op>(op);
            const Fault f = static_cast<Fault>(fault);
            SCOPED_TRACE(cellName(o, f).toStdString());
            const CellResult result = runCell(o, f);
            EXPECT_TRUE(result.finishedInTime);
            EXPECT_TRUE(result.userTold);
            EXPECT_TRUE(result.portClosed);
            EXPECT_TRUE(result.buttonsUsable) << result.buttons.toStdString();
            EXPECT_TRUE(result.followUpWorked);
            EXPECT_TRUE(result.filesIntact);
            EXPECT_EQ(result.outcome, kExpected[op][fault]) << result.told.toStdString();
            if (reporting) {
                report.write(reportLine(o, f, result).toUtf8());
            }
        }
    }
}

}  // namespace
