#include "sim/configcommands.h"

namespace {

// Commands whose argument is stored as it came.
struct TextSetting {
    const char* keyword;
    QByteArray SimConfig::*field;
};

constexpr TextSetting kTextSettings[] = {
    {"PASS", &SimConfig::passcode},
    {"IP", &SimConfig::ip},
    {"SUB", &SimConfig::mask},
    {"GW", &SimConfig::gateway},
    {"DNS", &SimConfig::dns},
    {"POSI", &SimConfig::position},
    {"COMMENT", &SimConfig::comment},
    {"SERVER", &SimConfig::server},
    {"TIME", &SimConfig::sendTime},
    {"FILTER", &SimConfig::filter},
    {"BACKLIGHT", &SimConfig::backlight},
    {"UNIT", &SimConfig::unit},
    {"DIGI", &SimConfig::digipeat},
    {"MOD", &SimConfig::modulation},
    {"PATH", &SimConfig::path},
    {"ALIAS", &SimConfig::alias},
    {"FREQ", &SimConfig::frequency},
};

// The callsign comes padded with blanks to six characters, then "-" and the SSID.
bool storeCallsign(SimConfig& config, const QByteArray& argument) {
    const qsizetype dash = argument.indexOf('-');
    if (dash < 0) {
        return false;
    }
    QByteArray callsign = argument.left(dash);
    while (callsign.endsWith(' ')) {
        callsign.chop(1);
    }
    config.callsign = callsign;
    config.ssid = argument.mid(dash + 1);
    return true;
}

bool storeDhcp(SimConfig& config, const QByteArray& argument) {
    if (argument != "0" && argument != "1") {
        return false;
    }
    config.dhcp = argument == "1";
    return true;
}

// The network name ends at the first ","; the password may hold more of them.
bool storeWifi(SimConfig& config, const QByteArray& argument) {
    const qsizetype comma = argument.indexOf(',');
    if (comma < 0) {
        return false;
    }
    config.wifiSsid = argument.left(comma);
    config.wifiPassword = argument.mid(comma + 1);
    return true;
}

bool storeSetting(SimConfig& config, const QByteArray& keyword, const QByteArray& argument) {
    if (keyword == "CALL") {
        return storeCallsign(config, argument);
    }
    if (keyword == "DHCP") {
        return storeDhcp(config, argument);
    }
    if (keyword == "WIFI") {
        return storeWifi(config, argument);
    }
    for (const TextSetting& setting : kTextSettings) {
        if (keyword == setting.keyword) {
            config.*setting.field = argument;
            return true;
        }
    }
    return false;
}

ConfigAnswer runSetting(SimConfig& config, const QByteArray& body) {
    const qsizetype comma = body.indexOf(',');
    if (!body.startsWith("AT+") || comma < 0) {
        return {};
    }
    const QByteArray keyword = body.mid(3, comma - 3);
    const SimConfig before = config;
    if (!storeSetting(config, keyword, body.mid(comma + 1))) {
        return {};
    }
    ConfigAnswer answer;
    answer.changed = config != before;
    // The frequency command is the last of a write: the device confirms that
    // it has saved the whole set.
    if (keyword == "FREQ") {
        answer.ack = SimAck::FreqSave;
    } else if (keyword == "WIFI") {
        answer.ack = SimAck::WifiWritten;
    }
    return answer;
}

}  // namespace

QByteArray ackText(SimAck ack) {
    switch (ack) {
        case SimAck::None:
            return {};
        case SimAck::Connect:
            return "CONNECT";
        case SimAck::ReadEnd:
            return "READ END";
        case SimAck::FreqSave:
            return "freq save";
        case SimAck::WifiWritten:
            return "WIFI Write success";
        case SimAck::EeramReset:
            return "eeram reset";
    }
    return {};
}

ConfigAnswer runCommand(SimConfig& config, const QByteArray& line) {
    if (!line.endsWith('#')) {
        return {};
    }
    const QByteArray body = line.chopped(1);
    ConfigAnswer answer;
    if (body == "SETUP") {
        answer.ack = SimAck::Connect;
    } else if (body == "AT+READ") {
        answer.lines = settingLines(config);
        answer.ack = SimAck::ReadEnd;
    } else if (body == "AT+RESET") {
        const SimConfig before = config;
        config = factorySettings(config);
        answer.changed = config != before;
        answer.ack = SimAck::EeramReset;
    } else if (body == "REBOOT") {
        answer.reboot = true;
    } else {
        answer = runSetting(config, body);
    }
    return answer;
}
