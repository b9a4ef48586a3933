#pragma once

#include "app/form.h"
#include "app/prompter.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"

// Answers no question and shows nothing: fuzzing has no user.
class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return false; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

// The window's state and the Session over a link a target provides, on a
// virtual clock, with no file anywhere.
struct FuzzWindow {
    explicit FuzzWindow(SerialLink& link) : session(form, link, clock, prompter, store) {}

    Form form;
    VirtualClock clock;
    SilentPrompter prompter;
    const SerialSettingsStore store{QStringLiteral("/nonexistent/RUVAdev.ini")};
    Session session;
};
