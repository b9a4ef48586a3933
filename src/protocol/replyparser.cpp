#include "protocol/replyparser.h"

#include "app/devicesettings.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

namespace ds = DeviceSettings;
using Kind = ReplyEffect::Kind;

// Positions count from 1, as the device's documentation does.
QString from(QStringView line, qsizetype position) {
    return line.size() >= position ? line.sliced(position - 1).toString() : QString();
}

// The character at a position, or nothing when the line is shorter.
QChar at(QStringView line, qsizetype position) {
    return line.size() >= position ? line[position - 1] : QChar();
}

ReplyEffect setText(Ctl control, const QString& text) {
    return ReplyEffect{Kind::SetText, control, text, 0, AckFlag::Connect};
}

ReplyEffect raise(AckFlag flag) {
    return ReplyEffect{Kind::RaiseFlag, Ctl::Form1, {}, 0, flag};
}

ReplyEffect statusLine(const char* message) {
    return ReplyEffect{Kind::AppendStatusLine, Ctl::Form1, QString::fromLatin1(message), 0,
                       AckFlag::Connect};
}

// "CALLSIGN" + one skipped character + callsign "-" SSID. The callsign ends
// at the first "-" from position 10 on; without one the cut fails.
void callsign(QStringView line, ParseOutcome& out) {
    const qsizetype dash = line.size() >= 10 ? line.indexOf(u'-', 9) : -1;
    if (dash < 0) {
        out.cutFailed = true;
        return;
    }
    out.effects << setText(ds::callsign, line.sliced(9, dash - 9).toString())
                << setText(ds::callSsid, line.sliced(dash + 1).toString());
}

// a "," b "," c "," d from position start: the first three parts end at a
// comma each (a missing one fails the cut, after the parts already cut have
// been set); the fourth takes the rest of the line, commas and all.
void fourParts(QStringView line, qsizetype start, const ds::Octets& boxes, ParseOutcome& out) {
    qsizetype begin = start - 1;
    for (int part = 0; part < 3; ++part) {
        // The first comma is searched from the line's start, the others from
        // just after the previous one.
        const qsizetype comma = line.indexOf(u',', part == 0 ? 0 : begin);
        if (comma < 0 || comma < begin) {
            out.cutFailed = true;
            return;
        }
        out.effects << setText(boxes[part], line.sliced(begin, comma - begin).toString());
        begin = comma + 1;
    }
    out.effects << setText(boxes[3], line.sliced(begin).toString());
}

// A one-character code at a position, looked up in a list; unknown codes and
// a code not yet received change nothing.
void code(QStringView line, qsizetype position, Ctl control, const QStringList& texts,
          char firstCode, ParseOutcome& out) {
    const int index = at(line, position).unicode() - firstCode;
    if (index >= 0 && index < texts.size()) {
        out.effects << setText(control, texts[index]);
    }
}

// The text from a position to the line's end goes into a box.
template <Ctl control, qsizetype position>
void rest(QStringView line, ParseOutcome& out) {
    out.effects << setText(control, from(line, position));
}

template <const ds::Octets& boxes, qsizetype start>
void octets(QStringView line, ParseOutcome& out) {
    fourParts(line, start, boxes, out);
}

template <AckFlag flag>
void acknowledge(QStringView, ParseOutcome& out) {
    out.effects << raise(flag);
}

void connected(QStringView, ParseOutcome& out) {
    out.effects << raise(AckFlag::Connect) << statusLine("Connect OK");
}

void readEnded(QStringView, ParseOutcome& out) {
    out.effects << raise(AckFlag::ReadEnd) << statusLine("Read end");
}

void dhcpOn(QStringView, ParseOutcome& out) {
    out.effects << setText(ds::addressMode, QStringLiteral("DHCP"))
                << ReplyEffect{Kind::DisableAddressBoxes, Ctl::Form1, {}, 0, AckFlag::Connect};
}

void dhcpOff(QStringView, ParseOutcome& out) {
    out.effects << setText(ds::addressMode, ds::kStaticIp);
}

void backlight(QStringView line, ParseOutcome& out) {
    // The device reports "always on" as 0 or 00.
    const QString time = from(line, 11);
    const bool alwaysOn = time == u"0" || time == u"00";
    out.effects << setText(ds::backlight, alwaysOn ? QStringLiteral("ON") : time);
}

void distanceUnit(QStringView line, ParseOutcome& out) {
    code(line, 6, ds::distanceUnit, ds::distanceUnitItems(), '1', out);
}

void digipeat(QStringView line, ParseOutcome& out) {
    out.effects << ReplyEffect{
        Kind::SetCheck, ds::digipeat, {}, at(line, 6) == u'1' ? 1 : 0, AckFlag::Connect};
}

void modulation(QStringView line, ParseOutcome& out) {
    out.effects << setText(ds::modulation,
                           line.sliced(4, qMin<qsizetype>(1, line.size() - 4)).toString());
}

void txPath(QStringView line, ParseOutcome& out) {
    code(line, 6, ds::txPath, ds::txPathItems(), '0', out);
}

void digiAlias(QStringView line, ParseOutcome& out) {
    code(line, 7, ds::digiAlias, ds::digiAliasItems(), '1', out);
}

struct Reply {
    std::string_view keyword;
    void (*apply)(QStringView line, ParseOutcome& out);
};

// Every reply, in the order the lines are tested. No keyword is a prefix of
// another, so at most one holds for a line. Their lengths are known here:
// the receive path tests every received byte's line against them.
constexpr std::array<Reply, 26> kReplies{{
    {"eeram reset", acknowledge<AckFlag::EeramReset>},
    {"CONNECT", connected},
    {"READ END", readEnded},
    {"CALLSIGN", callsign},
    {"PASS:", rest<ds::passcode, 6>},
    {"POSITION", rest<ds::position, 10>},
    {"DHCP:1", dhcpOn},
    {"DHCP:0", dhcpOff},
    {"COMMENT", rest<ds::comment, 14>},
    {"SERVER", rest<ds::server, 8>},
    {"SENT TIME", rest<ds::sendInterval, 11>},
    {"FILTER", rest<ds::filter, 8>},
    {"VER:", rest<ds::firmwareVersion, 5>},
    {"IP:", octets<ds::ipAddress, 4>},
    {"MASK:", octets<ds::subnetMask, 6>},
    {"GATE:", octets<ds::gateway, 6>},
    {"DNS:", octets<ds::dnsServer, 5>},
    {"FREQ:", rest<ds::frequency, 6>},
    {"BACKLIGHT:", backlight},
    {"UNIT:", distanceUnit},
    {"DIGI:", digipeat},
    {"MOD:", modulation},
    {"PATH:", txPath},
    {"ALIAS:", digiAlias},
    {"WIFI Write success", acknowledge<AckFlag::WifiWrite>},
    {"freq save", acknowledge<AckFlag::FreqSave>},
}};

}  // namespace

ParseOutcome parseReply(QStringView line) {
    ParseOutcome out;
    for (const Reply& reply : kReplies) {
        const std::string_view keyword = reply.keyword;
        // The first character rules out all but one or two keywords cheaply.
        if (line.isEmpty() || line.front() != QLatin1Char(keyword.front())) {
            continue;
        }
        if (line.startsWith(QLatin1String(keyword.data(), keyword.size()))) {
            reply.apply(line, out);
            break;  // no other keyword can hold
        }
    }
    return out;
}

// Which bytes a keyword starts with. The receive path asks after every byte,
// and most lines (noise, loader bytes, half lines) start with none of them.
constexpr std::array<bool, 256> kKeywordFirstBytes = [] {
    std::array<bool, 256> firstBytes{};
    for (const Reply& reply : kReplies) {
        firstBytes[static_cast<unsigned char>(reply.keyword.front())] = true;
    }
    return firstBytes;
}();

bool startsWithKeyword(QByteArrayView line) {
    if (line.isEmpty() || !kKeywordFirstBytes[static_cast<unsigned char>(line.front())]) {
        return false;
    }
    const std::string_view text(line.data(), static_cast<size_t>(line.size()));
    return std::any_of(kReplies.begin(), kReplies.end(), [text](const Reply& reply) {
        return reply.keyword.front() == text.front() && text.starts_with(reply.keyword);
    });
}

QByteArrayView withoutLeadingNoise(QByteArrayView line) {
    const auto isNoise = [](char byte) {
        const auto value = static_cast<unsigned char>(byte);
        return value < 0x20 || value >= 0x7E;
    };
    const auto first = std::find_if_not(line.begin(), line.end(), isNoise);
    return line.sliced(first - line.begin());
}
