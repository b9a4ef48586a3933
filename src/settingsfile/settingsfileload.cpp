#include "settingsfile/settingsfileload.h"

#include "app/form.h"
#include "protocol/session.h"

#include <QStringDecoder>

namespace {

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // decode() only describes the work; converting the result does it.
    [[maybe_unused]] const QString decoded = utf8.decode(bytes);
    return !utf8.hasError();
}

QStringDecoder decoderFor(QByteArrayView file) {
    if (isUtf8(file)) {
        return QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    }
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (gb18030.isValid()) {
        return gb18030;
    }
    // A Qt built without the Chinese codecs still shows every byte.
    return QStringDecoder(QStringDecoder::Latin1, QStringDecoder::Flag::Stateless);
}

}  // namespace

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

LoadOutcome loadSettingsLines(Session& session, const QByteArray& file) {
    QStringDecoder decoder = decoderFor(file);
    LoadOutcome outcome;
    for (const QByteArray& bytes : splitFileLines(file)) {
        const QString line = decoder.decode(bytes);
        session.form().appendText(Ctl::Text29, line + QStringLiteral("\r\n"));
        session.receivePath().setReplyLine(bytes);
        ++outcome.linesApplied;
        if (!session.applyReply(line)) {
            outcome.stoppedAtFailedCut = true;
            break;
        }
    }
    session.form().setEnabled(Ctl::Command7, true);
    return outcome;
}
