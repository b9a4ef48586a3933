#pragma once

#include "app/controls.h"
#include "app/texts.h"
#include "gui/formbinding.h"

#include <QWidget>

#include <functional>
#include <span>

class ElidedLabel;
class Form;
class Prompter;
class PortWatch;
class QBoxLayout;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The one window, Form1. It shows every control the user sees, each widget
// named as its control (Text4, Combo5, Command7), mirrors the Form both ways
// and applies the input rules. What the buttons do is the controller's.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    MainWindow(Form& form, Prompter& prompter, PortWatch& portWatch,
               std::function<bool()> portIsOpen, QWidget* parent = nullptr);

    // Asked before the window closes; false keeps it open.
    void setCloseGuard(std::function<bool()> mayClose) { mayClose_ = std::move(mayClose); }

    // "Verify after write": a write that completes is read back and compared.
    bool verifiesAfterWrite() const;
    // Keeps the user's choices (so far "Verify after write") in file, and
    // shows the ones kept there.
    void rememberChoicesIn(const QString& file);

signals:
    void buttonClicked(Ctl id);
    // "Traffic", the button that opens the serial traffic view.
    void trafficClicked();
    // "Compare": the window against the device.
    void compareClicked();
    // The window is about to close; nothing runs on it afterwards.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Each makes the widget of one control, names it and binds it.
    QLabel* label(Ctl id);
    QLineEdit* lineEdit(Ctl id, int widthChars = 0);
    QComboBox* comboBox(Ctl id, int widthChars);
    QPushButton* button(Ctl id);
    QCheckBox* checkBox(Ctl id);
    QGroupBox* frame(Ctl id);
    // Draws a box only the program writes to as read-only.
    static void showAsReadOnly(QWidget* box);
    // Marks the widget while its control has a warning.
    void markWarnings(Ctl id, QWidget* widget);
    // One line, always there, that lists the warnings in the window's order.
    ElidedLabel* warningsLine();
    // The buttons keep one size, that of the largest caption any of them
    // shows (Chinese captions are taller), so that a busy caption moves
    // nothing.
    void fixButtonSizes(const QList<QPushButton*>& buttons, std::span<const Msg> captions);
    // What a screen reader says for each box: its label, or a name of its
    // own where no label stands beside it alone ("IP 1" to "IP 4").
    void nameInputs();
    // The WiFi password is masked, with a check box that shows it.
    QWidget* wifiPasswordToggle(QLineEdit* password);
    QComboBox* portSelector();

    void onPicked(Ctl id, const QString& item);
    void onPortPicked(QComboBox* box, const QString& port);

    // The layout, container by container (mainwindowlayout.cpp).
    void buildLayout();
    QGroupBox* buildMainFrame();
    QBoxLayout* buildStationFields();
    QGroupBox* buildAddressFrame();
    QGroupBox* buildRadioFrame();
    QGroupBox* buildSetupFrame();
    QGroupBox* buildVersionFrame();
    QGroupBox* buildWifiFrame();
    QBoxLayout* buildStatusAndButtons();
    QPushButton* trafficButton();
    QPushButton* compareButton();
    QCheckBox* verifyAfterWriteBox();

    Form& form_;
    Prompter& prompter_;
    PortWatch& portWatch_;
    std::function<bool()> portIsOpen_;
    std::function<bool()> mayClose_;
    FormBinding binding_;
    QCheckBox* verifyAfterWrite_ = nullptr;
    QString choicesFile_;
};
