// The window during a firmware update, as the user sees it: what may be
// clicked in each phase, and no question left open once the update is over.
#include "reliabilityrig.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include <map>

namespace {

enum Phase { Reading, Resetting, LoaderWait, Transferring, RunCheck, WritingBack, kPhases };

const char* const kPhaseNames[kPhases] = {"reading the settings",
                                          "resetting",
                                          "loader wait",
                                          "transferring",
                                          "asking whether it runs again",
                                          "writing the settings back"};

// The phase an update is in, or -1 between phases.
int phaseOf(const ReliabilityRig& rig) {
    const Form& form = rig.form;
    if (rig.updater.isTransferring()) {
        return Transferring;
    }
    if (rig.updater.isBusy()) {
        return rig.updater.deviceLeft() == Updater::DeviceLeft::ImageSent ? RunCheck : LoaderWait;
    }
    if (form.text(Ctl::Command7) == u"Writing") {
        return WritingBack;
    }
    if (form.text(Ctl::Command6) == u"reading") {
        return Reading;
    }
    if (form.text(Ctl::Text29).contains(u"eeram")) {
        return Resetting;
    }
    return -1;
}

TEST(UpdateLock, OnlyWhatCannotDisturbTheUpdateStaysClickable) {
    struct Row {
        QString widget;
        bool enabled[kPhases];  // in the order of the phases
    };
    const Row rows[] = {
        {"Command6", {false, false, false, false, false, false}},  // Read data
        {"Command7", {false, false, false, false, false, false}},  // Write data
        {"Command0", {false, false, false, false, false, false}},  // Default
        {"Command4", {false, false, false, false, false, false}},  // Load file
        {"Command8", {false, false, false, false, false, false}},  // Apply
        {"Command9", {false, false, false, false, false, false}},  // restart
        {"Combo1", {false, false, false, false, false, false}},    // the port selector
        {"Command1", {false, false, false, false, false, false}},  // Open ROM
        {"CompareButton", {false, false, false, false, false, false}},
        // "update" while a click on it cancels: the read and the start.
        {"Command2", {true, true, true, false, false, false}},
        {"Command5", {true, true, true, true, true, true}},  // Save file
        {"TrafficButton", {true, true, true, true, true, true}},
    };
    ReliabilityRig rig;
    std::map<QString, QList<bool>> seen[kPhases];
    const auto sample = [&] {
        const int phase = phaseOf(rig);
        if (phase < 0) {
            return;
        }
        for (const Row& row : rows) {
            seen[phase][row.widget].append(
                rig.window->findChild<QWidget*>(row.widget)->isEnabled());
        }
    };
    const Clock::TimerId sampler = rig.clock.startTimer(20, sample);
    rig.click(Ctl::Command2);
    ASSERT_TRUE(rig.runUntil([&] { return rig.form.text(Ctl::Text29).endsWith(u"Write complete"); },
                             120'000))
        << rig.form.text(Ctl::Text29).toStdString();
    rig.clock.stopTimer(sampler);

    for (int phase = 0; phase < kPhases; ++phase) {
        SCOPED_TRACE(kPhaseNames[phase]);
        for (const Row& row : rows) {
            SCOPED_TRACE(row.widget.toStdString());
            const QList<bool>& states = seen[phase][row.widget];
            ASSERT_FALSE(states.isEmpty());
            EXPECT_EQ(states.count(row.enabled[phase]), states.size());
        }
    }
    // Afterwards each control is as its own rules leave it.
    for (const Row& row : rows) {
        EXPECT_TRUE(rig.window->findChild<QWidget*>(row.widget)->isEnabled())
            << row.widget.toStdString();
    }
}

TEST(UpdateLock, TheQuestionAboutClosingIsWithdrawnWhenTheTransferEnds) {
    ReliabilityRig rig;
    rig.click(Ctl::Command2);
    ASSERT_TRUE(rig.runUntil([&] { return rig.updater.isTransferring(); }, 60'000));
    rig.prompter.whileAsking = [&rig](const bool& withdrawn) {
        rig.runUntil([&withdrawn] { return withdrawn; }, 30'000);
    };
    rig.window->close();
    rig.runUntil([&] { return rig.form.text(Ctl::Text29).endsWith(u"Write complete"); }, 60'000);

    EXPECT_EQ(rig.prompter.withdrawals, 1);
    EXPECT_EQ(rig.prompter.askedOnTopOfAnother, 0);
    ASSERT_EQ(rig.prompter.questions.size(), 2u);
    // The settings the update keeps are named for the run that would finish it.
    EXPECT_TRUE(rig.prompter.questions[0].text.contains(u"\nYour settings are kept in "));
    EXPECT_TRUE(rig.prompter.questions[1].text.startsWith(u"The update reset the device"));
    EXPECT_TRUE(rig.window->isVisible());
    EXPECT_TRUE(rig.ports.device.flash().complete);
}

}  // namespace
