#include "windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {

TEST(FormBinding, WidgetsFollowEveryChangeOfTheForm) {
    WindowFixture fixture;
    Form& form = fixture.form;

    form.setText(Ctl::Form1, QStringLiteral("another title"));
    form.setText(Ctl::Command2, QStringLiteral("update..."));
    form.setText(Ctl::Command9, QStringLiteral("R&D"));  // shown, not taken as a shortcut
    form.setEnabled(Ctl::Command6, false);
    form.setText(Ctl::Label2, QStringLiteral("update step: 3/64"));
    form.setText(Ctl::Text3, QStringLiteral(" 7"));
    form.setText(Ctl::Text6, QStringLiteral("KV120 V2.1"));
    form.setValue(Ctl::Check1, 1);
    form.setText(Ctl::Check1, QStringLiteral("DIGI 2"));
    form.setText(Ctl::Frame4, QStringLiteral("RF 2"));
    form.setText(Ctl::Combo7, QStringLiteral("WIDE1-1WIDE2-2"));
    form.setRange(Ctl::ProgressBar1, 0, 64);
    form.setValue(Ctl::ProgressBar1, 16);
    form.setStatus(QStringLiteral("Connection OK"));
    form.appendStatusLine(QStringLiteral("read ok"));

    EXPECT_EQ(fixture.window->windowTitle(), QStringLiteral("another title"));
    // Each button's mnemonic letter is underlined, or added where the caption lacks it.
    EXPECT_EQ(fixture.widget<QPushButton>(Ctl::Command2)->text(), QStringLiteral("&update..."));
    EXPECT_EQ(fixture.widget<QPushButton>(Ctl::Command9)->text(), QStringLiteral("R&&D(&E)"));
    EXPECT_FALSE(fixture.widget(Ctl::Command6)->isEnabled());
    EXPECT_EQ(fixture.widget<QLabel>(Ctl::Label2)->text(), QStringLiteral("update step: 3/64"));
    EXPECT_EQ(fixture.shown(Ctl::Text3), QStringLiteral(" 7"));
    EXPECT_EQ(fixture.shown(Ctl::Text6), QStringLiteral("KV120 V2.1"));
    EXPECT_TRUE(fixture.widget<QCheckBox>(Ctl::Check1)->isChecked());
    EXPECT_EQ(fixture.widget<QCheckBox>(Ctl::Check1)->text(), QStringLiteral("D&IGI 2"));
    EXPECT_EQ(fixture.widget<QGroupBox>(Ctl::Frame4)->title(), QStringLiteral("RF 2"));
    EXPECT_EQ(fixture.shown(Ctl::Combo7), QStringLiteral("WIDE1-1WIDE2-2"));
    auto* bar = fixture.widget<QProgressBar>(Ctl::ProgressBar1);
    EXPECT_EQ(bar->maximum(), 64);
    EXPECT_EQ(bar->value(), 16);
    auto* status = fixture.widget<QPlainTextEdit>(Ctl::Text29);
    EXPECT_EQ(status->toPlainText(), QStringLiteral("Connection OK\nread ok"));
    EXPECT_TRUE(status->isReadOnly());
}

TEST(FormBinding, WhatTheUserDoesGoesIntoTheForm) {
    WindowFixture fixture;
    Form& form = fixture.form;

    QTest::keyClicks(fixture.widget<QComboBox>(Ctl::Combo3)->lineEdit(), "rotate.aprs2.net");
    QTest::keyClicks(fixture.widget<QComboBox>(Ctl::Combo6)->lineEdit(), "12");
    pickItem(fixture.widget<QComboBox>(Ctl::Combo8), QStringLiteral("WIDE2"));
    fixture.click(Ctl::Check1);

    EXPECT_EQ(form.text(Ctl::Combo3), QStringLiteral("rotate.aprs2.net"));
    EXPECT_EQ(form.text(Ctl::Combo6), QStringLiteral("12"));  // not a list item; kept
    EXPECT_EQ(form.text(Ctl::Combo8), QStringLiteral("WIDE2"));
    EXPECT_EQ(form.value(Ctl::Check1), 1);

    fixture.click(Ctl::Check1);
    EXPECT_EQ(form.value(Ctl::Check1), 0);
}

}  // namespace
