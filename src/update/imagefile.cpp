#include "update/imagefile.h"

#include "process/inputfile.h"

ImageFileRead readImageFile(const QString& path, qint64 maxLength) {
    ImageFileRead result;
    InputFile file = readInputFile(path, maxLength);
    if (!file.failure.isEmpty()) {
        result.reason = file.failure;
        return result;
    }
    if (file.bytes.size() > maxLength) {
        result.outcome = ImageFileRead::Outcome::TooLarge;
        return result;
    }
    result.outcome = ImageFileRead::Outcome::Read;
    result.bytes = std::move(file.bytes);
    return result;
}
