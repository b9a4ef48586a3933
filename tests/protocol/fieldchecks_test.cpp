#include "protocol/fieldchecks.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/form.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

const QString kWritten = QStringLiteral("(written)");
const QString kTooLong =
    QStringLiteral("The callsign has more than 6 characters; nothing was written.");
const QString kEmpty = QStringLiteral("The callsign is empty; nothing was written.");

QString lineBreakIn(const char* label) {
    return QStringLiteral("The field \"%1\" holds a line break; nothing was written.").arg(label);
}

QString unsendable(const char* label, const char* character) {
    return QStringLiteral(
               "The field \"%1\" holds the character %2, which cannot be sent; nothing was "
               "written.")
        .arg(label, character);
}

TEST(WriteRefusal, NamesTheFieldThatCannotBeSentAsItIs) {
    struct Case {
        Ctl field;
        const char* value;
        bool staticIp;
        QString refusal;
    };
    const Case cases[] = {
        {ds::callsign, "BH4ABC", false, kWritten},
        {ds::callsign, "BH4ABCD", false, kTooLong},
        {ds::callsign, "", false, kEmpty},
        {ds::callsign, "   ", false, kEmpty},
        // Other fields may be empty or hold "#".
        {ds::comment, "", false, kWritten},
        {ds::comment, "a#b", false, kWritten},
        {ds::comment, "a\nREBOOT#", false, lineBreakIn("Posi+Comment")},
        {ds::position, "!30\r", false, lineBreakIn("Posi+Comment")},
        {ds::filter, "b/\r", false, lineBreakIn("Filter")},
        {ds::server, "x\n", false, lineBreakIn("Server")},
        {ds::callSsid, "1\n", false, lineBreakIn("Callsign")},
        {ds::frequency, "144\n6", false, lineBreakIn("Tx/Rx")},
        {ds::callsign, "TE\x01ST", false, unsendable("Callsign", "U+0001")},
        {ds::comment, "a\tb", false, unsendable("Posi+Comment", "U+0009")},
        {ds::passcode, "1\x7f", false, unsendable("Pass", "U+007F")},
        // The addresses are sent in static mode only, and of the path only its code.
        {ds::gateway[2], "1\n", false, kWritten},
        {ds::gateway[2], "1\n", true, lineBreakIn("Gate")},
        {ds::txPath, "WIDE1-1\n", false, kWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.field).toStdString() + " " + c.value);
        Form form;
        form.setLanguage(Language::English);
        fillDefaults(form);
        if (c.staticIp) {
            form.setText(ds::addressMode, ds::kStaticIp);
        }
        form.setText(c.field, QString::fromLatin1(c.value));
        EXPECT_EQ(writeRefusal(form).value_or(kWritten), c.refusal);
    }
}

TEST(WriteRefusal, SpeaksTheWindowsLanguageAndItsLabels) {
    Form form;
    form.setLanguage(Language::Chinese);
    form.setText(Ctl::Label10, QStringLiteral("信息过滤"));
    fillDefaults(form);
    form.setText(ds::filter, "b/\n");
    EXPECT_EQ(writeRefusal(form), QStringLiteral("“信息过滤”中含有换行符，未写入任何数据。"));
    form.setText(ds::callsign, "");
    EXPECT_EQ(writeRefusal(form), QStringLiteral("呼号为空，未写入任何数据。"));
}

TEST(WifiWriteRefusal, RefusesWhatTheCommandCannotCarry) {
    struct Case {
        const char* ssid;
        const char* password;
        QString refusal;
    };
    const Case cases[] = {
        {"home", "", kWritten},
        {"home", "a,b c", kWritten},
        {"ho\nme", "secret", lineBreakIn("ssid")},
        {"home", "sec\r", lineBreakIn("pass")},
        {"Net,2", "secret", unsendable("ssid", "\",\"")},
        {"Net#2", "secret", unsendable("ssid", "\"#\"")},
        {"home", "pa#ss", unsendable("pass", "\"#\"")},
        {"home", "\x1b[2J", unsendable("pass", "U+001B")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ssid) + " " + c.password);
        Form form;
        form.setLanguage(Language::English);
        form.setText(ds::wifiSsid, c.ssid);
        form.setText(ds::wifiPassword, c.password);
        EXPECT_EQ(wifiWriteRefusal(form).value_or(kWritten), c.refusal);
    }
}

}  // namespace
