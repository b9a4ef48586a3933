#include "cli/cliprompter.h"

void CliPrompter::message(const QString& text, const QString& title) {
    Q_UNUSED(title);
    ++messagesShown_;
    for (const QString& line : text.split(u'\n')) {
        if (!echoed_.contains(line)) {
            err_ << line << Qt::endl;
        }
    }
}

bool CliPrompter::confirm(const QString& text, const QString& title) {
    Q_UNUSED(title);
    err_ << text << (answer_ ? " yes" : " no (--yes answers yes)") << Qt::endl;
    return answer_;
}

QString CliPrompter::chooseFile(const FileRequest& request) {
    Q_UNUSED(request);
    return file_;
}
