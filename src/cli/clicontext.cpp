#include "cli/clicontext.h"

#include "process/terminationsignals.h"
#include "serial/clock.h"
#include "serial/seriallink.h"
#include "settingsfile/settingsfileio.h"

#include <QIODevice>
#include <QRegularExpression>

CliContext::CliContext(Clock& clock, SerialLink& link, const SerialSettingsStore& store,
                       Language language, QIODevice& out, QIODevice& err)
    : clock(clock), link(link), out(out), err(&err), session(form, link, clock, prompter, store) {
    form.setLanguage(language);
    session.setFrontEnd(FrontEnd::CommandLine);
    // Nothing more reaches the device: the command ends now rather than
    // after its retries.
    session.setAfterLoss([this] {
        portLost = true;
        this->clock.abort();
    });
}

int CliContext::run(const std::function<int(CliContext&)>& command) {
    try {
        return command(*this);
    } catch (const ExchangeAborted&) {
        return portLost ? kFailed : kInterrupted;
    }
}

void CliContext::noteUndone(const QString& line) {
    undone = line;
    // Told, if a signal comes, even when the program is ended before the
    // command has unwound.
    if (!line.isEmpty()) {
        setTerminationUndone(line);
    }
}

void CliContext::interrupt() {
    interrupted = true;
    link.close();
    clock.abort();
}

bool CliContext::writeData(const QString& file, const QByteArray& bytes) {
    if (file.isEmpty()) {
        if (out.write(bytes) != bytes.size()) {
            err << "kv120ctl: the output could not be written: " << out.errorString() << Qt::endl;
            return false;
        }
        return true;
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
