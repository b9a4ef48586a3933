#include "serial/receivepath.h"

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
