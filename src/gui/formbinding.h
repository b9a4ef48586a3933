#pragma once

#include "app/controls.h"

#include <QObject>

#include <functional>
#include <map>

class Form;
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
class FormBinding : public QObject {
    Q_OBJECT
public:
    explicit FormBinding(Form& form, QObject* parent = nullptr);

    void bindWindow(Ctl id, QWidget* window);  // the title
    void bindLabel(Ctl id, QLabel* label);
    void bindFrame(Ctl id, QGroupBox* frame);
    void bindButton(Ctl id, QAbstractButton* button);
    void bindCheckBox(Ctl id, QCheckBox* box);
    // Typed and pasted text passes the box's input rule on its way in.
    void bindLineEdit(Ctl id, QLineEdit* edit);
    // The list, the enabled state and typed text; a pick from the list is the
    // window's to handle.
    void bindComboBox(Ctl id, QComboBox* box);
    void bindProgressBar(Ctl id, QProgressBar* bar);
    // A box only the program writes to, such as the status box.
    void bindTextView(Ctl id, QPlainTextEdit* view);
    // The control's warning; the label is hidden while there is none.
    void bindWarning(Ctl id, QLabel* label);

private:
    void add(Ctl id, std::function<void()> show);
    void onTyped(Ctl id, QLineEdit* edit);

    Form& form_;
    std::map<Ctl, std::function<void()>> shows_;
};
