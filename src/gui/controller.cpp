#include "gui/controller.h"

#include "app/defaults.h"
#include "gui/mainwindow.h"
#include "serial/clock.h"
#include "serial/seriallink.h"

Controller::Controller(Form& form, Clock& clock, SerialLink& link, MainWindow& window)
    : form_(form), clock_(clock), link_(link) {
    connect(&window, &MainWindow::buttonClicked, this, &Controller::onButton);
    connect(&window, &MainWindow::closing, this, &Controller::onClosing);
}

void Controller::onButton(Ctl id) {
    if (id == Ctl::Command0) {
        fillDefaults(form_);
    }
}

void Controller::onClosing() {
    // An exchange waiting on the clock ends at once, before the window it
    // acts on goes away; the port is closed with every queued byte sent.
    clock_.abort();
    link_.close();
}
