#include "settingsfile/settingsfileload.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "loadsession.h"
#include "protocol/exchangebench.h"
#include "protocol/readexchange.h"
#include "protocol/writeexchange.h"
#include "serial/textencoding.h"
#include "settingsfile/settingsfileformat.h"

#include <QStringEncoder>

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

// Each load starts from the default settings with "Write data" disabled; the
// status box lists every line applied, the reply line keeps the last one.
TEST(LoadLines, EachLineIsAppliedUntilOneWhoseCutFails) {
    struct Case {
        const char* name;
        QByteArray file;
        int applied;
        bool stopped;
        QStringList changes;
        QByteArray replyLine;
    };
    const Case cases[] = {
        {"one line without a line end",
         "FREQ:145.8250",
         1,
         false,
         {"Text29=FREQ:145.8250\r\n", "Command7 enabled", "Text31=145.8250"},
         "FREQ:145.8250"},
        {"a callsign without dash stops the load",
         "[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:AB1C\r\nPASS:12345\r\nMOD:5\r\n",
         4,
         true,
         {"Text29=[KORVA]\r\n\r\nFREQ:145.8250\r\nCALLSIGN:AB1C\r\n", "Command7 enabled",
          "Text31=145.8250"},
         "CALLSIGN:AB1C"},
        {"an address with two commas keeps the parts it cut",
         "IP:10,0,9\r\nPASS:12345\r\n",
         1,
         true,
         {"Text29=IP:10,0,9\r\n", "Command7 enabled", "Text13=10", "Text14=0"},
         "IP:10,0,9"},
        {"acknowledgements are listed with what they add",
         "CONNECT\r\nfreq save\r\n",
         2,
         false,
         {"Text29=CONNECT\r\n\r\nConnect OKfreq save\r\n", "Command7 enabled"},
         "freq save"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadSession s;
        fillDefaults(s.form);
        s.form.setEnabled(Ctl::Command7, false);
        const FormSnapshot before(s.form);
        const LoadOutcome outcome = loadSettingsLines(s.session, c.file);
        EXPECT_EQ(outcome.linesApplied, c.applied);
        EXPECT_EQ(outcome.stoppedAtFailedCut, c.stopped);
        EXPECT_EQ(before.changes(), c.changes);
        EXPECT_EQ(s.session.receivePath().replyLine(), c.replyLine);
    }
}

TEST(LoadLines, TheWholeFileIsUtf8WhenValidElseGb18030) {
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

// Text goes back to the device as it came: read, saved, loaded and written
// with no edit, a comment is stored as the very bytes the device sent, and
// so it is written straight back after the read. Typed text goes as UTF-8.
TEST(SettingsFileEncoding, TheDeviceGetsBackTheBytesItSent) {
    QStringEncoder gb18030("GB18030");
    const QString beijing = QStringLiteral("北京 中继");
    const QByteArray cases[] = {gb18030.encode(beijing), beijing.toUtf8(), "KORVA 144.640MHz"};
    for (const QByteArray& sent : cases) {
        SCOPED_TRACE(sent.toHex(' ').toStdString());
        ExchangeBench reading;
        reading.device.config().comment = sent;
        readExchange(reading.session);
        EXPECT_EQ(reading.form.text(ds::comment), decodeText(sent).text);

        ExchangeBench writing;
        loadSettingsLines(writing.session, settingsFileBytes(reading.form));
        writeExchange(writing.session);
        EXPECT_EQ(writing.device.config().comment, sent);

        reading.device.config().comment = "changed";
        writeExchange(reading.session);
        EXPECT_EQ(reading.device.config().comment, sent);
    }
    ExchangeBench typing;
    fillDefaults(typing.form);
    typing.form.setText(ds::comment, beijing);
    writeExchange(typing.session);
    EXPECT_EQ(typing.device.config().comment, beijing.toUtf8());
}

}  // namespace
