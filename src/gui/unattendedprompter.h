#pragma once

#include "app/prompter.h"

#include <cstdio>

// The answers when nobody sits at the window (the screenshot run): messages
// go to the error output, questions are answered No, file choices cancelled.
class UnattendedPrompter : public Prompter {
public:
    void message(const QString& text, const QString& title = {}) override {
        std::fprintf(stderr, "%s%s%s\n", qPrintable(title), title.isEmpty() ? "" : ": ",
                     qPrintable(text));
    }
    bool confirm(const QString& text, const QString& title = {}) override {
        message(text, title);
        return false;
    }
    QString chooseFile(const FileRequest&) override { return {}; }
};
