#include "gui/mainwindow.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "app/texts.h"
#include "gui/elidedlabel.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

// The window as designed: Frame1 holds everything but the small progress box
// Text3 and the progress line Label2, which stand on the window below it.
// Layouts, not positions, so Chinese captions and large fonts fit.

namespace {

constexpr int kSpacing = 4;

// What the buttons say while an operation runs or after it, besides their
// captions.
constexpr Msg kGridButtonCaptions[] = {Msg::ReadButtonReading,     Msg::ReadButtonIdle,
                                       Msg::ReadButtonIdleEnglish, Msg::WriteButtonWriting,
                                       Msg::WriteButtonIdle,       Msg::RestartButtonIdle,
                                       Msg::UpdateButtonBusy,      Msg::UpdateButtonIdle};
constexpr Msg kWifiButtonCaptions[] = {Msg::WifiButtonWriting, Msg::WifiButtonIdle};

QGridLayout* grid(QWidget* owner) {
    auto* layout = new QGridLayout(owner);
    layout->setSpacing(kSpacing);
    layout->setContentsMargins(4, 2, 4, 4);
    return layout;
}

QHBoxLayout* row() {
    auto* layout = new QHBoxLayout;
    layout->setSpacing(kSpacing);
    return layout;
}

QVBoxLayout* column() {
    auto* layout = new QVBoxLayout;
    layout->setSpacing(kSpacing);
    return layout;
}

}  // namespace

void MainWindow::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(kSpacing);
    layout->addWidget(buildMainFrame());

    auto* progress = row();
    // The small progress box is as wide as the longest text it is given.
    QLineEdit* smallProgress = lineEdit(Ctl::Text3);
    smallProgress->setFixedWidth(
        smallProgress->fontMetrics().horizontalAdvance(
            text(Msg::ConnectionSuccessfulBox, form_.language()).trimmed()) +
        12);
    progress->addWidget(smallProgress);
    auto* progressLine = new ElidedLabel(Qt::ElideLeft);
    progressLine->setObjectName(nameOf(Ctl::Label2));
    binding_.bindElidedLabel(Ctl::Label2, progressLine);
    progress->addWidget(progressLine, 1);
    layout->addLayout(progress);
    nameInputs();
    // As compact as the captions allow.
    resize(minimumSizeHint());
}

QGroupBox* MainWindow::buildMainFrame() {
    QGroupBox* main = frame(Ctl::Frame1);
    auto* layout = new QVBoxLayout(main);
    layout->setSpacing(kSpacing);
    layout->setContentsMargins(6, 4, 6, 6);

    QLabel* title = label(Ctl::Label3);
    QFont titleFont = title->font();
    titleFont.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC")});
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    auto* station = row();
    station->addLayout(buildStationFields(), 1);
    station->addWidget(buildAddressFrame());
    layout->addLayout(station);

    auto* device = row();
    device->addWidget(buildRadioFrame(), 1);
    auto* setupAndVersion = column();
    setupAndVersion->addWidget(buildSetupFrame());
    setupAndVersion->addWidget(buildVersionFrame());
    device->addLayout(setupAndVersion);
    device->addWidget(buildWifiFrame());
    layout->addLayout(device);
    layout->addWidget(warningsLine());

    layout->addLayout(buildStatusAndButtons(), 1);
    auto* bottom = row();
    bottom->addWidget(label(Ctl::Label22));
    auto* bar = new QProgressBar;
    bar->setObjectName(nameOf(Ctl::ProgressBar1));
    // The progress line under the bar says how far the update is.
    bar->setTextVisible(false);
    binding_.bindProgressBar(Ctl::ProgressBar1, bar);
    bottom->addWidget(bar, 1);
    layout->addLayout(bottom);
    return main;
}

QBoxLayout* MainWindow::buildStationFields() {
    auto* fields = new QGridLayout;
    fields->setSpacing(kSpacing);
    fields->addWidget(label(Ctl::Label4), 0, 0);
    auto* call = row();
    call->addWidget(lineEdit(Ctl::Text4, 8));
    call->addWidget(label(Ctl::Label9));
    call->addWidget(comboBox(Ctl::Combo5, 2));
    call->addStretch(1);
    call->addWidget(label(Ctl::Label1));
    call->addWidget(lineEdit(Ctl::Text5, 6));
    fields->addLayout(call, 0, 1);
    fields->addWidget(label(Ctl::Label6), 1, 0);
    fields->addWidget(lineEdit(Ctl::Text8), 1, 1);
    fields->addWidget(lineEdit(Ctl::Text7), 2, 1);
    fields->addWidget(label(Ctl::Label7), 3, 0);
    fields->addWidget(comboBox(Ctl::Combo3, 14), 3, 1);
    fields->addWidget(label(Ctl::Label10), 4, 0);
    auto* filter = row();
    filter->addWidget(lineEdit(Ctl::Text11), 1);
    filter->addWidget(label(Ctl::Label8));
    filter->addWidget(lineEdit(Ctl::Text10, 6));
    fields->addLayout(filter, 4, 1);

    auto* layout = column();
    layout->addLayout(fields);
    layout->addStretch(1);
    return layout;
}

QGroupBox* MainWindow::buildAddressFrame() {
    QGroupBox* box = frame(Ctl::Frame2);
    QGridLayout* layout = grid(box);
    layout->addWidget(label(Ctl::Label5), 0, 0);
    layout->addWidget(comboBox(Ctl::Combo2, 9), 0, 1, 1, 4);
    const Ctl rowLabels[] = {Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label15};
    for (int r = 0; r < 4; ++r) {
        layout->addWidget(label(rowLabels[r]), r + 1, 0);
        for (int c = 0; c < 4; ++c) {
            layout->addWidget(lineEdit(DeviceSettings::addressBoxes[4 * r + c], 3), r + 1, c + 1);
        }
    }
    return box;
}

QGroupBox* MainWindow::buildRadioFrame() {
    QGroupBox* box = frame(Ctl::Frame4);
    QGridLayout* layout = grid(box);
    layout->addWidget(label(Ctl::Label16), 0, 0);
    auto* frequency = row();
    frequency->addWidget(lineEdit(Ctl::Text31, 8));
    frequency->addWidget(label(Ctl::Label17));
    frequency->addStretch(1);
    frequency->addWidget(checkBox(Ctl::Check1));
    layout->addLayout(frequency, 0, 1);
    layout->addWidget(label(Ctl::Label24), 1, 0);
    auto* level = row();
    level->addWidget(comboBox(Ctl::Combo6, 2));
    level->addStretch(1);
    level->addWidget(label(Ctl::Label21));
    level->addWidget(lineEdit(Ctl::Text32, 3));
    layout->addLayout(level, 1, 1);
    layout->addWidget(label(Ctl::Label25), 2, 0);
    layout->addWidget(comboBox(Ctl::Combo7, 14), 2, 1);
    layout->addWidget(label(Ctl::Label26), 3, 0);
    layout->addWidget(comboBox(Ctl::Combo8, 11), 3, 1);
    return box;
}

QGroupBox* MainWindow::buildSetupFrame() {
    QGroupBox* box = frame(Ctl::Frame5);
    QGridLayout* layout = grid(box);
    layout->addWidget(label(Ctl::Label18), 0, 0);
    layout->addWidget(comboBox(Ctl::Combo16, 3), 0, 1);
    layout->addWidget(label(Ctl::Label19), 1, 0);
    layout->addWidget(comboBox(Ctl::Combo4, 3), 1, 1);
    return box;
}

QGroupBox* MainWindow::buildVersionFrame() {
    QGroupBox* box = frame(Ctl::Frame3);
    QGridLayout* layout = grid(box);
    layout->addWidget(lineEdit(Ctl::Text6), 0, 0);
    return box;
}

QGroupBox* MainWindow::buildWifiFrame() {
    QGroupBox* box = frame(Ctl::Frame6);
    QGridLayout* layout = grid(box);
    layout->addWidget(label(Ctl::Label23), 0, 0);
    layout->addWidget(lineEdit(Ctl::Text34, 10), 0, 1);
    layout->addWidget(label(Ctl::Label20), 1, 0);
    QLineEdit* password = lineEdit(Ctl::Text33, 10);
    layout->addWidget(password, 1, 1);
    QPushButton* apply = button(Ctl::Command8);
    fixButtonSizes({apply}, kWifiButtonCaptions);
    auto* actions = row();
    actions->addWidget(wifiPasswordToggle(password));
    actions->addStretch(1);
    actions->addWidget(apply);
    layout->addLayout(actions, 2, 0, 1, 2);
    layout->setRowStretch(3, 1);
    return box;
}

QBoxLayout* MainWindow::buildStatusAndButtons() {
    auto* status = column();
    auto* port = row();
    port->addWidget(portSelector(), 1);
    port->addWidget(lineEdit(Ctl::Text12, 14));
    status->addLayout(port);
    status->addWidget(label(Ctl::Label11));
    auto* statusBox = new QPlainTextEdit;
    statusBox->setObjectName(nameOf(Ctl::Text29));
    statusBox->setReadOnly(true);
    statusBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // Unlike the other read-only boxes it stays on the Tab path: it holds
    // what each operation said, to be read and scrolled from the keyboard.
    showAsReadOnly(statusBox);
    binding_.bindTextView(Ctl::Text29, statusBox);
    status->addWidget(statusBox, 1);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(kSpacing);
    const Ctl order[] = {Ctl::Command6, Ctl::Command7, Ctl::Command0, Ctl::Command4,
                         Ctl::Command5, Ctl::Command9, Ctl::Command1, Ctl::Command2};
    QList<QPushButton*> widgets;
    for (int i = 0; i < 8; ++i) {
        widgets << button(order[i]);
        buttons->addWidget(widgets.back(), i / 3, i % 3);
    }
    widgets << trafficButton();
    buttons->addWidget(widgets.back(), 2, 2);
    widgets << compareButton();
    buttons->addWidget(widgets.back(), 3, 0);
    buttons->addWidget(verifyAfterWriteBox(), 3, 1, 1, 2);
    fixButtonSizes(widgets, kGridButtonCaptions);
    buttons->setRowStretch(4, 1);

    auto* layout = row();
    layout->addLayout(status, 1);
    layout->addLayout(buttons);
    return layout;
}

QPushButton* MainWindow::trafficButton() {
    auto* widget = new QPushButton;
    showCaption(widget, text(Msg::TrafficButton, form_.language()), 'T');
    widget->setObjectName(QStringLiteral("TrafficButton"));
    widget->setAutoDefault(false);
    connect(widget, &QPushButton::clicked, this, &MainWindow::trafficClicked);
    return widget;
}

QPushButton* MainWindow::compareButton() {
    auto* widget = new QPushButton;
    showCaption(widget, text(Msg::CompareButton, form_.language()), 'C');
    widget->setObjectName(QStringLiteral("CompareButton"));
    widget->setAutoDefault(false);
    connect(widget, &QPushButton::clicked, this, &MainWindow::compareClicked);
    // It reads the device as "Read data" does, so it may be clicked when that may.
    connect(&form_, &Form::changed, widget, [this, widget](Ctl id) {
        if (id == Ctl::Command6) {
            widget->setEnabled(form_.isEnabled(Ctl::Command6));
        }
    });
    return widget;
}

QCheckBox* MainWindow::verifyAfterWriteBox() {
    verifyAfterWrite_ = new QCheckBox;
    showCaption(verifyAfterWrite_, text(Msg::VerifyAfterWriteBox, form_.language()), 'V');
    verifyAfterWrite_->setObjectName(QStringLiteral("VerifyAfterWrite"));
    connect(verifyAfterWrite_, &QCheckBox::toggled, this, [this](bool verify) {
        // Like the remembered port, a choice that cannot be kept is not worth
        // a message: the box is then cleared at the next start.
        if (!choicesFile_.isEmpty()) {
            QSettings(choicesFile_, QSettings::IniFormat)
                .setValue(QStringLiteral("Choices/verifyAfterWrite"), verify);
        }
    });
    return verifyAfterWrite_;
}

void MainWindow::fixButtonSizes(const QList<QPushButton*>& buttons, std::span<const Msg> captions) {
    QStringList shown;
    for (const QPushButton* widget : buttons) {
        shown << widget->text();
    }
    for (const Msg caption : captions) {
        shown << text(caption, form_.language());
    }
    QSize size;
    for (const QString& caption : shown) {
        const QPushButton probe(caption);
        size = size.expandedTo(probe.sizeHint());
    }
    for (QPushButton* widget : buttons) {
        widget->setFixedSize(size);
    }
}

QWidget* MainWindow::wifiPasswordToggle(QLineEdit* password) {
    password->setEchoMode(QLineEdit::Password);
    auto* show = new QCheckBox;
    showCaption(show, text(Msg::ShowPassword, form_.language()), 'H');
    show->setObjectName(QStringLiteral("ShowWifiPassword"));
    connect(show, &QCheckBox::toggled, password, [password](bool shown) {
        password->setEchoMode(shown ? QLineEdit::Normal : QLineEdit::Password);
    });
    return show;
}

void MainWindow::nameInputs() {
    const auto find = [this](Ctl id) { return findChild<QWidget*>(nameOf(id)); };
    const std::pair<Ctl, Ctl> buddies[] = {
        {Ctl::Label4, Ctl::Text4},    {Ctl::Label1, Ctl::Text5},   {Ctl::Label7, Ctl::Combo3},
        {Ctl::Label10, Ctl::Text11},  {Ctl::Label8, Ctl::Text10},  {Ctl::Label11, Ctl::Text29},
        {Ctl::Label5, Ctl::Combo2},   {Ctl::Label16, Ctl::Text31}, {Ctl::Label21, Ctl::Text32},
        {Ctl::Label24, Ctl::Combo6},  {Ctl::Label25, Ctl::Combo7}, {Ctl::Label26, Ctl::Combo8},
        {Ctl::Label18, Ctl::Combo16}, {Ctl::Label19, Ctl::Combo4}, {Ctl::Label23, Ctl::Text34},
        {Ctl::Label20, Ctl::Text33},
    };
    for (const auto& [label, box] : buddies) {
        findChild<QLabel*>(nameOf(label))->setBuddy(find(box));
    }
    // The label "Posi+Comment" stands before the position box; each box is named on its own.
    findChild<QLabel*>(nameOf(Ctl::Label6))->setBuddy(find(Ctl::Text8));
    const Ctl rowLabels[] = {Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label15};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            find(DeviceSettings::addressBoxes[4 * r + c])
                ->setAccessibleName(form_.text(rowLabels[r]) + QStringLiteral(" %1").arg(c + 1));
        }
    }
    const Language language = form_.language();
    const std::pair<Ctl, Msg> ownNames[] = {
        {Ctl::Combo5, Msg::SsidBoxName},    {Ctl::Text8, Msg::PositionBoxName},
        {Ctl::Text7, Msg::CommentBoxName},  {Ctl::Combo1, Msg::PortSelectorName},
        {Ctl::Text3, Msg::ProgressBoxName}, {Ctl::ProgressBar1, Msg::UpdateProgressName},
    };
    for (const auto& [box, name] : ownNames) {
        find(box)->setAccessibleName(text(name, language));
    }
    find(Ctl::Text6)->setAccessibleName(form_.text(Ctl::Frame3));
    find(Ctl::Text12)->setAccessibleName(form_.text(Ctl::Text12));
    // Focus goes to the text box inside a combo box that takes typing: it
    // carries the box's name.
    for (QComboBox* box : findChildren<QComboBox*>()) {
        const QAccessibleInterface* named = QAccessible::queryAccessibleInterface(box);
        box->lineEdit()->setAccessibleName(named->text(QAccessible::Name));
    }
}
