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

// What the device receives from the write alone, of the default settings
// changed as given.
QByteArray plainWriteBytes(const std::function<void(Form&)>& change) {
    ExchangeBench bench;
    fillDefaults(bench.form);
    change(bench.form);
    writeExchange(bench.session);
    return bench.bytesReceived();
}

TEST(WriteWarnings, AreAskedAboutOnceBeforeAnythingIsSent) {
    struct Case {
        const char* name;
        std::function<void(Form&)> change;
        bool answer;
        bool asked;
        bool sent;
    };
    const auto badFields = [](Form& form) {
        form.setText(ds::callSsid, QStringLiteral("20"));
        form.setText(ds::sendInterval, QStringLiteral("0"));
    };
    const Case cases[] = {
        {"warnings, No", badFields, false, true, false},
        {"warnings, Yes", badFields, true, true, true},
        {"a wrong passcode is never asked about",
         [](Form& form) { form.setText(ds::passcode, QStringLiteral("1")); }, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExchangeBench bench;
        fillDefaults(bench.form);
        c.change(bench.form);
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

TEST(WriteWarnings, AreNotAskedWhenTheClickCancelsOrTheWriteIsRefused) {
    struct Case {
        const char* name;
        bool portOpen;
        const char* comment;
        QStringList messages;
    };
    const Case cases[] = {
        {"the click cancels a running exchange", true, "KORVA", {}},
        // A line break would smuggle a command of its own to the device.
        {"a line break refuses the write",
         false,
         "hi\nAT+RESET#",
         {"The field \"Posi+Comment\" holds a line break; nothing was written."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExchangeBench bench;
        fillDefaults(bench.form);
        bench.form.setText(ds::frequency, QStringLiteral("1"));
        bench.form.setText(ds::comment, QString::fromLatin1(c.comment));
        if (c.portOpen) {
            bench.session.openPort();
        }
        confirmedWriteExchange(bench.session);
        EXPECT_TRUE(bench.prompter.questions.empty());
        EXPECT_EQ(bench.prompter.messageTexts(), c.messages);
        EXPECT_FALSE(bench.link.isOpen());
        EXPECT_TRUE(bench.bytesReceived().isEmpty());
        EXPECT_EQ(bench.status(), "");
        EXPECT_EQ(bench.form.text(Ctl::Command7), "Write data");
        EXPECT_EQ(bench.clock.elapsedMs(), 0);
    }
}

}  // namespace
