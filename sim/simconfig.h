#pragma once

#include <QByteArray>
#include <QList>

// The settings the device keeps in its memory, as the bytes it was sent. The
// member initialisers are the factory settings that "AT+RESET#" restores.
struct SimConfig {
    QByteArray callsign = "NOCALL";  // without the blanks the command pads it with
    QByteArray ssid = "10";
    QByteArray passcode = "40663";
    bool dhcp = true;
    QByteArray ip = "192,168,1,99";  // four parts, as the address commands carry them
    QByteArray mask = "255,255,255,0";
    QByteArray gateway = "192,168,1,1";
    QByteArray dns = "8,8,8,8";
    QByteArray position = "!3035.00N/11417.00ErPHG1010";
    QByteArray comment = "KORVA 144.640MHz";
    QByteArray server = "china.aprs2.net";
    QByteArray sendTime = "0600";
    QByteArray filter = "b/KORVA";
    QByteArray backlight = "00";  // "00": always on
    QByteArray frequency = "144.6400";
    QByteArray unit = "1";  // the codes of the unit, digipeater, path and alias commands
    QByteArray digipeat = "1";
    QByteArray modulation = "3";
    QByteArray path = "1";
    QByteArray alias = "3";
    QByteArray wifiSsid;
    QByteArray wifiPassword;
    QByteArray version = "KV120 V1.0";  // the firmware's, not a setting: a reset keeps it

    bool operator==(const SimConfig&) const = default;
};

// The factory settings, with the firmware version kept.
SimConfig factorySettings(const SimConfig& current);

// The lines the device answers "AT+READ#" with, one per setting, without line
// ends and without the closing "READ END".
QList<QByteArray> settingLines(const SimConfig& config);
