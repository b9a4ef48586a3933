#include "protocol/replyparser.h"

#include "app/devicesettings.h"
#include "exchangebench.h"
#include "support/printers.h"

#include <QMap>
#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

namespace ds = DeviceSettings;

// Every control's text, enabled state and value, and the flags: all that a
// reply line could change.
using Snapshot = QMap<QString, QString>;
using Change = std::pair<QString, QString>;

Change field(Ctl control, const QString& text) {
    return {nameOf(control), text};
}
Change enabled(Ctl control, bool on) {
    return {nameOf(control) + " enabled", QString::number(on)};
}
Change value(Ctl control, int number) {
    return {nameOf(control) + " value", QString::number(number)};
}
Change flags(const char* raised) {
    return {"flags", raised};
}

Snapshot snapshot(ExchangeBench& bench) {
    Snapshot s;
    for (const ControlDesign& design : kControls) {
        for (const auto& [key, text] : {field(design.id, bench.form.text(design.id)),
                                        enabled(design.id, bench.form.isEnabled(design.id)),
                                        value(design.id, bench.form.value(design.id))}) {
            s[key] = text;
        }
    }
    const AckFlags& f = bench.session.flags();
    s["flags"] = QStringLiteral("%1%2%3%4%5")
                     .arg(f.connectSeen)
                     .arg(f.readEndSeen)
                     .arg(f.freqSaveSeen)
                     .arg(f.wifiWriteSeen)
                     .arg(f.eeramResetSeen);
    return s;
}

// Every control holds what no reply gives it, so any change shows.
void presetControls(Form& form) {
    for (const ControlDesign& design : kControls) {
        form.setText(design.id, QStringLiteral("old"));
    }
    form.setValue(ds::digipeat, 2);
}

QList<Change> octets(const ds::Octets& boxes, const QStringList& values) {
    QList<Change> changes;
    for (int i = 0; i < 4; ++i) {
        changes << field(boxes[i], values[i]);
    }
    return changes;
}

QList<Change> addressBoxesEnabled(bool on) {
    QList<Change> changes;
    for (const Ctl box : ds::addressBoxes) {
        changes << enabled(box, on);
    }
    return changes;
}

QByteArray gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// Each line arrives as received bytes, through the receive path.
TEST(ReplyParser, EveryReplyLineChangesExactlyItsOwnControlsAndFlags) {
    struct Case {
        QByteArray bytes;
        QList<Change> changes;
    };
    const QString ok = QStringLiteral("old\r\nConnect OK");
    const Case cases[] = {
        {"eeram reset\r\n", {flags("00001")}},
        {"CONNECT\r\n", {flags("10000"), field(Ctl::Text29, ok)}},
        // A longer line appends once per character from the keyword on.
        {"CONNECTED\r\n",
         {flags("10000"), field(Ctl::Text29, ok + "\r\nConnect OK\r\nConnect OK")}},
        {"READ END\r\n", {flags("01000"), field(Ctl::Text29, "old\r\nRead end")}},
        {"WIFI Write success\r\n", {flags("00010")}},
        {"freq save\r\n", {flags("00100")}},
        {"CALLSIGN:NOCALL-9\r\n", {field(ds::callsign, "NOCALL"), field(ds::callSsid, "9")}},
        {"CALLSIGN:AB1C  -9\r\n", {field(ds::callsign, "AB1C  "), field(ds::callSsid, "9")}},
        {"CALLSIGN:NOCALL\r\n", {}},                           // without a dash the cut fails
        {"PASS: 12345 \r\n", {field(ds::passcode, "12345")}},  // the box drops the blanks
        {"POSITION:!3035.00N/11417.00Er\r\n", {field(ds::position, "!3035.00N/11417.00Er")}},
        // The address boxes follow the mode, whichever line set it.
        {"DHCP:1\r\n", QList<Change>{field(ds::addressMode, "DHCP")} + addressBoxesEnabled(false)},
        {"DHCP:0\r\n",
         QList<Change>{field(ds::addressMode, "STATIC IP")} + addressBoxesEnabled(true)},
        {"DHCP:1\r\nDHCP:0\r\n",
         QList<Change>{field(ds::addressMode, "STATIC IP")} + addressBoxesEnabled(true)},
        {"COMMENT TEXT:KORVA 144.640MHz\r\n", {field(ds::comment, "KORVA 144.640MHz")}},
        {"COMMENT TEXT:\xe4\xb8\xad\xe7\xbb\xa7 ok\r\n",
         {field(ds::comment, QStringLiteral("中继 ok"))}},
        {"COMMENT TEXT:" + gb18030("中继 ok") + "\r\n",
         {field(ds::comment, QStringLiteral("中继 ok"))}},
        {"SERVER:euro.aprs2.net\r\n", {field(ds::server, "euro.aprs2.net")}},
        {"SENT TIME: 0900\r\n", {field(ds::sendInterval, "0900")}},
        {"FILTER:r/30/114/50\r\n", {field(ds::filter, "r/30/114/50")}},
        {"VER:KV120 V2.1\r\n", {field(ds::firmwareVersion, "KV120 V2.1")}},
        {"IP:192,168,1,99\r\n", octets(ds::ipAddress, {"192", "168", "1", "99"})},
        // A fifth part stays in the fourth box.
        {"IP:10,0,0,1,5\r\n", octets(ds::ipAddress, {"10", "0", "0", "1,5"})},
        {"IP:192.168.1.99\r\n", {}},  // without commas the cut fails at once
        // The first box is filled before the cut fails.
        {"IP:10,20\r\n", {field(ds::ipAddress[0], "10")}},
        {"MASK:255,255,0,0\r\n", octets(ds::subnetMask, {"255", "255", "0", "0"})},
        {"GATE:192,168,1,1\r\n", octets(ds::gateway, {"192", "168", "1", "1"})},
        {"DNS:8,8,4,4\r\n", octets(ds::dnsServer, {"8", "8", "4", "4"})},
        {"FREQ:144.3900\r\n", {field(ds::frequency, "144.3900")}},
        {"BACKLIGHT:00\r\n", {field(ds::backlight, "ON")}},
        {"BACKLIGHT:05\r\n", {field(ds::backlight, "05")}},
        {"UNIT:1\r\n", {field(ds::distanceUnit, "km")}},
        {"UNIT:2\r\n", {field(ds::distanceUnit, "mi")}},
        {"UNIT:3\r\n", {field(ds::distanceUnit, QStringLiteral("公里"))}},
        {"UNIT:4\r\n", {}},
        {"DIGI:1\r\n", {value(ds::digipeat, 1)}},
        {"DIGI:0\r\n", {value(ds::digipeat, 0)}},
        {"DIGI:\r\n", {value(ds::digipeat, 0)}},
        {"MOD:4\r\n", {field(ds::modulation, "4")}},
        {"MOD:12\r\n", {field(ds::modulation, "1")}},  // one character only
        {"PATH:0\r\n", {field(ds::txPath, "None")}},
        {"PATH:1\r\n", {field(ds::txPath, "WIDE1-1")}},
        {"PATH:2\r\n", {field(ds::txPath, "WIDE1-1WIDE2-1")}},
        {"PATH:3\r\n", {field(ds::txPath, "WIDE1-1WIDE2-2")}},
        {"PATH:7\r\n", {}},
        {"ALIAS:1\r\n", {field(ds::digiAlias, "WIDE1")}},
        {"ALIAS:2\r\n", {field(ds::digiAlias, "WIDE2")}},
        {"ALIAS:3\r\n", {field(ds::digiAlias, "WIDE1+WIDE2")}},
        {"ALIAS:0\r\n", {}},
        // A device powering up may send a stray byte before a line.
        {QByteArray(1, '\0') + "CONNECT\r\n", {flags("10000"), field(Ctl::Text29, ok)}},
        {"\x7e\x01\x7f\xff\x80READ END\r\n",
         {flags("01000"), field(Ctl::Text29, "old\r\nRead end")}},
        {"\xfe\xff"
         "COMMENT TEXT:\xe4\xb8\xad\xe7\xbb\xa7\r\n",
         {field(ds::comment, QStringLiteral("中继"))}},
        // Lines that are no replies.
        {"connect\r\n", {}},
        {"1CONNECT\r\n", {}},
        {" CONNECT\r\n", {}},
        {"HELLO:1\r\n", {}},
        // Lines split by LF alone run together.
        {"VER:A\nFREQ:1\r\n", {field(ds::firmwareVersion, "AFREQ:1")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        ExchangeBench bench;
        presetControls(bench.form);
        Snapshot expected = snapshot(bench);
        for (const auto& [key, text] : c.changes) {
            expected[key] = text;
        }
        bench.session.receivePath().receive(c.bytes);
        EXPECT_EQ(snapshot(bench), expected);
    }
}

TEST(ReplyParser, AFieldFollowsItsLineAsItArrives) {
    struct Case {
        QByteArray bytes;
        Ctl control;
        QStringList shown;
    };
    const Case cases[] = {
        {"BACKLIGHT:05\r\n", ds::backlight, {"ON", "05"}},
        {"FREQ:144\r\n", ds::frequency, {"1", "14", "144"}},
        // Neither part of the callsign changes before the "-" has come.
        {"CALLSIGN:AB-12\r\n", ds::callSsid, {"1", "12"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        ExchangeBench bench;
        QStringList shown;
        QObject::connect(&bench.form, &Form::changed, [&](Ctl id) {
            if (id == c.control) {
                shown << bench.form.text(id);
            }
        });
        for (const char byte : c.bytes) {
            bench.session.receivePath().receive(QByteArray(1, byte));
        }
        EXPECT_EQ(shown, c.shown);
    }
}

}  // namespace
