#include "settingsfile/settingsfileload.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"
#include "protocol/replyparser.h"
#include "protocol/session.h"
#include "serial/textencoding.h"
#include "settingsfile/settingsfileformat.h"

#include <QStringList>

#include <algorithm>
#include <set>

namespace {

namespace ds = DeviceSettings;

// The coded settings as the save writes them: the reply parser reads the one
// character at a position, and another character would leave the field as it
// was (or, for the digipeater, quietly off).
struct CodedLine {
    const char* keyword;
    qsizetype position;
    QStringView codes;
};

constexpr CodedLine kCodedLines[] = {
    {"DHCP:", 6, u"01"},   {"UNIT:", 6, u"123"},  {"DIGI:", 6, u"01"},
    {"PATH:", 6, u"0123"}, {"ALIAS:", 7, u"123"},
};

// What the line should hold when its value cannot be taken; nothing when it
// can, or when it names no setting.
std::optional<QString> expectedInstead(const QString& line, Language language) {
    for (const CodedLine& coded : kCodedLines) {
        if (!line.startsWith(QLatin1String(coded.keyword))) {
            continue;
        }
        if (line.size() >= coded.position && coded.codes.contains(line[coded.position - 1])) {
            return std::nullopt;
        }
        QStringList codes;
        for (const QChar code : coded.codes) {
            codes << code;
        }
        return text(Msg::ExpectedOneOf, language)
            .arg(QLatin1String(coded.keyword).chopped(1), codes.join(QStringLiteral(", ")));
    }
    if (!parseReply(line).cutFailed) {
        return std::nullopt;
    }
    return line.startsWith(u"CALLSIGN")
               ? text(Msg::ExpectedCallsign, language)
               : text(Msg::ExpectedFourNumbers, language).arg(line.section(u':', 0, 0));
}

// Each setting by the first control its line fills.
constexpr Ctl kFileSettings[] = {
    ds::callsign,     ds::passcode,     ds::addressMode, ds::ipAddress[0], ds::subnetMask[0],
    ds::gateway[0],   ds::dnsServer[0], ds::position,    ds::comment,      ds::server,
    ds::sendInterval, ds::filter,       ds::backlight,   ds::frequency,    ds::distanceUnit,
    ds::digipeat,     ds::modulation,   ds::txPath,      ds::digiAlias,
};

void noteMissingSettings(Form& form, const std::set<Ctl>& filled) {
    const bool isStatic = form.text(ds::addressMode) == ds::kStaticIp;
    for (const Ctl field : kFileSettings) {
        const bool address = std::find(ds::addressBoxes.begin(), ds::addressBoxes.end(), field) !=
                             ds::addressBoxes.end();
        if (filled.contains(field)) {
            continue;  // set anew, which has cleared its note
        }
        const bool sent = !address || isStatic;
        form.setNote(field, sent ? text(Msg::SettingNotInFile, form.language())
                                       .arg(form.text(ds::labelOf(field)), lineKeywordOf(field))
                                 : QString());
    }
}

}  // namespace

QList<QByteArray> splitFileLines(QByteArrayView file) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') {
            continue;
        }
        lines << file.sliced(start, i - start).toByteArray();
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < file.size()) {
        lines << file.sliced(start).toByteArray();
    }
    return lines;
}

bool holdsSettingLine(QByteArrayView file) {
    const QList<QByteArray> lines = splitFileLines(file);
    return std::any_of(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line == "[KORVA]" || startsWithKeyword(line);
    });
}

std::optional<QString> settingsFileRefusal(const QString& path, const QByteArray& file,
                                           Language language) {
    if (!holdsSettingLine(file)) {
        return text(Msg::NotASettingsFile, language).arg(path);
    }
    const TextEncoding encoding = decodeText(file).encoding;
    const QList<QByteArray> lines = splitFileLines(file);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decodeAs(lines[i], encoding);
        if (const auto expected = expectedInstead(line, language)) {
            return text(Msg::LineUnreadable, language).arg(path).arg(i + 1).arg(line, *expected);
        }
    }
    return std::nullopt;
}

LoadOutcome loadSettingsLines(Session& session, const QByteArray& file) {
    const TextEncoding encoding = decodeText(file).encoding;
    LoadOutcome outcome;
    std::set<Ctl> filled;
    for (const QByteArray& bytes : splitFileLines(file)) {
        const QString line = decodeAs(bytes, encoding);
        session.form().appendText(Ctl::Text29, line + QStringLiteral("\r\n"));
        session.receivePath().setReplyLine(bytes);
        ++outcome.linesApplied;
        for (const ReplyEffect& effect : parseReply(line).effects) {
            filled.insert(effect.control);
        }
        if (!session.applyReply(line, encoding)) {
            outcome.stoppedAtFailedCut = true;
            break;
        }
    }
    noteMissingSettings(session.form(), filled);
    session.form().setEnabled(Ctl::Command7, true);
    return outcome;
}
