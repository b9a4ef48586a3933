#include "settingsfile/settingsfileload.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "loadsession.h"
#include "support/printers.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

TEST(SplitFileLines, AnyLineEndEndsALine) {
    struct Case {
        QByteArray file;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"A\r\nB\r\n", {"A", "B"}},
        {"A\nB\n", {"A", "B"}},
        {"A\rB\r", {"A", "B"}},
        {"A\r\nB", {"A", "B"}},
        {"A\n\rB", {"A", "", "B"}},
        {"\r\n\r\nA", {"", "", "A"}},
        {"A\r\r\nB", {"A", "", "B"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitFileLines(c.file), c.lines) << c.file.toHex(' ').toStdString();
    }
}

struct LoadLines : ::testing::Test {
    LoadSession s;
    Form& form = s.form;

    LoadOutcome load(const QByteArray& file) { return loadSettingsLines(s.session, file); }
};

TEST_F(LoadLines, ACallsignLineWithoutDashStopsTheLoadThere) {
    fillDefaults(form);
    form.setEnabled(Ctl::Command7, false);
    const LoadOutcome outcome =
        load("[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:NOCALL\r\nPASS:12345\r\nMOD:5\r\n");
    EXPECT_EQ(outcome.linesApplied, 4);
    EXPECT_TRUE(outcome.stoppedAtFailedCut);
    EXPECT_EQ(form.text(ds::frequency), "145.8250");
    EXPECT_EQ(form.text(ds::callsign), "NOCALL");
    EXPECT_EQ(form.text(ds::passcode), "40663");
    EXPECT_EQ(form.text(ds::modulation), "3");
    EXPECT_EQ(form.text(Ctl::Text29), "[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:NOCALL\r\n");
    EXPECT_EQ(s.session.receivePath().replyLine(), "CALLSIGN:NOCALL");
    EXPECT_TRUE(form.isEnabled(Ctl::Command7));
}

TEST_F(LoadLines, AFileOfOneFrequencyLineChangesOnlyTheFrequency) {
    fillDefaults(form);
    form.setEnabled(Ctl::Command7, false);
    const FormSnapshot before(form);
    const LoadOutcome outcome = load("FREQ:145.8250");
    EXPECT_EQ(outcome.linesApplied, 1);
    EXPECT_FALSE(outcome.stoppedAtFailedCut);
    EXPECT_EQ(form.text(ds::frequency), "145.8250");
    EXPECT_EQ(form.text(Ctl::Text29), "FREQ:145.8250\r\n");
    EXPECT_TRUE(form.isEnabled(Ctl::Command7));
    EXPECT_EQ(FormSnapshot(form).differencesFrom(before),
              (QStringList{"Text29", "Command7", "Text31"}));
    EXPECT_EQ(s.session.receivePath().replyLine(), "FREQ:145.8250");
}

TEST_F(LoadLines, AnAddressLineWithTwoCommasStopsAfterTheTwoPartsItCut) {
    fillDefaults(form);
    const LoadOutcome outcome = load("IP:10,0,1\r\nPASS:12345\r\n");
    EXPECT_TRUE(outcome.stoppedAtFailedCut);
    EXPECT_EQ(outcome.linesApplied, 1);
    const QStringList ip{form.text(ds::ipAddress[0]), form.text(ds::ipAddress[1]),
                         form.text(ds::ipAddress[2]), form.text(ds::ipAddress[3])};
    EXPECT_EQ(ip, (QStringList{"10", "0", "1", "99"}));
    EXPECT_EQ(form.text(ds::passcode), "40663");
    EXPECT_TRUE(form.isEnabled(Ctl::Command7));
}

TEST_F(LoadLines, EveryLineEndIsALineEnd) {
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        LoadSession fresh;
        const QByteArray file = QByteArray(
                                    "[KORVA]\r\n\r\nCALLSIGN:AB1C  -9\r\nPASS:12345\r\n"
                                    "MOD:5\r\nPATH:0\r\n")
                                    .replace("\r\n", lineEnd);
        const LoadOutcome outcome = loadSettingsLines(fresh.session, file);
        EXPECT_EQ(outcome.linesApplied, 6) << lineEnd;
        EXPECT_EQ(fresh.form.text(ds::callsign), "AB1C  ") << lineEnd;
        EXPECT_EQ(fresh.form.text(ds::callSsid), "9") << lineEnd;
        EXPECT_EQ(fresh.form.text(ds::passcode), "12345") << lineEnd;
        EXPECT_EQ(fresh.form.text(ds::modulation), "5") << lineEnd;
        EXPECT_EQ(fresh.form.text(ds::txPath), "None") << lineEnd;
        EXPECT_EQ(fresh.session.receivePath().replyLine(), "PATH:0") << lineEnd;
    }
}

TEST_F(LoadLines, TheWholeFileIsUtf8WhenValidElseGb18030) {
    QStringEncoder gb18030("GB18030");
    ASSERT_TRUE(gb18030.isValid());
    struct Case {
        const char* what;
        QByteArray file;
        QString comment;
        QString position;
    };
    // In GB18030 "贪" is CC B0, which alone would also pass for UTF-8 (U+0330);
    // the position's "中" (D6 D0) shows the file is not UTF-8.
    const Case cases[] = {
        {"UTF-8", QStringLiteral("COMMENT TEXT:中继站\r\nPOSITION:中\r\n").toUtf8(),
         QStringLiteral("中继站"), QStringLiteral("中")},
        {"UTF-8 with byte-order mark",
         "\xEF\xBB\xBF" + QStringLiteral("COMMENT TEXT:中继站\r\nPOSITION:中\r\n").toUtf8(),
         QStringLiteral("中继站"), QStringLiteral("中")},
        {"GB18030", gb18030.encode(QStringLiteral("COMMENT TEXT:中继站测试\r\nPOSITION:中\r\n")),
         QStringLiteral("中继站测试"), QStringLiteral("中")},
        {"GB18030 line that passes for UTF-8",
         gb18030.encode(QStringLiteral("COMMENT TEXT:贪\r\nPOSITION:中\r\n")), QStringLiteral("贪"),
         QStringLiteral("中")},
    };
    for (const Case& c : cases) {
        LoadSession fresh;
        loadSettingsLines(fresh.session, c.file);
        EXPECT_EQ(fresh.form.text(ds::comment), c.comment) << c.what;
        EXPECT_EQ(fresh.form.text(ds::position), c.position) << c.what;
        EXPECT_TRUE(
            fresh.form.text(Ctl::Text29).startsWith(QStringLiteral("COMMENT TEXT:") + c.comment))
            << c.what;
    }
}

TEST_F(LoadLines, ADhcpFileDisablesTheAddressBoxesAndAStaticFileLeavesThemSo) {
    load("DHCP:1#\r\nIP:10,0,0,1\r\n");
    EXPECT_EQ(form.text(ds::addressMode), "DHCP");
    load("DHCP:0#\r\nIP:10,0,0,2\r\n");
    EXPECT_EQ(form.text(ds::addressMode), "STATIC IP");
    EXPECT_EQ(form.text(ds::ipAddress[3]), "2");
    for (const Ctl box : ds::addressBoxes) {
        EXPECT_FALSE(form.isEnabled(box)) << nameOf(box).toStdString();
    }
}

TEST_F(LoadLines, AcknowledgementLinesHaveTheirEffectToo) {
    load("CONNECT\r\nfreq save\r\n");
    EXPECT_TRUE(s.session.flags().connectSeen);
    EXPECT_TRUE(s.session.flags().freqSaveSeen);
    EXPECT_EQ(form.text(Ctl::Text29), "CONNECT\r\n\r\nConnect OKfreq save\r\n");
}

}  // namespace
