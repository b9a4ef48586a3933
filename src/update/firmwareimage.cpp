#include "update/firmwareimage.h"

#include <algorithm>

FirmwareImage padImage(QByteArrayView fileBytes) {
    FirmwareImage image;
    image.length = static_cast<qint32>(fileBytes.size());
    image.buffer = QByteArray(qsizetype{image.blockCount()} * kBlockSize, char(0xFF));
    std::copy(fileBytes.begin(), fileBytes.end(), image.buffer.begin());
    return image;
}

namespace {

bool isIntelHexText(QByteArrayView bytes) {
    const auto isHexRecordChar = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') ||
               c == ':' || c == '\r' || c == '\n';
    };
    return bytes.startsWith(':') && std::all_of(bytes.begin(), bytes.end(), isHexRecordChar);
}

}  // namespace

ImageKind imageKindOf(QByteArrayView fileBytes) {
    if (fileBytes.startsWith("\x7F"
                             "ELF")) {
        return ImageKind::Elf;
    }
    if (fileBytes.startsWith("PK\x03\x04")) {
        return ImageKind::Zip;
    }
    if (fileBytes.startsWith("UF2\n")) {
        return ImageKind::Uf2;
    }
    if (isIntelHexText(fileBytes)) {
        return ImageKind::IntelHex;
    }
    return ImageKind::Raw;
}
