#include "settingsfile/settingsdiff.h"

#include "protocol/replyparser.h"

namespace {

// The part before the first ":" names the setting; the address mode line
// ends with a "#" of its own.
QString nameOf(const QString& line) {
    return line.section(u':', 0, 0);
}

QString valueOf(const QString& line) {
    return line.section(u':', 1);
}

bool sameValue(const QString& expected, const QString& actual) {
    return expected == actual || parseReply(expected).effects == parseReply(actual).effects;
}

}  // namespace

std::vector<SettingDifference> settingDifferences(const QStringList& expected,
                                                  const QStringList& actual) {
    // With DHCP on, the addresses are not written, and what the device holds
    // of them does not matter.
    const bool dhcp = expected.contains(QStringLiteral("DHCP:1#"));
    const QStringList addresses{"IP", "MASK", "GATE", "DNS"};
    std::vector<SettingDifference> differences;
    for (qsizetype i = 0; i < expected.size() && i < actual.size(); ++i) {
        if (dhcp && addresses.contains(nameOf(expected[i]))) {
            continue;
        }
        if (!sameValue(expected[i], actual[i])) {
            differences.push_back({nameOf(expected[i]), valueOf(expected[i]), valueOf(actual[i])});
        }
    }
    return differences;
}
