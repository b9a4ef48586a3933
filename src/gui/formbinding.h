#pragma once

#include "app/controls.h"

#include <QObject>

#include <functional>
#include <map>

class Form;
class ElidedLabel;
class QAbstractButton;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QWidget;

// Keeps the widgets and the Form in step. A widget shows its control's state
// from the Form and follows every change of it; what the user does to a
// widget goes into the Form, which may change it further (the passcode box
// drops surrounding blanks) and is then shown again.
// A caption as a button shows it: a "&" of its own shown as such, and the
// mnemonic letter (Alt+letter presses the button) underlined where the
// caption has it, else added as "(&R)", as Chinese captions carry it.
QString withMnemonic(const QString& caption, char mnemonic);
// Shows the caption with its mnemonic on the button; a screen reader names
// the button by the caption alone and tells the mnemonic as its shortcut.
void showCaption(QAbstractButton* button, const QString& caption, char mnemonic);

class FormBinding : public QObject {
    Q_OBJECT
public:
    explicit FormBinding(Form& form, QObject* parent = nullptr);

    void bindWindow(Ctl id, QWidget* window);  // the title
    void bindLabel(Ctl id, QLabel* label);
    // A label whose text may change while the window is used (the progress
    // line): it never widens the window and shows a long text shortened.
    void bindElidedLabel(Ctl id, ElidedLabel* label);
    void bindFrame(Ctl id, QGroupBox* frame);
    // A button whose caption gets the keyboard mnemonic letter (none: 0).
    void bindButton(Ctl id, QAbstractButton* button, char mnemonic = 0);
    void bindCheckBox(Ctl id, QCheckBox* box, char mnemonic = 0);
    // Typed and pasted text passes the box's input rule on its way in.
    void bindLineEdit(Ctl id, QLineEdit* edit);
    // The list, the enabled state and typed text; a pick from the list is the
    // window's to handle.
    void bindComboBox(Ctl id, QComboBox* box);
    void bindProgressBar(Ctl id, QProgressBar* bar);
    // A box only the program writes to, such as the status box.
    void bindTextView(Ctl id, QPlainTextEdit* view);
    // The control's warning marks the widget that shows the control (a
    // tinted box, a red label) and is its tooltip. Only colours change, so
    // a warning never moves anything.
    void bindWarning(Ctl id, QWidget* marked);

private:
    void add(Ctl id, std::function<void()> show);
    void onTyped(Ctl id, QLineEdit* edit);

    Form& form_;
    std::map<Ctl, std::function<void()>> shows_;
};
