#include "settingsfile/settingsfileload.h"

#include "app/form.h"
#include "protocol/replyparser.h"
#include "protocol/session.h"
#include "serial/textencoding.h"

#include <algorithm>

QList<QByteArray> splitFileLines(QByteArrayView file) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n') {
            continue;
        }
        lines << file.sliced(start, i - start).toByteArray();
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < file.size()) {
        lines << file.sliced(start).toByteArray();
    }
    return lines;
}

bool holdsSettingLine(QByteArrayView file) {
    const QList<QByteArray> lines = splitFileLines(file);
    return std::any_of(lines.begin(), lines.end(), [](const QByteArray& line) {
        return line == "[KORVA]" || startsWithKeyword(line);
    });
}

LoadOutcome loadSettingsLines(Session& session, const QByteArray& file) {
    const TextEncoding encoding = decodeText(file).encoding;
    LoadOutcome outcome;
    for (const QByteArray& bytes : splitFileLines(file)) {
        const QString line = decodeAs(bytes, encoding);
        session.form().appendText(Ctl::Text29, line + QStringLiteral("\r\n"));
        session.receivePath().setReplyLine(bytes);
        ++outcome.linesApplied;
        if (!session.applyReply(line, encoding)) {
            outcome.stoppedAtFailedCut = true;
            break;
        }
    }
    session.form().setEnabled(Ctl::Command7, true);
    return outcome;
}
