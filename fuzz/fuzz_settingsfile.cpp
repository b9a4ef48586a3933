// Arbitrary files through the settings-file load: every line goes to the
// status box and the reply parser, whatever its encoding or length. A load
// never applies more lines than the file has.
#include "app/form.h"
#include "app/prompter.h"
#include "protocol/session.h"
#include "serial/seriallink.h"
#include "serial/serialsettingsstore.h"
#include "serial/virtualclock.h"
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

class SilentPrompter : public Prompter {
public:
    void message(const QString&, const QString&) override {}
    bool confirm(const QString&, const QString&) override { return false; }
    QString chooseFile(const FileRequest&) override { return {}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Form form;
    ClosedLink link;
    VirtualClock clock;
    SilentPrompter prompter;
    const SerialSettingsStore store(QStringLiteral("/nonexistent/RUVAdev.ini"));
    Session session(form, link, clock, prompter, store);
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const LoadOutcome outcome = loadSettingsLines(session, file);
    if (outcome.linesApplied > splitFileLines(file).size() || !form.isEnabled(Ctl::Command7)) {
        std::abort();
    }
    return 0;
}
