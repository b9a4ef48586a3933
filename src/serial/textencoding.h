#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The encodings text arrives in. Devices and tools sold for Chinese users
// speak GB18030; everything else here is UTF-8. ASCII, nearly every reply and
// setting, reads the same in both.
enum class TextEncoding { Utf8, Gb18030 };

struct DecodedText {
    QString text;
    TextEncoding encoding = TextEncoding::Utf8;
    bool valid = true;  // false: neither encoding holds the bytes
};

// UTF-8 when the bytes are valid UTF-8, otherwise GB18030, so that a Chinese
// comment arrives whole. Bytes valid in neither are still shown, as GB18030
// shows them, and marked not valid.
DecodedText decodeText(QByteArrayView bytes);

// The bytes as text in the given encoding.
QString decodeAs(QByteArrayView bytes, TextEncoding encoding);

// The text in the encoding; a text GB18030 cannot hold goes as UTF-8.
QByteArray encodeText(const QString& text, TextEncoding encoding);
