#include "sim/simconfig.h"

SimConfig factorySettings(const SimConfig& current) {
    SimConfig factory;
    factory.version = current.version;
    return factory;
}

QList<QByteArray> settingLines(const SimConfig& config) {
    QByteArray sendTime = config.sendTime;
    if (sendTime.size() < 4) {
        sendTime.prepend(QByteArray(4 - sendTime.size(), '0'));
    }
    QByteArray callsign = config.callsign;
    if (callsign.size() < 6) {
        callsign.append(QByteArray(6 - callsign.size(), ' '));
    }
    return {
        "CALLSIGN:" + callsign + '-' + config.ssid,
        "PASS:" + config.passcode,
        config.dhcp ? QByteArray("DHCP:1") : QByteArray("DHCP:0"),
        "IP:" + config.ip,
        "MASK:" + config.mask,
        "GATE:" + config.gateway,
        "DNS:" + config.dns,
        "POSITION:" + config.position,
        "COMMENT TEXT:" + config.comment,
        "SERVER:" + config.server,
        "SENT TIME:" + sendTime,
        "FILTER:" + config.filter,
        "BACKLIGHT:" + config.backlight,
        "FREQ:" + config.frequency,
        "UNIT:" + config.unit,
        "DIGI:" + config.digipeat,
        "MOD:" + config.modulation,
        "PATH:" + config.path,
        "ALIAS:" + config.alias,
        "VER:" + config.version,
    };
}
