#include "protocol/writewarnings.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "exchangebench.h"
#include "protocol/writeexchange.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

namespace ds = DeviceSettings;

using Change = std::function<void(ExchangeBench&)>;

// What the device receives from the write alone, of the default settings
// changed as given.
QByteArray plainWriteBytes(const Change& change) {
    ExchangeBench bench;
    fillDefaults(bench.form);
    change(bench);
    writeExchange(bench.session);
    return bench.bytesReceived();
}

TEST(WriteWarnings, AreAskedAboutOnceBeforeAnythingIsSentUnlessTheWriteWouldNotRun) {
    struct Case {
        const char* name;
        Change change;
        bool answer;
        bool asked;
        bool sent;
        QStringList messages;
    };
    const Change badFields = [](ExchangeBench& b) {
        b.form.setText(ds::callSsid, QStringLiteral("20"));
        b.form.setText(ds::sendInterval, QStringLiteral("0"));
    };
    const Change wrongPasscode = [](ExchangeBench& b) { b.form.setText(ds::passcode, "1"); };
    const Change openPort = [&](ExchangeBench& b) {
        badFields(b);
        b.session.openPort();
    };
    // A line break would smuggle a command of its own to the device.
    const Change lineBreak = [&](ExchangeBench& b) {
        badFields(b);
        b.form.setText(ds::comment, "hi\nAT+RESET#");
    };
    const Case cases[] = {
        {"warnings, No", badFields, false, true, false, {}},
        {"warnings, Yes", badFields, true, true, true, {}},
        {"a wrong passcode is never asked about", wrongPasscode, false, false, true, {}},
        {"the click cancels a running exchange", openPort, true, false, false, {}},
        {"a line break refuses the write",
         lineBreak,
         true,
         false,
         false,
         {"The field \"Posi+Comment\" holds a line break; nothing was written."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExchangeBench bench;
        fillDefaults(bench.form);
        c.change(bench);
        bench.prompter.answers = {c.answer};
        confirmedWriteExchange(bench.session);
        if (c.asked) {
            ASSERT_EQ(bench.prompter.questions.size(), 1u);
            EXPECT_EQ(bench.prompter.questions[0].text,
                      "These fields look wrong for the device:\r\nSSID \"20\" is not a number "
                      "from 0 to 15\r\nTx time: an interval of 0\r\nWrite anyway?");
        } else {
            EXPECT_TRUE(bench.prompter.questions.empty());
        }
        EXPECT_EQ(bench.prompter.messageTexts(), c.messages);
        EXPECT_FALSE(bench.link.isOpen());
        EXPECT_EQ(bench.form.text(Ctl::Command7), "Write data");
        if (c.sent) {
            EXPECT_EQ(bench.bytesReceived(), plainWriteBytes(c.change));
            EXPECT_TRUE(bench.status().endsWith(QStringLiteral("Write complete")));
        } else {
            EXPECT_TRUE(bench.bytesReceived().isEmpty());
            EXPECT_EQ(bench.status(), QString());
            EXPECT_EQ(bench.clock.elapsedMs(), 0);
        }
    }
}

}  // namespace
