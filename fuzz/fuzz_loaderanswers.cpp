// Arbitrary byte sequences from the loader, against a loaded image, with
// timer ticks between them. Whatever arrives, every packet the updater sends
// is a probe, the length packet or a block of the image with its checksum,
// and blocks go out in order.
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
#include "update/loaderprotocol.h"
#include "update/updater.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

// 5000 bytes: three blocks, the last one padded.
QByteArray imageBytes() {
    QByteArray bytes(5000, 0);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = char((i * 31 + i / 2048 * 7) % 251);
    }
    return bytes;
}

const QString& imagePath() {
    static const QString path = [] {
        const QString file = QDir::temp().filePath(QStringLiteral("fuzz_loaderanswers.bin"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(imageBytes()) != 5000) {
            std::abort();
        }
        return file;
    }();
    return path;
}

class CheckingLink : public SerialLink {
public:
    explicit CheckingLink(const FirmwareImage& image) : image_(image) {}
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    // The port stays open, so every answer meets a port to send on.
    void open() override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void write(const QByteArray& bytes) override {
        if (bytes == probePacket() || bytes == lengthPacket(image_.length)) {
            return;
        }
        if (bytes.size() != kBlockPacketSize || quint8(bytes.back()) != xorChecksum(bytes)) {
            std::abort();
        }
        // A block is the one sent last (asked again) or the one after it.
        const QByteArrayView block = QByteArrayView(bytes).first(kBlockSize);
        if (lastBlock_ + 1 < image_.blockCount() && block == image_.block(lastBlock_ + 1)) {
            ++lastBlock_;
        } else if (lastBlock_ < 0 || block != image_.block(lastBlock_)) {
            std::abort();
        }
    }
    void feed(const QByteArray& bytes) { deliver(bytes); }
    void restartCount() { lastBlock_ = -1; }

private:
    const FirmwareImage& image_;
    QString name_;
    int lastBlock_ = -1;
};

class FilePrompter : public Prompter {
public:
    void message(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return true; }
    QString chooseFile(const FileRequest&) override { return imagePath(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Form form;
    VirtualClock clock;
    FilePrompter prompter;
    const SerialSettingsStore store(QStringLiteral("/nonexistent/RUVAdev.ini"));
    FirmwareImage expected = padImage(imageBytes());
    CheckingLink link(expected);
    Session session(form, link, clock, prompter, store);
    Updater updater(session);
    updater.imageOpen();
    if (updater.image().buffer != expected.buffer) {
        std::abort();
    }
    // A byte 0xFF lets one transfer tick pass; any other byte arrives from
    // the loader on its own. The seeds hold the answers 0xE5, 0xC5 and 0x55.
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            clock.advance(Updater::kTransferTickMs);
            continue;
        }
        if (!updater.isTransferring()) {
            link.restartCount();
        }
        link.feed(QByteArray(1, char(data[i])));
    }
    clock.advance(Updater::kStallMs + Updater::kTransferTickMs);
    if (updater.isTransferring()) {
        std::abort();  // a loader gone quiet always ends the transfer
    }
    return 0;
}
