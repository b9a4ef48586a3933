#pragma once

#include "app/form.h"

#include <vector>

// The settings in the window and every control's enabled state at one
// moment, so that an operation that clears the settings and then does not
// finish can put them back as the user left them.
class SettingsSnapshot {
public:
    explicit SettingsSnapshot(const Form& form);

    // Every settings field's text, its encoding, the bytes it arrived as, its
    // note and check state, as they were when the snapshot was taken (the
    // address boxes follow the address mode). The status box, the progress
    // boxes and the captions stay as they are now.
    void restoreSettings(Form& form) const;
    // Every control's enabled state, as it was when the snapshot was taken.
    void restoreEnabled(Form& form) const;

private:
    struct Field {
        Ctl id;
        QString text;
        TextEncoding encoding;
        QByteArray arrivedBytes;
        QString note;
        int value;
    };
    std::vector<Field> fields_;
    std::vector<bool> enabled_;
};
