#pragma once

#include <QObject>
#include <QStringList>

class CliPrompter;
class Form;
class QTextStream;

// Echoes the status box to standard error as it changes: each new line once,
// not the whole box on every change. A progress text that replaces the box
// shows as its new lines; a line appended shows as that line.
class StatusEcho : public QObject {
    Q_OBJECT
public:
    // The prompter is told each line, so that a message box repeating one
    // does not print it a second time.
    StatusEcho(const Form& form, QTextStream& err, CliPrompter& prompter);

private:
    void show(const QString& status);

    QTextStream& err_;
    CliPrompter& prompter_;
    QStringList shown_;
};
