#include "app/form.h"
#include "app/prompter.h"
#include "protocol/session.h"
#include "update/imagefile.h"
#include "update/updater.h"

#include <QDir>

namespace {

Msg kindText(ImageKind kind) {
    switch (kind) {
        case ImageKind::Elf:
            return Msg::ImageKindElf;
        case ImageKind::Zip:
            return Msg::ImageKindZip;
        case ImageKind::Uf2:
            return Msg::ImageKindUf2;
        case ImageKind::IntelHex:
        case ImageKind::Raw:
            break;
    }
    return Msg::ImageKindIntelHex;
}

}  // namespace

bool Updater::imageOpen() {
    Prompter& prompter = session_.prompter();
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = session_.tr(Msg::ImageDialogTitle);
    request.filter = session_.tr(Msg::ImageDialogFilter);
    const QString path = prompter.chooseFile(request);
    if (path.isEmpty()) {
        return false;
    }
    // The file is read whole before anything changes, so a file that cannot
    // be read, or is refused, leaves the image loaded before as it was.
    const ImageFileRead read = readImageFile(path, kMaxImageLength);
    switch (read.outcome) {
        case ImageFileRead::Outcome::TooLarge:
            prompter.message(
                session_.tr(imageLoaded_ ? Msg::ImageTooLargeKeptBefore : Msg::ImageTooLarge)
                    .arg(kMaxImageLength));
            return false;
        case ImageFileRead::Outcome::NotRead:
            prompter.message(
                session_.tr(Msg::ImageNotRead).arg(QDir::toNativeSeparators(path), read.reason));
            return false;
        case ImageFileRead::Outcome::Read:
            break;
    }
    if (!acceptImage(read.bytes)) {
        return false;
    }
    Form& form = session_.form();
    form.setStatus(session_.tr(Msg::ImageFilePrefix) + path);
    image_ = padImage(read.bytes);
    form.setRange(Ctl::ProgressBar1, 0, image_.blockCount());
    blockIndex_ = 0;
    imageLoaded_ = true;
    return true;
}

QString Updater::imageRefusal() const {
    if (!imageLoaded_) {
        return session_.tr(Msg::ImageNoneLoaded);
    }
    if (image_.length == 0) {
        return session_.tr(Msg::ImageEmpty);
    }
    return session_.tr(Msg::ImageTooSmall).arg(image_.length).arg(kMinUpdateLength);
}

bool Updater::acceptImage(const QByteArray& bytes) {
    const ImageKind kind = imageKindOf(bytes);
    if (kind == ImageKind::Raw) {
        return true;
    }
    return session_.prompter().confirm(
        session_.tr(Msg::ImageLooksWrong).arg(session_.tr(kindText(kind))));
}
