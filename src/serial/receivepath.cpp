#include "serial/receivepath.h"

#include <QStringDecoder>

#include <algorithm>

void ReceivePath::receive(const QByteArray& bytes) {
    for (const char byte : bytes) {
        trace_.append(static_cast<quint8>(byte));
    }
    for (const char byte : bytes) {
        if (byte == '\r') {
            replyLine_.clear();
        } else if (byte != '\n' && replyLine_.size() < kReplyLineLimit) {
            replyLine_.append(byte);
        }
        onLine_(replyLine_);
    }
}

QString decodeReplyText(QByteArrayView bytes) {
    // Nearly every reply is ASCII, which reads the same in every encoding
    // here; it is decoded after every byte, so it skips the decoders.
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) == 0; })) {
        return QString::fromLatin1(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    QStringDecoder gb18030("GB18030", QStringDecoder::Flag::Stateless);
    if (!gb18030.isValid()) {
        return QString::fromLatin1(bytes);
    }
    return gb18030.decode(bytes);
}
