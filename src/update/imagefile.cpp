#include "update/imagefile.h"

#include <QFile>

ImageFileRead readImageFile(const QString& path, qint64 maxLength) {
    ImageFileRead result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.reason = file.errorString();
        return result;
    }
    // One byte beyond the limit is enough to know the file is too long, and
    // works for files whose size the system cannot tell in advance.
    QByteArray bytes = file.read(maxLength + 1);
    if (file.error() != QFileDevice::NoError) {
        result.reason = file.errorString();
        return result;
    }
    if (bytes.size() > maxLength) {
        result.outcome = ImageFileRead::Outcome::TooLarge;
        return result;
    }
    result.outcome = ImageFileRead::Outcome::Read;
    result.bytes = std::move(bytes);
    return result;
}
