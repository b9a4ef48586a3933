#include "protocol/commands.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "protocol/fieldchecks.h"
#include "protocol/replyparser.h"
#include "protocol/writesequence.h"
#include "support/sessionrig.h"

#include <QStringEncoder>

#include <tuple>

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

// Each setting sent as it is goes out as its command's exact bytes. The coded
// settings and the arguments a settings file shares are checked with the
// file's lines.
TEST(Commands, EverySettingGoesOutAsItsExactBytes) {
    const std::tuple<Ctl, QString, QByteArray> cases[] = {
        {ds::comment, QStringLiteral("KORVA 中继"),
         "AT+COMMENT,KORVA \xe4\xb8\xad\xe7\xbb\xa7#\r\n"},
        {ds::comment, "a#b,c", "AT+COMMENT,a#b,c#\r\n"},
        {ds::backlight, "on", "AT+BACKLIGHT,on#\r\n"},  // only "ON" is sent as 00
        {ds::frequency, "145.8250", "AT+ALIAS,3#\r\n\r\nAT+FREQ,145.8250#\r\n"},
    };
    for (const auto& [field, value, expected] : cases) {
        SCOPED_TRACE(nameOf(field).toStdString());
        Form form;
        fillDefaults(form);
        form.setText(field, value);
        QByteArray sent;
        for (const WriteStep& step : writeSequence(form)) {
            sent += step.command;
        }
        EXPECT_TRUE(sent.contains(expected)) << sent.toStdString();
    }
}

const QString kWritten = QStringLiteral("(written)");

QString lineBreakIn(const char* label) {
    return QStringLiteral("The field \"%1\" holds a line break; nothing was written.").arg(label);
}

QString unsendable(const char* label, const char* character) {
    return QStringLiteral(
               "The field \"%1\" holds the character %2, which cannot be sent; "
               "nothing was written.")
        .arg(label, character);
}

// The WiFi write's own check: the device splits its command at the first
// comma and ends it at the first "#".
TEST(WriteRefusal, NamesTheFieldThatCannotBeSentAsItIs) {
    const QString tooLong = "The callsign has more than 6 characters; nothing was written.";
    const QString empty = "The callsign is empty; nothing was written.";
    const std::tuple<Ctl, const char*, bool, QString> cases[] = {
        {ds::callsign, "BH4ABC", false, kWritten},
        {ds::callsign, "BH4ABCD", false, tooLong},
        {ds::callsign, "   ", false, empty},
        {ds::frequency, " ", false, "The frequency is empty; nothing was written."},
        {ds::comment, "a#b", false, kWritten},
        {ds::comment, "a\nREBOOT#", false, lineBreakIn("Posi+Comment")},
        {ds::callSsid, "1\n", false, lineBreakIn("Callsign")},
        {ds::callsign, "TE\x01ST", false, unsendable("Callsign", "U+0001")},
        {ds::passcode, "1\x7f", false, unsendable("Pass", "U+007F")},
        // The addresses are sent in static mode only, and of the path only its code.
        {ds::gateway[2], "1\n", false, kWritten},
        {ds::gateway[2], "1\n", true, lineBreakIn("Gate")},
        {ds::txPath, "WIDE1-1\n", false, kWritten},
        {ds::wifiPassword, "a,b c", false, kWritten},
        {ds::wifiPassword, "sec\r", false, lineBreakIn("pass")},
        {ds::wifiSsid, "Net,2", false, unsendable("ssid", "\",\"")},
        {ds::wifiPassword, "pa#ss", false, unsendable("pass", "\"#\"")},
        {ds::wifiPassword, "\x1b[2J", false, unsendable("pass", "U+001B")},
    };
    for (const auto& [field, value, staticIp, refusal] : cases) {
        Form form;
        form.setLanguage(Language::English);
        fillDefaults(form);
        if (staticIp) {
            form.setText(ds::addressMode, ds::kStaticIp);
        }
        form.setText(field, QString::fromLatin1(value));
        const bool wifi = field == ds::wifiSsid || field == ds::wifiPassword;
        EXPECT_EQ((wifi ? wifiWriteRefusal(form) : writeRefusal(form)).value_or(kWritten), refusal)
            << value;
    }
}

using Changes = std::vector<std::pair<Ctl, QString>>;

Changes octets(const ds::Octets& boxes, const QStringList& values) {
    Changes changes;
    for (int i = 0; i < values.size(); ++i) {
        changes.push_back({boxes[i], values[i]});
    }
    return changes;
}

// Every control's text, enabled state and value.
std::vector<std::tuple<QString, bool, int>> stateOf(const Form& form) {
    std::vector<std::tuple<QString, bool, int>> state;
    for (const ControlDesign& design : kControls) {
        state.emplace_back(form.text(design.id), form.isEnabled(design.id), form.value(design.id));
    }
    return state;
}

QString raised(const AckFlags& f) {
    return QString::asprintf("%d%d%d%d%d", f.connectSeen, f.readEndSeen, f.freqSaveSeen,
                             f.wifiWriteSeen, f.eeramResetSeen);
}

// Each line arrives as bytes onto a window whose every control holds what no
// reply gives it; the other window is given the changes the line should make.
// Flags: connect, read end, freq save, WiFi write, eeram reset.
TEST(ReplyParser, EveryReplyLineChangesExactlyItsOwnControlsAndFlags) {
    const QString ok = QStringLiteral("old\r\nConnect OK");
    const QString relay = QStringLiteral("中继 ok");
    QStringEncoder gb18030("GB18030");
    const QByteArray gbRelay = gb18030.encode(relay);
    const std::tuple<QByteArray, Changes, const char*> cases[] = {
        {"eeram reset\r\n", {}, "00001"},
        {"CONNECT\r\n", {{Ctl::Text29, ok}}, "10000"},
        // A longer line appends once per character from the keyword on.
        {"CONNECTED\r\n", {{Ctl::Text29, ok + "\r\nConnect OK\r\nConnect OK"}}, "10000"},
        {"READ END\r\n", {{Ctl::Text29, "old\r\nRead end"}}, "01000"},
        {"CALLSIGN:AB1C  -9\r\n", {{ds::callsign, "AB1C  "}, {ds::callSsid, "9"}}, "00000"},
        {"CALLSIGN:NOCALL\r\n", {}, "00000"},                      // without a dash the cut fails
        {"PASS: 12345 \r\n", {{ds::passcode, "12345"}}, "00000"},  // its box drops the blanks
        {"POSITION:!3035.00N/11417.00Er\r\n", {{ds::position, "!3035.00N/11417.00Er"}}, "00000"},
        {"DHCP:1\r\n", {{ds::addressMode, "DHCP"}}, "00000"},
        {"DHCP:0\r\n", {{ds::addressMode, "STATIC IP"}}, "00000"},
        {"COMMENT TEXT: KORVA \r\n", {{ds::comment, " KORVA "}}, "00000"},  // blanks stay
        {"COMMENT TEXT:" + gbRelay + "\r\n", {{ds::comment, relay}}, "00000"},
        {"SERVER:euro.aprs2.net\r\n", {{ds::server, "euro.aprs2.net"}}, "00000"},
        {"SENT TIME: 0900\r\n", {{ds::sendInterval, "0900"}}, "00000"},
        {"FILTER:r/30/114/50\r\n", {{ds::filter, "r/30/114/50"}}, "00000"},
        {"VER:KV120 V2.1\r\n", {{ds::firmwareVersion, "KV120 V2.1"}}, "00000"},
        {"IP:192,168,1,99\r\n", octets(ds::ipAddress, {"192", "168", "1", "99"}), "00000"},
        {"IP:10,0,0,1,5\r\n", octets(ds::ipAddress, {"10", "0", "0", "1,5"}), "00000"},
        {"IP:192.168.1.99\r\n", {}, "00000"},  // without commas the cut fails at once
        {"MASK:255,255,0,0\r\n", octets(ds::subnetMask, {"255", "255", "0", "0"}), "00000"},
        {"GATE:192,168,1,1\r\n", octets(ds::gateway, {"192", "168", "1", "1"}), "00000"},
        {"DNS:8,8,4,4\r\n", octets(ds::dnsServer, {"8", "8", "4", "4"}), "00000"},
        {"FREQ: 144. 39 \r\n", {{ds::frequency, "144. 39"}}, "00000"},
        {"BACKLIGHT:00\r\n", {{ds::backlight, "ON"}}, "00000"},
        {"BACKLIGHT:05\r\n", {{ds::backlight, "05"}}, "00000"},
        {"UNIT:1\r\n", {{ds::distanceUnit, "km"}}, "00000"},
        {"UNIT:4\r\n", {}, "00000"},
        {"DIGI:1\r\n", {{ds::digipeat, "1"}}, "00000"},
        {"DIGI:\r\n", {{ds::digipeat, "0"}}, "00000"},
        {"MOD:12\r\n", {{ds::modulation, "1"}}, "00000"},  // one character only
        {"PATH:1\r\n", {{ds::txPath, "WIDE1-1"}}, "00000"},
        {"PATH:4\r\n", {}, "00000"},
        {"ALIAS:1\r\n", {{ds::digiAlias, "WIDE1"}}, "00000"},
        {"ALIAS:0\r\n", {}, "00000"},
        // A device powering up may send stray bytes before a line.
        {QByteArray(1, '\0') + "CONNECT\r\n", {{Ctl::Text29, ok}}, "10000"},
        {"\x7e\x01\x7f\xff\x80READ END\r\n", {{Ctl::Text29, "old\r\nRead end"}}, "01000"},
        {QByteArray("\xfe\xff") + "COMMENT TEXT:" + relay.toUtf8() + "\r\n",
         {{ds::comment, relay}},
         "00000"},
        // Lines that are no replies, and lines split by LF alone, which run together.
        {"connect\r\n", {}, "00000"},
        {" CONNECT\r\n", {}, "00000"},
        {"VER:A\nFREQ:1\r\n", {{ds::firmwareVersion, "AFREQ:1"}}, "00000"},
    };
    for (const auto& [bytes, changes, flags] : cases) {
        SCOPED_TRACE(bytes.toStdString());
        SessionRig rig;
        SessionRig other;
        for (Form* form : {&rig.form, &other.form}) {
            for (const ControlDesign& design : kControls) {
                form->setText(design.id, QStringLiteral("old"));
            }
            form->setValue(ds::digipeat, 2);
        }
        for (const auto& [control, text] : changes) {
            control == ds::digipeat ? other.form.setValue(control, text.toInt())
                                    : other.form.setText(control, text);
        }
        rig.session.receivePath().receive(bytes);
        EXPECT_EQ(stateOf(rig.form), stateOf(other.form));
        EXPECT_EQ(raised(rig.session.flags()), flags);
    }
}

}  // namespace
