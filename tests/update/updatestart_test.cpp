#include "support/printers.h"
#include "update/loaderprotocol.h"
#include "update/updaterig.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kReset = QByteArrayLiteral("AT+RESET#\r\n");
const QByteArray kReboot = QByteArrayLiteral("REBOOT#\r\n");
constexpr int kNever = -1;

// What the device does during an update start: it confirms the reset of its
// settings memory some time after the command, and its loader answers one of
// the probes.
struct DeviceScript {
    int eeramResetAfterMs = 300;
    int answeredProbe = 1;  // kNever: the loader never answers
};

// Sets the device's part and records, when "REBOOT#" goes out, what the
// status box and the update button show.
struct StartRun {
    explicit StartRun(const DeviceScript& script, qsizetype imageLength = 5000) {
        loadImage(rig, patternBytes(imageLength));
        rig.link.responder = [this, script](const QByteArray& written) {
            if (written == kReset && script.eeramResetAfterMs != kNever) {
                rig.link.sendLater(script.eeramResetAfterMs, QByteArrayLiteral("eeram reset\r\n"));
            } else if (written == kReboot) {
                statusAtReboot = rig.status();
                captionAtReboot = rig.form.text(Ctl::Command2);
            } else if (written == probePacket() && ++probes == script.answeredProbe) {
                rig.link.sendLater(20, QByteArray("\xE5", 1));
            }
        };
    }
    // The moments, from the click, at which the device was sent these bytes.
    QList<qint64> sent(const QByteArray& bytes) const {
        QList<qint64> moments;
        for (const ScriptedLink::Event& event : rig.link.events) {
            if (event.bytes == bytes) {
                moments.append(event.atMs - clickedAt);
            }
        }
        return moments;
    }
    void click() {
        clickedAt = rig.clock.nowMs();
        rig.updater.updateStart();
    }

    ScriptedRig rig;
    int probes = 0;
    qint64 clickedAt = 0;
    QString statusAtReboot;
    QString captionAtReboot;
};

// The refusal says why on a line of its own.
TEST(UpdateStart, AnImageOfLessThan5000BytesIsRefused) {
    struct Case {
        qsizetype length;  // -1: no image loaded
        QString reason;    // empty: the update starts
    };
    const Case cases[] = {
        {-1, "No firmware image is loaded."},
        {0, "The image file is empty."},
        {1, "The image is too small: 1 bytes, at least 5000."},
        {4999, "The image is too small: 4999 bytes, at least 5000."},
        {5000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        ScriptedRig rig;
        if (c.length >= 0) {
            loadImage(rig, patternBytes(c.length));
        }
        rig.updater.updateStart();
        if (c.reason.isEmpty()) {
            EXPECT_EQ(rig.link.writes().value(0), kReset);
            EXPECT_TRUE(rig.prompter.messages.empty());
        } else {
            EXPECT_EQ(rig.status(), "Please choose fireware\r\n" + c.reason + "\r\n");
            EXPECT_EQ(rig.prompter.messageTexts(),
                      QStringList{"Please choose fireware\n" + c.reason});
            EXPECT_EQ(rig.link.opens, 0);
            EXPECT_TRUE(rig.link.events.isEmpty());
        }
    }
}

TEST(UpdateStart, WaitsUpToFiveSecondsForTheResetThenRebootsRegardless) {
    struct Case {
        const char* name;
        int eeramResetAfterMs;
        QString statusAtReboot;
        QString captionAtReboot;
        qint64 rebootAt;
    };
    const Case cases[] = {
        {"confirmed at step 3", 2500, "Wait for reset eeram  2/5\r\n\r\nreset eeram OK\r\n",
         "update...", 101 + 4 * 1001},
        {"confirmed at step 5", 4500, "Wait for reset eeram  4/5\r\n\r\nreset eeram OK\r\n",
         "update...", 101 + 6 * 1001},
        {"never confirmed", kNever, "Reset eeram fail,Please try again.\r\n", "update",
         101 + 5 * 1001},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRun run({c.eeramResetAfterMs, kNever});
        TextHistory status(run.rig.form, Ctl::Text29);
        run.click();
        EXPECT_EQ(run.sent(kReset), QList<qint64>{101});
        EXPECT_EQ(run.sent(kReboot), QList<qint64>{c.rebootAt});
        EXPECT_EQ(run.statusAtReboot, c.statusAtReboot);
        EXPECT_EQ(run.captionAtReboot, c.captionAtReboot);
        EXPECT_TRUE(run.rig.link.isOpen());
        EXPECT_EQ(status.texts.first(), "Please wait auto update.\r\n 0/10");
        if (c.eeramResetAfterMs == kNever) {
            EXPECT_EQ(status.texts.mid(1),
                      (QStringList{"Wait for reset eeram  1/5\r\n", "Wait for reset eeram  2/5\r\n",
                                   "Wait for reset eeram  3/5\r\n", "Wait for reset eeram  4/5\r\n",
                                   "Wait for reset eeram  5/5\r\n", c.statusAtReboot}));
        }
        // The port is reopened for the loader, which is probed once a second.
        run.rig.clock.advance(3'000);
        EXPECT_EQ(run.sent(probePacket()),
                  (QList<qint64>{c.rebootAt + 101 + 1000, c.rebootAt + 101 + 2000,
                                 c.rebootAt + 101 + 3000}));
        EXPECT_EQ(run.rig.link.opens, 2);
    }
}

TEST(UpdateStart, TheLoaderWaitEndsWhenTheLoaderAnswersOrOnItsTenthTick) {
    struct Case {
        const char* name;
        int answeredProbe;
        int probes;
        bool answered;
    };
    const Case cases[] = {
        {"answer to the 3rd probe", 3, 3, true},
        {"answer to the 9th probe still counts", 9, 9, true},
        {"no answer", kNever, 9, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRun run({300, c.answeredProbe});
        TextHistory counts(run.rig.form, Ctl::Text3);
        run.click();
        // Past the tenth tick, and short of the 10 s a loader may stay silent.
        run.rig.clock.advance(12'500);

        EXPECT_EQ(run.sent(probePacket()).size(), c.probes);
        QStringList expectedCounts;
        const int ticks = c.answered ? c.answeredProbe + 1 : 10;
        for (int tick = 1; tick <= ticks; ++tick) {
            expectedCounts << QStringLiteral(" %1/10").arg(tick);
        }
        EXPECT_EQ(counts.texts, expectedCounts);
        EXPECT_EQ(run.rig.form.text(Ctl::Command2), "update");
        EXPECT_EQ(run.sent(lengthPacket(5000)).size(), c.answered ? 1 : 0);
        EXPECT_EQ(run.rig.link.isOpen(), c.answered) << "the transfer keeps the port";
        const QString waited = "Wait for update\r\n" + expectedCounts.last();
        EXPECT_EQ(run.rig.status(),
                  c.answered ? waited : waited + "\r\nConnect fail, Please try again.");
        EXPECT_TRUE(run.rig.prompter.messages.empty());
    }
}

TEST(UpdateStart, ASecondClickOrClosingTheWindowWhileStartingLetsGoOfThePort) {
    struct Case {
        const char* name;
        int eeramResetAfterMs;
        int cancelAtMs;
        bool closeWindow;  // else a second click
        QStringList messages;
        int probes;
    };
    const Case cases[] = {
        // The start finds the port closed when it sends "REBOOT#" and ends there.
        {"click during the reset wait",
         kNever,
         1'500,
         false,
         {"Port is use or no\nthe port is not open"},
         0},
        // The loader wait ticks on to its end, its probes failing on the closed port.
        {"click during the loader wait", 300, 101 + 2 * 1001 + 101 + 2'500, false, {}, 2},
        {"window closed during the reset wait", kNever, 1'500, true, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartRun run({c.eeramResetAfterMs, kNever});
        Updater& updater = run.rig.updater;
        VirtualClock& clock = run.rig.clock;
        clock.post(c.cancelAtMs, [&] { c.closeWindow ? clock.abort() : updater.updateStart(); });
        EXPECT_NO_THROW(run.click());
        clock.advance(15'000);

        EXPECT_FALSE(run.rig.link.isOpen());
        if (!c.closeWindow) {
            EXPECT_EQ(run.rig.form.text(Ctl::Command2), "update");
        }
        EXPECT_EQ(run.rig.prompter.messageTexts(), c.messages);
        EXPECT_EQ(run.sent(probePacket()).size(), c.probes);
        EXPECT_EQ(run.sent(kReboot).size(), c.probes > 0 ? 1 : 0);
        const QList<ScriptedLink::Event>& events = run.rig.link.events;
        const auto cancel = std::find_if(events.begin(), events.end(), [&](const auto& event) {
            return event.kind == ScriptedLink::Event::Kind::Close &&
                   event.atMs - run.clickedAt == c.cancelAtMs;
        });
        ASSERT_NE(cancel, events.end()) << "the port closed at the cancel";
        EXPECT_TRUE(std::none_of(cancel, events.end(), [](const auto& event) {
            return event.kind == ScriptedLink::Event::Kind::Write;
        })) << "nothing was sent after the cancel";
    }
}

TEST(UpdateStart, APortThatWillNotOpenEndsTheStartWithTheReason) {
    StartRun run({});
    run.rig.link.busy = true;
    run.click();
    run.rig.clock.advance(3'000);
    EXPECT_EQ(run.rig.prompter.messageTexts(), QStringList{"Port is use or no\nport in use"});
    EXPECT_TRUE(run.rig.link.events.isEmpty());
    EXPECT_EQ(run.rig.form.text(Ctl::Command2), "update");
}

}  // namespace
