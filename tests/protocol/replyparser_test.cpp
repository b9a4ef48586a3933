#include "protocol/replyparser.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"

#include <QMap>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

// A port whose received bytes the test hands in, so replies reach the window
// the way the device's do: link, receive path, parser, form.
class FeedLink : public SerialLink {
public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void write(const QByteArray&) override {}
    void feed(const QByteArray& bytes) const { deliver(bytes); }

private:
    QString name_;
};

struct Window {
    Form form;
    FeedLink link;
    VirtualClock clock;
    ScriptedPrompter prompter;
    SerialSettingsStore store{QString()};
    Session session{form, link, clock, prompter, store};
};

// Everything a reply line can change, keyed by what it is.
using Snapshot = QMap<QString, QString>;

const QList<Ctl>& watchedTexts() {
    static const QList<Ctl> controls = [] {
        QList<Ctl> list{ds::callsign,     ds::callSsid,        ds::passcode,  ds::position,
                        ds::addressMode,  ds::comment,         ds::server,    ds::sendInterval,
                        ds::filter,       ds::firmwareVersion, ds::frequency, ds::backlight,
                        ds::distanceUnit, ds::modulation,      ds::txPath,    ds::digiAlias,
                        Ctl::Text29};
        for (const Ctl box : ds::addressBoxes) {
            list << box;
        }
        return list;
    }();
    return controls;
}

Snapshot snapshot(Window& w) {
    Snapshot s;
    for (const Ctl control : watchedTexts()) {
        s[nameOf(control)] = w.form.text(control);
    }
    s["digipeat"] = QString::number(w.form.value(ds::digipeat));
    int enabled = 0;
    for (const Ctl box : ds::addressBoxes) {
        enabled += w.form.isEnabled(box) ? 1 : 0;
    }
    s["address boxes enabled"] = QString::number(enabled);
    const AckFlags& f = w.session.flags();
    s["flags"] = QStringLiteral("%1%2%3%4%5")
                     .arg(f.connectSeen)
                     .arg(f.readEndSeen)
                     .arg(f.freqSaveSeen)
                     .arg(f.wifiWriteSeen)
                     .arg(f.eeramResetSeen);
    return s;
}

// Every field holds a text no reply gives it, so any change shows.
void presetFields(Form& form) {
    for (const Ctl control : watchedTexts()) {
        form.setText(control, QStringLiteral("old"));
    }
    form.setValue(ds::digipeat, 1);
}

using Change = std::pair<QString, QString>;

Change field(Ctl control, const QString& value) {
    return {nameOf(control), value};
}

QList<Change> octets(const ds::Octets& boxes, const QStringList& values) {
    QList<Change> changes;
    for (int i = 0; i < 4; ++i) {
        changes << field(boxes[i], values[i]);
    }
    return changes;
}

QByteArray gb18030(const QString& text) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

TEST(ReplyParser, EveryReplyLineChangesExactlyItsFieldsThroughTheReceivePath) {
    struct Case {
        const char* what;
        QByteArray bytes;  // as they arrive, line ends included
        QList<Change> changes;
        std::function<void(Form&)> before = nullptr;
    };
    const QString ok = QStringLiteral("old\r\nConnect OK");
    const Case cases[] = {
        {"eeram reset", "eeram reset\r\n", {{"flags", "00001"}}},
        {"connect", "CONNECT\r\n", {{"flags", "10000"}, field(Ctl::Text29, ok)}},
        {"a longer connect line appends once per character from the keyword on",
         "CONNECTED\r\n",
         {{"flags", "10000"}, field(Ctl::Text29, ok + "\r\nConnect OK\r\nConnect OK")}},
        {"read end", "READ END\r\n", {{"flags", "01000"}, field(Ctl::Text29, "old\r\nRead end")}},
        {"callsign",
         "CALLSIGN:NOCALL-9\r\n",
         {field(ds::callsign, "NOCALL"), field(ds::callSsid, "9")}},
        {"padded callsign keeps its blanks",
         "CALLSIGN:AB1C  -9\r\n",
         {field(ds::callsign, "AB1C  "), field(ds::callSsid, "9")}},
        {"callsign without dash: the cut fails", "CALLSIGN:NOCALL\r\n", {}},
        {"passcode, blanks dropped by the box", "PASS: 12345 \r\n", {field(ds::passcode, "12345")}},
        {"position",
         "POSITION:!3035.00N/11417.00ErPHG1010\r\n",
         {field(ds::position, "!3035.00N/11417.00ErPHG1010")}},
        {"DHCP disables the address boxes",
         "DHCP:1\r\n",
         {field(ds::addressMode, "DHCP"), {"address boxes enabled", "0"}}},
        {"static does not enable them",
         "DHCP:0\r\n",
         {field(ds::addressMode, "STATIC IP"), {"address boxes enabled", "0"}},
         [](Form& f) {
             for (const Ctl box : ds::addressBoxes) {
                 f.setEnabled(box, false);
             }
         }},
        {"comment", "COMMENT TEXT:KORVA 144.640MHz\r\n", {field(ds::comment, "KORVA 144.640MHz")}},
        {"comment in UTF-8 arrives whole",
         "COMMENT TEXT:\xe4\xb8\xad\xe7\xbb\xa7 ok\r\n",
         {field(ds::comment, QStringLiteral("中继 ok"))}},
        {"comment in GB18030 arrives whole",
         "COMMENT TEXT:" + gb18030("中继 ok") + "\r\n",
         {field(ds::comment, QStringLiteral("中继 ok"))}},
        {"server", "SERVER:euro.aprs2.net\r\n", {field(ds::server, "euro.aprs2.net")}},
        {"send interval", "SENT TIME: 0900\r\n", {field(ds::sendInterval, "0900")}},
        {"filter", "FILTER:r/30/114/50\r\n", {field(ds::filter, "r/30/114/50")}},
        {"version", "VER:KV120 V2.1\r\n", {field(ds::firmwareVersion, "KV120 V2.1")}},
        {"address", "IP:192,168,1,99\r\n", octets(ds::ipAddress, {"192", "168", "1", "99"})},
        {"five parts: the fourth box takes the rest", "IP:10,0,0,1,5\r\n",
         octets(ds::ipAddress, {"10", "0", "0", "1,5"})},
        {"no commas: the cut fails at once", "IP:192.168.1.99\r\n", {}},
        {"two parts: the first box is cut before the cut fails",
         "IP:10,20\r\n",
         {field(ds::ipAddress[0], "10")}},
        {"mask", "MASK:255,255,0,0\r\n", octets(ds::subnetMask, {"255", "255", "0", "0"})},
        {"gateway", "GATE:192,168,1,1\r\n", octets(ds::gateway, {"192", "168", "1", "1"})},
        {"DNS", "DNS:8,8,4,4\r\n", octets(ds::dnsServer, {"8", "8", "4", "4"})},
        {"frequency", "FREQ:144.3900\r\n", {field(ds::frequency, "144.3900")}},
        {"backlight zero zero is always on", "BACKLIGHT:00\r\n", {field(ds::backlight, "ON")}},
        {"backlight time", "BACKLIGHT:05\r\n", {field(ds::backlight, "05")}},
        {"unit km", "UNIT:1\r\n", {field(ds::distanceUnit, "km")}},
        {"unit mi", "UNIT:2\r\n", {field(ds::distanceUnit, "mi")}},
        {"unit kilometre", "UNIT:3\r\n", {field(ds::distanceUnit, QStringLiteral("公里"))}},
        {"unknown unit", "UNIT:4\r\n", {}},
        {"digipeater on",
         "DIGI:1\r\n",
         {{"digipeat", "1"}},
         [](Form& f) { f.setValue(ds::digipeat, 0); }},
        {"digipeater off", "DIGI:0\r\n", {{"digipeat", "0"}}},
        {"digipeater without code", "DIGI:\r\n", {{"digipeat", "0"}}},
        {"modulation", "MOD:4\r\n", {field(ds::modulation, "4")}},
        {"modulation keeps one character", "MOD:12\r\n", {field(ds::modulation, "1")}},
        {"path none", "PATH:0\r\n", {field(ds::txPath, "None")}},
        {"path one hop", "PATH:1\r\n", {field(ds::txPath, "WIDE1-1")}},
        {"path two hops", "PATH:2\r\n", {field(ds::txPath, "WIDE1-1WIDE2-1")}},
        {"path two and two", "PATH:3\r\n", {field(ds::txPath, "WIDE1-1WIDE2-2")}},
        {"unknown path", "PATH:7\r\n", {}},
        {"alias one", "ALIAS:1\r\n", {field(ds::digiAlias, "WIDE1")}},
        {"alias two", "ALIAS:2\r\n", {field(ds::digiAlias, "WIDE2")}},
        {"alias both", "ALIAS:3\r\n", {field(ds::digiAlias, "WIDE1+WIDE2")}},
        {"unknown alias", "ALIAS:0\r\n", {}},
        {"WiFi written", "WIFI Write success\r\n", {{"flags", "00010"}}},
        {"frequency saved", "freq save\r\n", {{"flags", "00100"}}},
        {"lower case", "connect\r\n", {}},
        {"leading blank", " CONNECT\r\n", {}},
        {"unknown keyword", "HELLO:1\r\n", {}},
        {"lines split by LF only run together",
         "VER:A\nFREQ:1\r\n",
         {field(ds::firmwareVersion, "AFREQ:1")}},
    };
    for (const Case& c : cases) {
        Window w;
        presetFields(w.form);
        if (c.before) {
            c.before(w.form);
        }
        Snapshot expected = snapshot(w);
        for (const auto& [key, value] : c.changes) {
            expected[key] = value;
        }
        w.link.feed(c.bytes);
        EXPECT_EQ(snapshot(w), expected) << c.what;
    }
}

// The value a field shows while its line arrives, byte by byte.
QStringList shownWhileArriving(const QByteArray& bytes, Ctl control) {
    Window w;
    QStringList shown;
    QObject::connect(&w.form, &Form::changed, [&](Ctl id) {
        if (id == control) {
            shown << w.form.text(control);
        }
    });
    for (const char byte : bytes) {
        w.link.feed(QByteArray(1, byte));
    }
    return shown;
}

TEST(ReplyParser, AFieldFollowsItsLineAsItArrives) {
    EXPECT_EQ(shownWhileArriving("BACKLIGHT:05\r\n", ds::backlight), QStringList({"ON", "05"}));
    EXPECT_EQ(shownWhileArriving("FREQ:144\r\n", ds::frequency), QStringList({"1", "14", "144"}));
    // Neither part of the callsign changes before the "-" has come.
    EXPECT_EQ(shownWhileArriving("CALLSIGN:AB-12\r\n", ds::callSsid), QStringList({"1", "12"}));
}

TEST(ReplyParser, ALineSplitOverTwoArrivalsIsStillOneLine) {
    Window w;
    w.link.feed("CALLSIGN:BH4");
    w.link.feed("ABC-7\r\n");
    EXPECT_EQ(w.form.text(ds::callsign), "BH4ABC");
    EXPECT_EQ(w.form.text(ds::callSsid), "7");
}

}  // namespace
