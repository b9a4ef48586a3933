#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class CliPrompter;
class Form;
class QTextStream;

// Echoes the status box to standard error as it changes: each new line once,
// not the whole box on every change. A progress text that replaces the box
// shows as its new lines; a line appended shows as that line. A line that
// comes again and again (a device repeating "CONNECT") shows once, then once
// more with its count ("Connect OK (x2000)") when something else follows.
// A count on a line of its own (the update's " 3/10") shows with the line
// above it ("Wait for update 3/10"); a count of nought, nothing yet, not at all.
class StatusEcho : public QObject {
    Q_OBJECT
public:
    // The prompter is told each line, so that a message box repeating one
    // does not print it a second time. beforeLine runs before each line is
    // written: it ends a progress bar's line drawn in place.
    StatusEcho(const Form& form, QTextStream& err, CliPrompter& prompter,
               std::function<void()> beforeLine = {});
    ~StatusEcho() override;

private:
    void show(const QString& status);
    void write(const QString& line);
    void tellRepeats();
    static bool isCount(const QString& line);
    static bool isNoughtCount(const QString& line);

    QTextStream& err_;
    CliPrompter& prompter_;
    std::function<void()> beforeLine_;
    QStringList shown_;
    QString lastWritten_;
    qsizetype repeats_ = 0;
};
