#include "cli/clicontext.h"

#include "settingsfile/settingsfileio.h"

#include <QRegularExpression>

CliContext::CliContext(Clock& clock, const QString& configDir, Language language)
    : clock(clock), store(SerialSettingsStore::defaultPath(configDir)) {
    form.setLanguage(language);
}

bool CliContext::writeData(const QString& file, const QByteArray& bytes) {
    if (file.isEmpty()) {
        out.flush();
        return fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) ==
                   static_cast<size_t>(bytes.size()) &&
               fflush(stdout) == 0;
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
