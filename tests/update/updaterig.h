#pragma once

#include "app/form.h"
#include "protocol/session.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "support/scriptedprompter.h"
#include "support/testfiles.h"
#include "support/texthistory.h"
#include "update/scriptedlink.h"
#include "update/updater.h"

#include <QByteArray>
#include <QTemporaryDir>

// What the window says when a transfer ends before the loader holds the image.
inline const QString kLoaderStalledText = QStringLiteral(
    "The update did not complete: the device's loader stopped answering. Run the update again.");
inline const QString kBlockRefusedText = QStringLiteral(
    "The update did not complete: the device's loader refused the image's last block. Run the "
    "update again.");

// Back to idle: the controls a transfer locks are enabled and "update" is no
// longer busy.
inline bool idle(const Form& form) {
    return form.isEnabled(Ctl::Command1) && form.isEnabled(Ctl::Command2) &&
           form.isEnabled(Ctl::Command3) && form.isEnabled(Ctl::Combo1) &&
           form.text(Ctl::Command2) == "update";
}

// The window's state, the clock and the prompter that an Updater works with.
struct RigBase {
    // Writes the bytes to a file in the rig's folder; the file's path.
    QString writeFile(const QByteArray& bytes, const QString& name = QStringLiteral("image.bin")) {
        const QString path = dir.filePath(name);
        return writeBytes(path, bytes) ? path : QString();
    }
    QString status() const { return form.text(Ctl::Text29); }

    VirtualClock clock{5};
    QTemporaryDir dir;
    Form form;
    ScriptedPrompter prompter;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
};

// Loads the bytes through "Open ROM", as the user picking a file of them.
template <class Rig>
void loadImage(Rig& rig, const QByteArray& bytes) {
    rig.prompter.files.push_back(rig.writeFile(bytes));
    rig.updater.imageOpen();
}

// An Updater whose port's far end is the test itself.
struct ScriptedRig : RigBase {
    ScriptedLink link{clock};
    Session session{form, link, clock, prompter, store};
    Updater updater{session};
};
