#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Form;
class MainWindow;
class QApplication;

// The window's command line. The picture options serve the tools that draw
// the documentation's pictures and time the start-up; --help does not list
// them.
struct WindowOptions {
    QString configDir;
    int lcid = 0;
    QString screenshot;          // a picture of the window after the clicks, then exit
    QStringList clicks;          // the buttons clicked before the picture, by object name
    bool quitWhenShown = false;  // for timing the start-up
};

// --help, --version and options the window does not know (exit status 2)
// are answered before the window's application starts, which needs a
// display; nothing when the window is to start.
std::optional<int> helpOrVersion(int argc, char** argv);

// The options, or nothing when they are wrong (said on standard error). The
// --config-dir folder is made when it does not exist.
std::optional<WindowOptions> parseWindowOptions(const QApplication& app);

// Clicks the buttons, then saves a picture of the window; the exit status.
int saveScreenshot(MainWindow& window, const Form& form, const WindowOptions& options);
