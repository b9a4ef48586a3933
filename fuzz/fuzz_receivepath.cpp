// Arbitrary byte streams, split at arbitrary points, through the receive path
// into the reply parser and the window's state.
#include "fuzzwindow.h"
#include "serial/seriallink.h"

#include <cstdint>

namespace {

class NullLink : public SerialLink {
public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override {}
    void close() override {}
    bool isOpen() const override { return true; }
    void write(const QByteArray&) override {}
    void feed(const QByteArray& bytes) { deliver(bytes); }

private:
    QString name_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NullLink link;
    FuzzWindow window(link);
    // The first byte chooses where the stream is cut into receive events.
    const size_t chunk = size > 0 ? data[0] % 64 + 1 : 1;
    for (size_t offset = 1; offset < size; offset += chunk) {
        const size_t length = std::min(chunk, size - offset);
        link.feed(QByteArray(reinterpret_cast<const char*>(data + offset),
                             static_cast<qsizetype>(length)));
    }
    return 0;
}
