#include "cli/clicontext.h"

#include "settingsfile/settingsfileio.h"

#include <QIODevice>
#include <QRegularExpression>

CliContext::CliContext(Clock& clock, SerialLink& link, const SerialSettingsStore& store,
                       Language language, QIODevice& out, QIODevice& err)
    : clock(clock), link(link), out(out), err(&err), session(form, link, clock, prompter, store) {
    form.setLanguage(language);
}

bool CliContext::writeData(const QString& file, const QByteArray& bytes) {
    if (file.isEmpty()) {
        return out.write(bytes) == bytes.size();
    }
    const QString failure = writeFileWhole(file, bytes);
    if (!failure.isEmpty()) {
        err << text(Msg::FileNotSaved, form.language()).arg(file, failure) << Qt::endl;
        return false;
    }
    return true;
}

QString CliContext::lastStatusLine() const {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = form.text(Ctl::Text29).split(lineEnd, Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}
