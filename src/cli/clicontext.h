#pragma once

#include "app/form.h"
#include "cli/cliprompter.h"
#include "protocol/session.h"
#include "serial/serialsettingsstore.h"
#include "sim/programports.h"

#include <QTextStream>

// Exit statuses of kv120ctl.
enum ExitStatus { kSucceeded = 0, kFailed = 1, kUsage = 2, kInterrupted = 130 };

class Clock;

// Everything one kv120ctl command works with: the same Form, Session and
// links the window uses, with the prompter answering on the terminal. The
// program runs on the wall clock; tests run it on a virtual one.
struct CliContext {
    CliContext(Clock& clock, const QString& configDir, Language language);

    QTextStream out{stdout};
    QTextStream err{stderr};
    Clock& clock;
    ProgramPorts ports{clock};
    SerialLink& link = ports.link;
    SerialSettingsStore store;
    CliPrompter prompter{err};
    Form form;
    Session session{form, link, clock, prompter, store};
    bool interrupted = false;
    // --strict: a field warning refuses the write.
    bool strict = false;

    // Where the command's data goes: the file, or standard output.
    bool writeData(const QString& file, const QByteArray& bytes);
    // The last line of the status box.
    QString lastStatusLine() const;
};
