#pragma once

#include "backup/settingskeeper.h"
#include "update/simrig.h"

#include <QDir>

// Settings a user has written, none of them the factory's.
inline SimConfig userSettings() {
    SimConfig config;
    config.callsign = "BG7ABC";
    config.ssid = "9";
    config.passcode = "12345";
    config.dhcp = false;
    config.ip = "10,0,0,7";
    config.mask = "255,255,0,0";
    config.gateway = "10,0,0,1";
    config.dns = "1,1,1,1";
    config.position = "!2232.50N/11403.20E-";
    config.comment = "home gate";
    config.server = "asia.aprs2.net";
    config.sendTime = "0300";
    config.filter = "m/50";
    config.backlight = "30";
    config.frequency = "144.3900";
    config.unit = "2";
    config.digipeat = "0";
    config.modulation = "2";
    config.path = "2";
    config.alias = "1";
    return config;
}

inline const QDateTime kBackupTime(QDate(2024, 5, 1), QTime(13, 45, 12));

// The simulated device holding the user's settings, an image loaded, and the
// keeper between the "update" button and the update.
struct KeeperRig : SimRig {
    explicit KeeperRig(SimKnobs knobs = lineRateKnobs()) : SimRig(std::move(knobs)) {
        device.config() = userSettings();
        keeper.keepSettingsAcrossUpdates();
        keeper.offerRestoreOnCompletion();
        loadImage(*this, patternBytes(5000));
    }
    // Clicks "update" and lets the update and the restore run their course.
    void clickUpdate() {
        keeper.updateClicked();
        clock.advance(120'000);
    }
    QString backupPath() const { return QDir(folder).filePath(backupFileName(kBackupTime)); }
    QStringList questions() const {
        QStringList texts;
        for (const ScriptedPrompter::Shown& shown : prompter.questions) {
            texts << shown.text;
        }
        return texts;
    }
    // The commands the device received before "AT+RESET#", or all of them.
    QByteArrayList commandsBeforeReset() const {
        const QByteArrayList all = commands();
        const qsizetype reset = all.indexOf("AT+RESET#");
        return reset < 0 ? all : all.first(reset);
    }

    QString folder = dir.filePath(QStringLiteral("backups"));  // made by the first backup
    SettingsKeeper keeper{session, updater, folder, [] { return kBackupTime; }};
};
