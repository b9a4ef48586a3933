#pragma once

#include "app/prompter.h"

#include <QSet>
#include <QTextStream>

// The command line's answers to what the window would ask: a message box's
// text goes to standard error and the command goes on as after OK; a question
// gets the answer given on the command line; a file dialog gets the file
// named on the command line.
class CliPrompter : public Prompter {
public:
    explicit CliPrompter(QTextStream& err) : err_(err) {}

    void message(const QString& text, const QString& title = {}) override;
    bool confirm(const QString& text, const QString& title = {}) override;
    QString chooseFile(const FileRequest& request) override;

    // The answer to every question (--yes answers Yes; by default No, the
    // answer that changes nothing).
    void setAnswer(bool yes) { answer_ = yes; }
    // The file the next file dialog returns.
    void setFile(const QString& path) { file_ = path; }
    // How many message boxes have been shown so far.
    int messagesShown() const { return messagesShown_; }
    // A line the status echo has printed: a message box repeating it does
    // not print it again.
    void noteEchoed(const QString& line) { echoed_.insert(line); }

private:
    QTextStream& err_;
    bool answer_ = false;
    QString file_;
    int messagesShown_ = 0;
    QSet<QString> echoed_;
};
