#pragma once

#include "app/defaults.h"
#include "support/testfiles.h"
#include "support/windowrig.h"

// The window on SIM with every field filled in, a saved settings file and a
// firmware image of three blocks, the last one padded, loaded.
struct ReliabilityRig : WindowRig {
    static QByteArray imageFile() { return patternBytes(5000); }
    static inline const QByteArray kSavedSettings = "CALLSIGN:NOCALL-10\r\nPASS:40663\r\n";

    ReliabilityRig() {
        fillDefaults(form);
        form.setText(Ctl::Text34, QStringLiteral("home"));
        form.setText(Ctl::Text33, QStringLiteral("secret"));
        prompter.files.push_back(writeFile(QStringLiteral("image.bin"), imageFile()));
        click(Ctl::Command1);
    }

    Session& session = program->session;
    Updater& updater = program->updater;
    QString settingsFile = writeFile(QStringLiteral("saved.txt"), kSavedSettings);
};
