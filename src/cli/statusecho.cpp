#include "cli/statusecho.h"

#include "app/form.h"
#include "cli/cliprompter.h"

#include <QRegularExpression>
#include <QTextStream>

StatusEcho::StatusEcho(const Form& form, QTextStream& err, CliPrompter& prompter,
                       std::function<void()> beforeLine)
    : err_(err), prompter_(prompter), beforeLine_(std::move(beforeLine)) {
    connect(&form, &Form::changed, this, [this, &form](Ctl id) {
        if (id == Ctl::Text29) {
            show(form.text(Ctl::Text29));
        }
    });
}

void StatusEcho::show(const QString& status) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = status.split(lineEnd);
    qsizetype same = 0;
    while (same < lines.size() && same < shown_.size() && lines[same] == shown_[same]) {
        ++same;
    }
    for (qsizetype i = same; i < lines.size(); ++i) {
        QString line = lines[i];
        const bool counted = i + 1 < lines.size() && isCount(lines[i + 1]);
        if (line.isEmpty() || (counted && !isNoughtCount(lines[i + 1]))) {
            continue;  // shown with its count
        }
        if (isCount(line)) {
            if (isNoughtCount(line) || i == 0) {
                continue;
            }
            line = lines[i - 1] + line;
        }
        if (line == lastWritten_) {
            ++repeats_;
            continue;
        }
        tellRepeats();
        write(line);
    }
    shown_ = lines;
}

bool StatusEcho::isCount(const QString& line) {
    static const QRegularExpression count(QStringLiteral("^ \\d+/\\d+$"));
    return count.match(line).hasMatch();
}

bool StatusEcho::isNoughtCount(const QString& line) {
    return line.startsWith(QStringLiteral(" 0/"));
}

StatusEcho::~StatusEcho() {
    tellRepeats();
}

void StatusEcho::write(const QString& line) {
    if (beforeLine_) {
        beforeLine_();
    }
    err_ << line << Qt::endl;
    prompter_.noteEchoed(line);
    lastWritten_ = line;
}

void StatusEcho::tellRepeats() {
    if (repeats_ > 0) {
        const QString line = lastWritten_;
        write(QStringLiteral("%1 (x%2)").arg(line).arg(repeats_ + 1));
        lastWritten_ = line;
        repeats_ = 0;
    }
}
