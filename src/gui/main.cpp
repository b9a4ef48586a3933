#include "app/form.h"
#include "app/language.h"
#include "app/startup.h"
#include "app/texts.h"
#include "gui/programwindow.h"
#include "gui/qtprompter.h"
#include "gui/qttranslations.h"
#include "gui/trafficpanel.h"
#include "gui/unattendedprompter.h"
#include "process/programoutput.h"
#include "process/terminationsignals.h"
#include "serial/portlister.h"
#include "serial/qtclock.h"
#include "serial/serialsettingsstore.h"
#include "serial/traffictap.h"
#include "sim/programports.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>

#include <cstdio>
#include <optional>

namespace {

struct Options {
    QString configDir;
    int lcid = 0;
    QString screenshot;          // a picture of the window after the clicks, then exit
    QStringList clicks;          // the buttons clicked before the picture, by object name
    bool quitWhenShown = false;  // for timing the start-up
};

struct OptionSet {
    explicit OptionSet(Language helpLanguage)
        : configDir(QStringLiteral("config-dir"), text(Msg::ConfigDirOption, helpLanguage),
                    QStringLiteral("dir")),
          language(QStringLiteral("lang"), text(Msg::LanguageOption, helpLanguage),
                   QStringLiteral("en|zh")),
          version(QStringLiteral("version"), QStringLiteral("Displays version information.")),
          screenshot(QStringLiteral("screenshot"), QString(), QStringLiteral("png")),
          click(QStringLiteral("click"), QString(), QStringLiteral("button")),
          quitWhenShown(QStringLiteral("quit-when-shown")) {
        screenshot.setFlags(QCommandLineOption::HiddenFromHelp);
        click.setFlags(QCommandLineOption::HiddenFromHelp);
        quitWhenShown.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addHelpOption();
        parser.addOptions({configDir, language, version, screenshot, click, quitWhenShown});
    }

    QCommandLineParser parser;
    QCommandLineOption configDir;
    QCommandLineOption language;
    QCommandLineOption version;
    QCommandLineOption screenshot;
    QCommandLineOption click;
    QCommandLineOption quitWhenShown;
};

// --help and --version are answered before the window's application starts,
// which needs a display; nothing when neither is asked for.
std::optional<int> helpOrVersion(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    OptionSet options(languageForLcid(systemDefaultLcid()));
    if (!options.parser.parse(QCoreApplication::arguments())) {
        return std::nullopt;  // the window's application tells what is wrong
    }
    if (options.parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(options.parser.helpText()), stdout);
        return 0;
    }
    if (options.parser.isSet(options.version)) {
        std::fprintf(stdout, "kv120-config %s\n", qPrintable(programVersion()));
        return 0;
    }
    return std::nullopt;
}

std::optional<Options> parseOptions(const QApplication& app) {
    const Language helpLanguage = languageForLcid(systemDefaultLcid());
    OptionSet set(helpLanguage);
    QCommandLineParser& parser = set.parser;
    const QCommandLineOption& configDir = set.configDir;
    const QCommandLineOption& language = set.language;
    const QCommandLineOption& screenshot = set.screenshot;
    const QCommandLineOption& click = set.click;
    const QCommandLineOption& quitWhenShown = set.quitWhenShown;
    parser.process(app);

    Options options{parser.value(configDir), systemDefaultLcid(), parser.value(screenshot),
                    parser.values(click), parser.isSet(quitWhenShown)};
    if (options.clicks.isEmpty()) {
        options.clicks.append(nameOf(Ctl::Command0));
    }
    // A forced language counts as the system's, start-up message included.
    const QString asked = parser.value(language);
    if (asked == QLatin1String("en")) {
        options.lcid = kLcidEnglishUs;
    } else if (asked == QLatin1String("zh")) {
        options.lcid = kLcidChinesePrc;
    } else if (!asked.isEmpty()) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(text(Msg::UnknownLanguage, helpLanguage).arg(asked)));
        return std::nullopt;
    }
    return options;
}

// An exchange runs to its end inside its click, so the picture shows its
// outcome.
int saveScreenshot(MainWindow& window, const Form& form, const Options& options) {
    const QString& file = options.screenshot;
    window.show();
    for (const QString& name : options.clicks) {
        auto* button = window.findChild<QPushButton*>(name);
        if (button == nullptr) {
            std::fprintf(stderr, "%s\n",
                         qPrintable(text(Msg::NoSuchButton, form.language()).arg(name)));
            return 2;
        }
        button->click();
    }
    QCoreApplication::processEvents();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "%s\n",
                     qPrintable(text(Msg::ScreenshotNotSaved, form.language()).arg(file)));
        return 1;
    }
    return 0;
}

int run(int argc, char** argv) {
    if (const std::optional<int> answered = helpOrVersion(argc, argv)) {
        return *answered;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kv120-config"));
    const std::optional<Options> options = parseOptions(app);
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
    bool operationStopped = false;
    handOverTerminationSignals([&](int signal) {
        operationStopped = link.isOpen();
        clock.abort();
        link.close();
        QCoreApplication::exit(exitStatusForSignal(signal));
    });
    const SerialSettingsStore store(SerialSettingsStore::defaultPath(options->configDir));
    const SystemPortLister portLister;
    // The folders last used in the file dialogs and the window's choices are
    // kept beside the port.
    const QString choices =
        QFileInfo(store.path()).dir().filePath(QStringLiteral("kv120-choices.ini"));
    QtPrompter windowPrompter(form.text(Ctl::Form1), choices);
    UnattendedPrompter unattended;
    const bool attended = options->screenshot.isEmpty() && !options->quitWhenShown;
    Prompter& prompter = attended ? static_cast<Prompter&>(windowPrompter) : unattended;

    // Before the start-up message, whose OK button is Qt's.
    installQtTranslations(languageForLcid(options->lcid), &app);
    runStartup(form, {options->lcid, store, portLister, prompter});
    ProgramWindow program(form, link, clock, prompter, store, portLister, defaultBackupFolder());
    MainWindow& window = program.window;
    window.rememberChoicesIn(choices);
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
        std::fprintf(stderr, "kv120-config: %s; the window was closed%s\n",
                     qPrintable(signalDescription(signal)),
                     operationStopped ? ", stopping the operation under way" : "");
        return exitStatusForSignal(signal);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    installTerminationSignals("kv120-config", "the window was not opened");
    return statusAfterOutput("kv120-config", run(argc, argv));
}
