#include "app/defaults.h"
#include "app/devicesettings.h"
#include "cli/commands.h"
#include "clibench.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"

namespace {

namespace ds = DeviceSettings;

// A settings file of the default settings with the frequency and passcode given.
QString settingsFile(const CliBench& bench, const QString& frequency,
                     const QString& passcode = QStringLiteral("12960")) {
    Form form;
    fillDefaults(form);
    form.setText(ds::frequency, frequency);
    form.setText(ds::passcode, passcode);
    const QString path = bench.path(QStringLiteral("settings.ini"));
    EXPECT_EQ(writeFileWhole(path, settingsFileBytes(form)), QString());
    return path;
}

constexpr char kFrequencyWarning[] =
    "Tx/Rx: \"155.000\" is not a frequency in MHz within 144-148, 430-450\n";

TEST(CliWrite, WarningsGoToStandardErrorAndStrictRefusesTheWrite) {
    struct Case {
        const char* name;
        const char* frequency;
        bool strict;
        int status;
        const char* errStart;  // what standard error begins with
        bool sent;
    };
    const Case cases[] = {
        {"no warning", "144.640", false, kSucceeded, "Writing......", true},
        {"no warning, strict", "144.640", true, kSucceeded, "Writing......", true},
        {"a warning", "155.000", false, kSucceeded, kFrequencyWarning, true},
        {"a warning, strict", "155.000", true, kFailed, kFrequencyWarning, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CliBench bench;
        bench.context.strict = c.strict;
        const QString file = settingsFile(bench, QString::fromLatin1(c.frequency));
        EXPECT_EQ(writeSettings(bench.context, file), c.status);
        EXPECT_TRUE(bench.err().startsWith(QString::fromUtf8(c.errStart)));
        if (c.sent) {
            EXPECT_TRUE(
                bench.deviceReceived().contains(QByteArray("AT+FREQ,") + c.frequency + "#\r\n"));
        } else {
            EXPECT_EQ(bench.deviceReceived(), QByteArray());
            EXPECT_EQ(bench.err(), QString::fromUtf8(kFrequencyWarning) +
                                       QStringLiteral("Nothing was written (--strict).\n"));
        }
    }
}

TEST(CliWrite, AWrongPasscodeIsToldButNeverRefusesTheWrite) {
    CliBench bench;
    bench.context.strict = true;
    const QString file = settingsFile(bench, QStringLiteral("144.640"), QStringLiteral("40663"));
    EXPECT_EQ(writeSettings(bench.context, file), kSucceeded);
    EXPECT_TRUE(bench.err().startsWith(QStringLiteral("The passcode of NOCALL is 12960\n")));
}

}  // namespace
