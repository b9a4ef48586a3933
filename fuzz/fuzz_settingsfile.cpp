// Arbitrary files through the settings-file load: every line goes to the
// status box and the reply parser, whatever its encoding or length. A load
// never applies more lines than the file has.
#include "fuzzwindow.h"
#include "serial/seriallink.h"
#include "settingsfile/settingsfileload.h"

#include <cstdint>
#include <cstdlib>

namespace {

class ClosedLink : public SerialLink {
public:
    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override {}
    void close() override {}
    bool isOpen() const override { return false; }
    void write(const QByteArray&) override { std::abort(); }  // a load never talks to the port

private:
    QString name_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ClosedLink link;
    FuzzWindow window(link);
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LoadOutcome outcome = loadSettingsLines(window.session, file);
    if (outcome.linesApplied > splitFileLines(file).size() ||
        !window.form.isEnabled(Ctl::Command7)) {
        std::abort();
    }
    return 0;
}
