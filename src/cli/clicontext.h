#pragma once

#include "app/form.h"
#include "cli/cliprompter.h"
#include "protocol/session.h"

#include <QTextStream>

#include <functional>

class Clock;
class QIODevice;
class SerialLink;
class SerialSettingsStore;

// Exit statuses of kv120ctl.
enum ExitStatus { kSucceeded = 0, kFailed = 1, kUsage = 2, kInterrupted = 130 };

// Everything one kv120ctl command works with: the same Form and Session the
// window uses, with the prompter answering on the terminal. The requested
// data goes to out, everything else to err.
struct CliContext {
    CliContext(Clock& clock, SerialLink& link, const SerialSettingsStore& store, Language language,
               QIODevice& out, QIODevice& err);

    Clock& clock;
    SerialLink& link;
    QIODevice& out;
    QTextStream err;
    CliPrompter prompter{err};
    Form form;
    Session session;
    bool interrupted = false;
    bool portLost = false;
    // Called once the command is about to talk to the device, its files read:
    // from then on an interruption closes the port before the program ends.
    std::function<void()> beforeTheDevice;
    bool errIsTerminal = false;  // progress is then drawn in place
    // update: keep the device's settings across the update (--no-keep-settings: don't).
    bool keepSettings = true;
    QString backupFolder;  // where the kept settings go
    // --strict: a field warning refuses the write.
    bool strict = false;
    // --verify: a write is read back and compared.
    bool verify = false;
    // What an interruption leaves undone, when the command knows better than
    // its general line: told once, at the program's end.
    QString undone;
    void noteUndone(const QString& line);
    // --probe: the ports command asks each adapter port whether a KV120 answers.
    bool probe = false;

    // Runs a command to its exit status. A lost port ends the command at
    // once (1), as an interruption does (130), wherever it was waiting.
    int run(const std::function<int(CliContext&)>& command);
    // As a second click in the window would: the port closes, every byte
    // sent, and the waiting ends.
    void interrupt();

    // Where the command's data goes: the file, or out.
    bool writeData(const QString& file, const QByteArray& bytes);
    void deviceWorkStarts() {
        if (beforeTheDevice) {
            beforeTheDevice();
        }
    }
    // The last line of the status box.
    QString lastStatusLine() const;
};
