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

// What the device received from a write of the default settings.
QByteArray defaultWriteBytes() {
    ExchangeBench bench;
    fillDefaults(bench.form);
    writeExchange(bench.session);
    return bench.bytesReceived();
}

TEST(WriteWarnings, AreAskedAboutOnceBeforeAnythingIsSent) {
    struct Case {
        const char* name;
        std::function<void(Form&)> change;
        bool answer;
        const char* question;  // nullptr: none asked
        bool sent;
    };
    const auto badFields = [](Form& form) {
        form.setText(ds::callSsid, QStringLiteral("20"));
        form.setText(ds::sendInterval, QStringLiteral("0"));
    };
    const Case cases[] = {
        {"no warning", [](Form&) {}, false, nullptr, true},
        {"warnings, No", badFields, false,
         "These fields look wrong for the device:\r\nSSID \"20\" is not a number from 0 to "
         "15\r\nTx time: an interval of 0\r\nWrite anyway?",
         false},
        {"warnings, Yes", badFields, true,
         "These fields look wrong for the device:\r\nSSID \"20\" is not a number from 0 to "
         "15\r\nTx time: an interval of 0\r\nWrite anyway?",
         true},
        {"a wrong passcode is never asked about",
         [](Form& form) { form.setText(ds::passcode, QStringLiteral("1")); }, false, nullptr, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExchangeBench bench;
        fillDefaults(bench.form);
        c.change(bench.form);
        bench.prompter.answers = {c.answer};
        confirmedWriteExchange(bench.session);
        if (c.question == nullptr) {
            EXPECT_TRUE(bench.prompter.questions.empty());
        } else {
            ASSERT_EQ(bench.prompter.questions.size(), 1u);
            EXPECT_EQ(bench.prompter.questions[0].text, QString::fromUtf8(c.question));
        }
        if (c.sent) {
            EXPECT_FALSE(bench.bytesReceived().isEmpty());
            EXPECT_TRUE(bench.status().endsWith(QStringLiteral("Write complete")));
        } else {
            EXPECT_TRUE(bench.bytesReceived().isEmpty());
            EXPECT_EQ(bench.status(), QString());
            EXPECT_EQ(bench.clock.elapsedMs(), 0);
        }
    }
}

TEST(WriteWarnings, GoingAheadSendsWhatTheWriteAloneSends) {
    ExchangeBench bench;
    fillDefaults(bench.form);
    bench.form.setText(ds::position, QStringLiteral("!3035.00N/11417.00E"));
    bench.prompter.answers = {true};
    confirmedWriteExchange(bench.session);
    QByteArray expected = defaultWriteBytes();
    expected.replace("11417.00ErPHG1010#", "11417.00E#");
    EXPECT_EQ(bench.bytesReceived(), expected);
}

TEST(WriteWarnings, AreNotAskedWhenTheClickCancelsOrTheWriteIsRefused) {
    struct Case {
        const char* name;
        bool portOpen;
        const char* callsign;
        size_t messages;
    };
    const Case cases[] = {
        {"the click cancels a running exchange", true, "NOCALL", 0},
        {"the callsign refuses the write", false, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExchangeBench bench;
        fillDefaults(bench.form);
        bench.form.setText(ds::frequency, QStringLiteral("1"));
        bench.form.setText(ds::callsign, QString::fromLatin1(c.callsign));
        if (c.portOpen) {
            bench.session.openPort();
        }
        confirmedWriteExchange(bench.session);
        EXPECT_TRUE(bench.prompter.questions.empty());
        EXPECT_EQ(bench.prompter.messages.size(), c.messages);
        EXPECT_FALSE(bench.link.isOpen());
        EXPECT_TRUE(bench.bytesReceived().isEmpty());
    }
}

}  // namespace
