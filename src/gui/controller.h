#pragma once

#include "app/controls.h"

#include <QObject>

class Clock;
class Form;
class MainWindow;
class SerialLink;

// What the window's buttons do, and what happens when it closes.
class Controller : public QObject {
    Q_OBJECT
public:
    Controller(Form& form, Clock& clock, SerialLink& link, MainWindow& window);

private:
    void onButton(Ctl id);
    void onClosing();

    Form& form_;
    Clock& clock_;
    SerialLink& link_;
};
