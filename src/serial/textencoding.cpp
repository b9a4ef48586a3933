#include "serial/textencoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

DecodedText decodeText(QByteArrayView bytes) {
    // Nearly every reply is ASCII, which reads the same in every encoding
    // here; a reply line is decoded after every byte, so it skips the decoders.
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; })) {
        return {QString::fromLatin1(bytes), TextEncoding::Utf8, true};
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return {text, TextEncoding::Utf8, true};
    }
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (!gb18030.isValid()) {
        // A Qt built without the Chinese codecs still shows every byte.
        return {QString::fromLatin1(bytes), TextEncoding::Utf8, false};
    }
    text = gb18030.decode(bytes);
    const bool valid = !gb18030.hasError();
    return {text, valid ? TextEncoding::Gb18030 : TextEncoding::Utf8, valid};
}

QString decodeAs(QByteArrayView bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Gb18030) {
        QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
        if (gb18030.isValid()) {
            return gb18030.decode(bytes);
        }
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    return utf8.decode(bytes);
}

QByteArray encodeText(const QString& text, TextEncoding encoding) {
    if (encoding == TextEncoding::Gb18030) {
        QStringEncoder gb18030("GB18030", QStringEncoder::Flag::Stateless);
        if (gb18030.isValid()) {
            QByteArray bytes = gb18030.encode(text);
            if (!gb18030.hasError()) {
                return bytes;
            }
        }
    }
    return text.toUtf8();
}
