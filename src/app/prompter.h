#pragma once

#include <QString>
#include <QStringList>

// A file dialog as the operations ask for it. The filter is written as the
// device's users know it, "description|pattern". Where the dialog starts is
// the dialog's own choice: the folder last used for that kind of file.
struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    QString title;
    QString filter;
    QString defaultSuffix;  // added to a saved name that has none ("ini"); empty: none
    QString fileName;       // the name the dialog starts with
};

// Everything modal: message boxes, questions and file dialogs. The window
// shows real dialogs; tests and the command line answer them.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A message box with an OK button only; returns when it is closed. An
    // empty title means the program's title.
    virtual void message(const QString& text, const QString& title = {}) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool confirm(const QString& text, const QString& title = {}) = 0;
    // A question answered by picking one of items, or none of them (the last
    // choice, noneOfThem); the index of the one picked, else -1. Unless
    // someone sits at the window, the answer is none, which changes nothing.
    virtual int choose(const QString& text, const QStringList& items, const QString& noneOfThem) {
        Q_UNUSED(text);
        Q_UNUSED(items);
        Q_UNUSED(noneOfThem);
        return -1;
    }
    // The chosen file's full path, or the empty text when cancelled. A save
    // dialog asks before replacing an existing file.
    virtual QString chooseFile(const FileRequest& request) = 0;
    // Closes the open question, if any, as answered No: what it asked about
    // has ended while it waited for the user.
    virtual void withdrawQuestion() {}
    // The file just chosen was refused (not a settings file, unreadable):
    // its folder is not the one the next dialog of its kind starts in.
    virtual void chosenFileRefused() {}
};
