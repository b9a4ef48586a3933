// Arbitrary byte streams, split at arbitrary points, through the receive path
// into the reply parser and the window's state.
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"

#include <QCoreApplication>

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

class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return false; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Form form;
    NullLink link;
    VirtualClock clock;
    SilentPrompter prompter;
    const SerialSettingsStore store(QStringLiteral("/nonexistent/RUVAdev.ini"));
    Session session(form, link, clock, prompter, store);
    // The first byte chooses where the stream is cut into receive events.
    const size_t chunk = size > 0 ? data[0] % 64 + 1 : 1;
    for (size_t offset = 1; offset < size; offset += chunk) {
        const size_t length = std::min(chunk, size - offset);
        link.feed(QByteArray(reinterpret_cast<const char*>(data + offset),
                             static_cast<qsizetype>(length)));
    }
    return 0;
}
