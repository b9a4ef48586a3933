#include "app/form.h"
#include "app/language.h"
#include "app/rememberedport.h"
#include "app/startup.h"
#include "app/texts.h"
#include "gui/programwindow.h"
#include "gui/qtprompter.h"
#include "gui/qttranslations.h"
#include "gui/trafficpanel.h"
#include "gui/unattendedprompter.h"
#include "gui/windowoptions.h"
#include "process/processstart.h"
#include "process/programoutput.h"
#include "process/terminationsignals.h"
#include "serial/portlister.h"
#include "serial/qtclock.h"
#include "serial/serialsettingsstore.h"
#include "serial/traffictap.h"
#include "sim/programports.h"

#include <QApplication>

#include <optional>

namespace {

int run(int argc, char** argv) {
    if (const std::optional<int> answered = helpOrVersion(argc, argv)) {
        return *answered;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv120-config"));
    const std::optional<WindowOptions> options = parseWindowOptions(app);
    if (!options) {
        return 2;
    }

    Form form;
    QtClock clock;
    ProgramPorts ports(clock);
    // The traffic view records through the tap from start-up on.
    TrafficTap link(ports.link);
    // From here on a signal ends every event loop running, a message box's
    // included, as closing the window does, without the question a transfer
    // asks: the waiting exchange ends and the port closes with every byte sent.
    handOverTerminationSignals(
        [&](int signal) {
            if (link.isOpen()) {
                setTerminationUndone(
                    QStringLiteral("the window was closed, stopping the operation under way"));
            }
            clock.abort();
            link.close();
            QCoreApplication::exit(exitStatusForSignal(signal));
        },
        QStringLiteral("the window was closed"));
    const SerialSettingsStore store(SerialSettingsStore::defaultPath(options->configDir));
    const SystemPortLister portLister;
    // The folders last used in the file dialogs and the window's choices are
    // kept beside the port.
    const QString choices = choicesFileBeside(store);
    QtPrompter windowPrompter(form.text(Ctl::Form1), choices);
    UnattendedPrompter unattended;
    const bool attended = options->screenshot.isEmpty() && !options->quitWhenShown;
    Prompter& prompter = attended ? static_cast<Prompter&>(windowPrompter) : unattended;

    // Before the start-up message, whose OK button is Qt's.
    installQtTranslations(languageForLcid(options->lcid), &app);
    runStartup(form, {options->lcid, store, portLister, prompter, readRememberedAdapter(choices)});
    ProgramWindow program(form, link, clock, prompter, store, portLister, defaultBackupFolder());
    MainWindow& window = program.window;
    program.rememberChoicesIn(choices);
    windowPrompter.setParentWidget(&window);
    TrafficPanel traffic(link, prompter, form.language(), &QDateTime::currentMSecsSinceEpoch,
                         &window);
    QObject::connect(&window, &MainWindow::trafficClicked, &traffic, [&traffic] {
        traffic.show();
        traffic.raise();
        traffic.activateWindow();
    });

    int status = 0;
    if (!options->screenshot.isEmpty()) {
        status = saveScreenshot(window, form, *options);
    } else if (options->quitWhenShown) {
        // The window is shown once the events of its first appearance have run.
        window.show();
        QCoreApplication::processEvents();
    } else if (terminationSignal() == 0) {
        window.show();
        status = app.exec();
    }
    if (const int signal = terminationSignal(); signal != 0) {
        tellTermination();
        return exitStatusForSignal(signal);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    holdClosedStandardDescriptors();
    if (refusesUndecodableArgument("kv120-config", argc, argv)) {
        return 2;
    }
    installTerminationSignals("kv120-config", "the window was not opened");
    return statusAfterOutput("kv120-config", run(argc, argv));
}
