// "Verify after write" and "Compare": the window against the simulated device.
#include "app/devicesettings.h"
#include "reliability/reliabilityrig.h"

#include <QCheckBox>
#include <QSettings>
#include <QTemporaryDir>

namespace {

namespace ds = DeviceSettings;

TEST(VerifyAndCompare, TheWindowShowsWhatTheDeviceHoldsAndChangesOnlyWhenAsked) {
    enum class Click { VerifiedWrite, Compare };
    using enum Click;
    struct Case {
        const char* what;
        Click click;
        const char* comment;  // in the window; the device holds "KORVA 144.640MHz"
        QByteArray lostCommand;
        std::deque<bool> answers;
        QStringList messages;
        const char* statusEnd;
        const char* commentAfter;
    };
    const QString differs =
        "The device differs from the window in 1 setting(s):\n"
        "COMMENT TEXT: window \"mine\", device \"KORVA 144.640MHz\"\n"
        "Show the device's settings in the window?";
    const Case cases[] = {
        {"verified",
         VerifiedWrite,
         "mine",
         "",
         {},
         {},
         "Verified: the device holds every setting written.",
         "mine"},
        {"verify finds the comment lost",
         VerifiedWrite,
         "mine",
         "COMMENT",
         {},
         {"COMMENT TEXT: written \"mine\", read back \"KORVA 144.640MHz\"\n"
          "Verify failed: 1 setting(s) differ from what was written."},
         "read ok",
         "mine"},
        {"the same",
         Compare,
         "KORVA 144.640MHz",
         "",
         {},
         {"The device holds the settings the window shows."},
         "read ok",
         "KORVA 144.640MHz"},
        {"different, kept", Compare, "mine", "", {false}, {}, "read ok", "mine"},
        {"different, shown", Compare, "mine", "", {true}, {}, "read ok", "KORVA 144.640MHz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReliabilityRig rig;
        rig.ports.device.knobs().ignoreCommand = c.lostCommand;
        rig.form.setText(ds::comment, QString::fromUtf8(c.comment));
        rig.prompter.answers = c.answers;
        rig.prompter.messages.clear();  // the start-up message
        if (c.click == VerifiedWrite) {
            rig.window->findChild<QCheckBox*>("VerifyAfterWrite")->setChecked(true);
            rig.click(Ctl::Command7);
        } else {
            rig.window->findChild<QPushButton*>("CompareButton")->click();
        }
        EXPECT_EQ(rig.prompter.messageTexts(), c.messages);
        EXPECT_EQ(rig.prompter.questions.size(), c.answers.size());
        if (!c.answers.empty()) {
            EXPECT_EQ(rig.prompter.questions.front().text, differs);
        }
        EXPECT_TRUE(rig.form.text(Ctl::Text29).endsWith(QString::fromUtf8(c.statusEnd)))
            << rig.form.text(Ctl::Text29).toStdString();
        EXPECT_EQ(rig.form.text(ds::comment), QString::fromUtf8(c.commentAfter));
    }
}

TEST(VerifyAndCompare, TheVerifyChoiceIsRemembered) {
    QTemporaryDir dir;
    const QString choices = dir.filePath(QStringLiteral("kv120-choices.ini"));
    {
        ReliabilityRig first;
        first.window->rememberChoicesIn(choices);
        EXPECT_FALSE(first.window->verifiesAfterWrite());
        first.window->findChild<QCheckBox*>("VerifyAfterWrite")->setChecked(true);
    }
    ReliabilityRig next;
    next.window->rememberChoicesIn(choices);
    EXPECT_TRUE(next.window->verifiesAfterWrite());
}

}  // namespace
