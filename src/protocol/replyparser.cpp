#include "protocol/replyparser.h"

#include "app/devicesettings.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

namespace ds = DeviceSettings;
using Kind = ReplyEffect::Kind;

// Every keyword, in the order the lines are tested. None is a prefix of
// another, so at most one holds for a line. Their lengths are known here:
// the receive path tests every received byte's line against them.
constexpr std::array<std::string_view, 26> kKeywords{
    "eeram reset", "CONNECT", "READ END", "CALLSIGN",   "PASS:",
    "POSITION",    "DHCP:1",  "DHCP:0",   "COMMENT",    "SERVER",
    "SENT TIME",   "FILTER",  "VER:",     "IP:",        "MASK:",
    "GATE:",       "DNS:",    "FREQ:",    "BACKLIGHT:", "UNIT:",
    "DIGI:",       "MOD:",    "PATH:",    "ALIAS:",     "WIFI Write success",
    "freq save"};

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

void apply(int row, QStringView line, ParseOutcome& out) {
    switch (row) {
        case 0:
            out.effects << raise(AckFlag::EeramReset);
            break;
        case 1:
            out.effects << raise(AckFlag::Connect) << statusLine("Connect OK");
            break;
        case 2:
            out.effects << raise(AckFlag::ReadEnd) << statusLine("Read end");
            break;
        case 3:
            callsign(line, out);
            break;
        case 4:
            out.effects << setText(ds::passcode, from(line, 6));
            break;
        case 5:
            out.effects << setText(ds::position, from(line, 10));
            break;
        case 6:
            out.effects << setText(ds::addressMode, QStringLiteral("DHCP"))
                        << ReplyEffect{
                               Kind::DisableAddressBoxes, Ctl::Form1, {}, 0, AckFlag::Connect};
            break;
        case 7:
            out.effects << setText(ds::addressMode, ds::kStaticIp);
            break;
        case 8:
            out.effects << setText(ds::comment, from(line, 14));
            break;
        case 9:
            out.effects << setText(ds::server, from(line, 8));
            break;
        case 10:
            out.effects << setText(ds::sendInterval, from(line, 11));
            break;
        case 11:
            out.effects << setText(ds::filter, from(line, 8));
            break;
        case 12:
            out.effects << setText(ds::firmwareVersion, from(line, 5));
            break;
        case 13:
            fourParts(line, 4, ds::ipAddress, out);
            break;
        case 14:
            fourParts(line, 6, ds::subnetMask, out);
            break;
        case 15:
            fourParts(line, 6, ds::gateway, out);
            break;
        case 16:
            fourParts(line, 5, ds::dnsServer, out);
            break;
        case 17:
            out.effects << setText(ds::frequency, from(line, 6));
            break;
        case 18: {
            // The device reports "always on" as 0 or 00.
            const QString time = from(line, 11);
            const bool alwaysOn = time == u"0" || time == u"00";
            out.effects << setText(ds::backlight, alwaysOn ? QStringLiteral("ON") : time);
            break;
        }
        case 19:
            code(line, 6, ds::distanceUnit, ds::distanceUnitItems(), '1', out);
            break;
        case 20:
            out.effects << ReplyEffect{
                Kind::SetCheck, ds::digipeat, {}, at(line, 6) == u'1' ? 1 : 0, AckFlag::Connect};
            break;
        case 21:
            out.effects << setText(ds::modulation,
                                   line.sliced(4, qMin<qsizetype>(1, line.size() - 4)).toString());
            break;
        case 22:
            code(line, 6, ds::txPath, ds::txPathItems(), '0', out);
            break;
        case 23:
            code(line, 7, ds::digiAlias, ds::digiAliasItems(), '1', out);
            break;
        case 24:
            out.effects << raise(AckFlag::WifiWrite);
            break;
        case 25:
            out.effects << raise(AckFlag::FreqSave);
            break;
        default:
            break;
    }
}

}  // namespace

ParseOutcome parseReply(QStringView line) {
    ParseOutcome out;
    for (int row = 0; row < static_cast<int>(kKeywords.size()); ++row) {
        const std::string_view keyword = kKeywords[row];
        // The first character rules out all but one or two keywords cheaply.
        if (line.isEmpty() || line.front() != QLatin1Char(keyword.front())) {
            continue;
        }
        if (line.startsWith(QLatin1String(keyword.data(), keyword.size()))) {
            apply(row, line, out);
            break;  // no other keyword can hold
        }
    }
    return out;
}

// Which bytes a keyword starts with. The receive path asks after every byte,
// and most lines (noise, loader bytes, half lines) start with none of them.
constexpr std::array<bool, 256> kKeywordFirstBytes = [] {
    std::array<bool, 256> firstBytes{};
    for (const std::string_view keyword : kKeywords) {
        firstBytes[static_cast<unsigned char>(keyword.front())] = true;
    }
    return firstBytes;
}();

bool startsWithKeyword(QByteArrayView line) {
    if (line.isEmpty() || !kKeywordFirstBytes[static_cast<unsigned char>(line.front())]) {
        return false;
    }
    const std::string_view text(line.data(), static_cast<size_t>(line.size()));
    return std::any_of(kKeywords.begin(), kKeywords.end(), [text](std::string_view keyword) {
        return keyword.front() == text.front() && text.starts_with(keyword);
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
