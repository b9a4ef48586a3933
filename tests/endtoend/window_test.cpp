// The window, offscreen, driving a simulated device on a pseudo-terminal in
// real time: what a user's clicks do over a real serial port.
#include "app/form.h"
#include "app/startup.h"
#include "gui/programwindow.h"
#include "serial/serialsettingsstore.h"
#include "sim/programports.h"
#include "support/fakeports.h"
#include "support/printers.h"
#include "support/scriptedprompter.h"
#include "support/serveddevice.h"
#include "support/testfiles.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The window as the program builds it, its port selector on the device's
// terminal, on the served device's clock.
struct Window {
    explicit Window(ServedDevice& served) : clock(served.clock), ports(served.clock) {
        runStartup(form, {0, store, lister, prompter});
        form.setText(Ctl::Combo1, served.path());
        program = std::make_unique<ProgramWindow>(form, ports.link, clock, prompter, store, lister,
                                                  dir.filePath(QStringLiteral("backups")));
        program->window.show();
    }

    // The click returns when the operation behind the button has ended.
    void click(Ctl button) {
        QTest::mouseClick(program->window.findChild<QPushButton*>(nameOf(button)), Qt::LeftButton);
    }

    QString status() const { return form.text(Ctl::Text29); }

    Clock& clock;
    QTemporaryDir dir;
    SerialSettingsStore store{dir.filePath(QStringLiteral("RUVAdev.ini"))};
    FakePortLister lister;
    ScriptedPrompter prompter;
    Form form;
    ProgramPorts ports;
    std::unique_ptr<ProgramWindow> program;
};

TEST(WindowOverARealPort, DefaultsWrittenAreReadBackByAFreshWindow) {
    ServedDevice served;
    {
        Window first(served);
        first.click(Ctl::Command0);
        first.form.setText(Ctl::Text4, QStringLiteral("BG7ABC"));
        first.form.setText(Ctl::Text7, QStringLiteral("网关 gateway"));
        first.click(Ctl::Command7);
        ASSERT_TRUE(first.status().endsWith(u"\r\nWrite complete")) << first.status().toStdString();
        EXPECT_FALSE(first.ports.link.isOpen());
    }
    Window fresh(served);
    fresh.click(Ctl::Command6);
    EXPECT_TRUE(fresh.status().endsWith(u"\r\nread ok")) << fresh.status().toStdString();
    EXPECT_EQ(fresh.form.text(Ctl::Text4), QStringLiteral("BG7ABC"));
    EXPECT_EQ(fresh.form.text(Ctl::Text7), QStringLiteral("网关 gateway"));
    EXPECT_EQ(fresh.form.text(Ctl::Text31), QStringLiteral("144.6400"));
    EXPECT_EQ(fresh.form.text(Ctl::Combo7), QStringLiteral("WIDE1-1"));
    EXPECT_EQ(fresh.store.portName(), served.path());
    EXPECT_TRUE(fresh.prompter.messages.empty());
}

TEST(WindowOverARealPort, UpdatesTheFirmwareAndTheLastBlockArrivesWhole) {
    ServedDevice served;
    Window window(served);
    const QString imagePath = window.dir.filePath(QStringLiteral("image.bin"));
    const QByteArray image = patternBytes(64 * 1024);
    ASSERT_TRUE(writeBytes(imagePath, image));
    window.prompter.files.push_back(imagePath);
    window.prompter.answers.push_back(false);  // no writing back of the kept settings

    window.click(Ctl::Command1);
    window.click(Ctl::Command2);
    const bool ended = QTest::qWaitFor(
        [&] { return !window.program->updater.isBusy() && served.device.flash().complete; },
        30'000);

    ASSERT_TRUE(ended) << window.status().toStdString();
    EXPECT_EQ(served.device.flash().image, image + QByteArray(2048, '\xFF'));
    EXPECT_TRUE(window.form.text(Ctl::Label2).startsWith(u"update complete"));
    EXPECT_TRUE(window.form.isEnabled(Ctl::Command2));
    EXPECT_FALSE(window.ports.link.isOpen());
}

TEST(WindowOverARealPort, OneClickOnUpdateFinishesADeviceSittingInItsLoader) {
    ServedDevice served;
    served.device.startInLoader();
    Window window(served);
    const QString imagePath = window.dir.filePath(QStringLiteral("image.bin"));
    const QByteArray image = patternBytes(20'000);
    ASSERT_TRUE(writeBytes(imagePath, image));
    window.prompter.files.push_back(imagePath);

    window.click(Ctl::Command1);
    window.click(Ctl::Command2);
    // The lock lasts until the update start has ended.
    const bool ended = QTest::qWaitFor(
        [&] { return window.form.isEnabled(Ctl::Command1) && served.device.flash().complete; },
        30'000);

    ASSERT_TRUE(ended) << window.status().toStdString();
    EXPECT_TRUE(window.status().contains(u"The device is waiting in its loader"))
        << window.status().toStdString();
    EXPECT_EQ(served.device.flash().image, image + QByteArray(10 * 2048 - image.size(), '\xFF'));
    EXPECT_TRUE(window.prompter.questions.empty());
    EXPECT_FALSE(window.ports.link.isOpen());
}

}  // namespace
