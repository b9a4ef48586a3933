#include "gui/mainwindow.h"

#include "app/fieldwarnings.h"
#include "app/form.h"
#include "app/portwatch.h"
#include "app/prompter.h"
#include "app/texts.h"
#include "gui/elidedlabel.h"
#include "gui/inputrules.h"
#include "gui/namedcombobox.h"
#include "gui/portselector.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace {

// Room for chars digits, plus the box's frame and margins.
int widthFor(const QWidget* widget, int chars) {
    return widget->fontMetrics().horizontalAdvance(QString(chars, u'0')) + 10;
}

// The controls that only show what the program puts there.
bool isOutputOnly(Ctl id) {
    return id == Ctl::Text3 || id == Ctl::Text6 || id == Ctl::Text12;
}

// Alt+letter for each button, distinct in the window.
char mnemonicOf(Ctl id) {
    switch (id) {
        case Ctl::Command6:
            return 'R';
        case Ctl::Command7:
            return 'W';
        case Ctl::Command0:
            return 'D';
        case Ctl::Command4:
            return 'L';
        case Ctl::Command5:
            return 'S';
        case Ctl::Command9:
            return 'E';
        case Ctl::Command1:
            return 'O';
        case Ctl::Command2:
            return 'U';
        case Ctl::Command8:
            return 'A';
        case Ctl::Check1:
            return 'I';
        default:
            return 0;
    }
}

void prepareComboBox(QComboBox* box, Ctl id, int widthChars) {
    box->setObjectName(nameOf(id));
    box->setEditable(true);
    // The lists are fixed and the box holds exactly what was typed or picked:
    // no typed text joins the list and nothing completes it.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    // Finishing an edit whose text matches an item would count as picking
    // it; only a pick from the list may run the pick rules.
    QObject::disconnect(box->lineEdit(), &QLineEdit::editingFinished, box, nullptr);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(widthChars);
}

}  // namespace

MainWindow::MainWindow(Form& form, Prompter& prompter, PortWatch& portWatch,
                       std::function<bool()> portIsOpen, QWidget* parent)
    : QWidget(parent),
      form_(form),
      prompter_(prompter),
      portWatch_(portWatch),
      portIsOpen_(std::move(portIsOpen)),
      binding_(form) {
    setObjectName(nameOf(Ctl::Form1));
    // Once for the program: Qt keeps one list of factories for all windows.
    static const bool comboBoxesNamed = [] {
        QAccessible::installFactory(namedComboBoxAccessible);
        return true;
    }();
    Q_UNUSED(comboBoxesNamed);
    binding_.bindWindow(Ctl::Form1, this);
    // The warnings follow every change, whoever made it: typing, a read, a
    // loaded file, the defaults.
    showFieldWarnings(form_);
    connect(&form_, &Form::changed, this, [this] { showFieldWarnings(form_); });
    buildLayout();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (mayClose_ && !mayClose_()) {
        event->ignore();
        return;
    }
    emit closing();
    event->accept();
}

QLabel* MainWindow::label(Ctl id) {
    auto* widget = new QLabel;
    widget->setObjectName(nameOf(id));
    binding_.bindLabel(id, widget);
    markWarnings(id, widget);
    return widget;
}

QLineEdit* MainWindow::lineEdit(Ctl id, int widthChars) {
    auto* widget = new QLineEdit;
    widget->setObjectName(nameOf(id));
    if (isOutputOnly(id)) {
        widget->setReadOnly(true);
        showAsReadOnly(widget);
        // Tab passes it by; a click still selects its text for copying.
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    if (widthChars > 0) {
        widget->setFixedWidth(widthFor(widget, widthChars));
    }
    binding_.bindLineEdit(id, widget);
    markWarnings(id, widget);
    return widget;
}

void MainWindow::showAsReadOnly(QWidget* box) {
    // Greyed like the window behind it, so it does not invite typing.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

QComboBox* MainWindow::comboBox(Ctl id, int widthChars) {
    auto* widget = new QComboBox;
    prepareComboBox(widget, id, widthChars);
    binding_.bindComboBox(id, widget);
    markWarnings(id, widget);
    connect(widget, &QComboBox::activated, this,
            [this, id, widget](int index) { onPicked(id, widget->itemText(index)); });
    return widget;
}

QComboBox* MainWindow::portSelector() {
    auto* widget = new PortSelector;
    prepareComboBox(widget, Ctl::Combo1, 12);
    // While a port is open it is the one in use and cannot be probed.
    widget->setBeforePopup([this] {
        if (!portIsOpen_()) {
            portWatch_.refreshList();
        }
    });
    binding_.bindComboBox(Ctl::Combo1, widget);
    connect(widget, &QComboBox::activated, this,
            [this, widget](int index) { onPortPicked(widget, widget->itemText(index)); });
    return widget;
}

QPushButton* MainWindow::button(Ctl id) {
    auto* widget = new QPushButton;
    widget->setObjectName(nameOf(id));
    widget->setAutoDefault(false);
    binding_.bindButton(id, widget, mnemonicOf(id));
    connect(widget, &QPushButton::clicked, this, [this, id] { emit buttonClicked(id); });
    return widget;
}

QCheckBox* MainWindow::checkBox(Ctl id) {
    auto* widget = new QCheckBox;
    widget->setObjectName(nameOf(id));
    binding_.bindCheckBox(id, widget, mnemonicOf(id));
    return widget;
}

QGroupBox* MainWindow::frame(Ctl id) {
    auto* widget = new QGroupBox;
    widget->setObjectName(nameOf(id));
    binding_.bindFrame(id, widget);
    return widget;
}

void MainWindow::markWarnings(Ctl id, QWidget* widget) {
    const auto& warned = warnedControls();
    if (std::find(warned.begin(), warned.end(), id) != warned.end()) {
        binding_.bindWarning(id, widget);
    }
}

ElidedLabel* MainWindow::warningsLine() {
    auto* line = new ElidedLabel(Qt::ElideRight);
    line->setObjectName(QStringLiteral("WarningsLine"));
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x00));
    line->setPalette(palette);
    const auto show = [this, line] {
        QStringList warnings;
        for (const Ctl control : warnedControls()) {
            if (!form_.warning(control).isEmpty()) {
                warnings << form_.warning(control);
            }
        }
        line->setFullText(warnings.join(u'\n'));
    };
    show();
    connect(&form_, &Form::warningChanged, line, show);
    return line;
}

void MainWindow::onPicked(Ctl id, const QString& item) {
    form_.setText(id, item);
}

void MainWindow::onPortPicked(QComboBox* box, const QString& port) {
    if (port != form_.text(Ctl::Combo1) && portIsOpen_()) {
        // The running exchange keeps its port; the box shows it again.
        box->setEditText(form_.text(Ctl::Combo1));
        prompter_.message(text(Msg::PortIsOpen, form_.language()));
        return;
    }
    form_.setText(Ctl::Combo1, port);
}

bool MainWindow::verifiesAfterWrite() const {
    return verifyAfterWrite_->isChecked();
}

void MainWindow::rememberChoicesIn(const QString& file) {
    const QSettings choices(file, QSettings::IniFormat);
    verifyAfterWrite_->setChecked(
        choices.value(QStringLiteral("Choices/verifyAfterWrite"), false).toBool());
    choicesFile_ = file;
}
