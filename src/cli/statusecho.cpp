#include "cli/statusecho.h"

#include "app/form.h"
#include "cli/cliprompter.h"

#include <QRegularExpression>
#include <QTextStream>

StatusEcho::StatusEcho(const Form& form, QTextStream& err, CliPrompter& prompter)
    : err_(err), prompter_(prompter) {
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
        if (!lines[i].isEmpty()) {
            err_ << lines[i] << Qt::endl;
            prompter_.noteEchoed(lines[i]);
        }
    }
    shown_ = lines;
}
