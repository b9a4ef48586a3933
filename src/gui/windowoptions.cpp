#include "gui/windowoptions.h"

#include "app/form.h"
#include "app/language.h"
#include "app/texts.h"
#include "gui/mainwindow.h"
#include "gui/qttranslations.h"
#include "process/programoutput.h"
#include "serial/serialsettingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPushButton>

#include <cstdio>

namespace {

struct OptionSet {
    explicit OptionSet(Language helpLanguage)
        : configDir(QStringLiteral("config-dir"), text(Msg::ConfigDirOption, helpLanguage),
                    QStringLiteral("dir")),
          language(QStringLiteral("lang"), text(Msg::LanguageOption, helpLanguage),
                   QStringLiteral("en|zh")),
          version(QStringLiteral("version"), text(Msg::VersionOption, helpLanguage)),
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

}  // namespace

std::optional<int> helpOrVersion(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Language language = languageForLcid(systemDefaultLcid());
    // Qt's own lines of the help ("Usage:", -h) in the same language.
    installQtTranslations(language, &app);
    OptionSet options(language);
    if (!options.parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "kv120-config: %s\n", qPrintable(options.parser.errorText()));
        return 2;  // a usage error, as the other programs say it
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

std::optional<WindowOptions> parseWindowOptions(const QApplication& app) {
    const Language helpLanguage = languageForLcid(systemDefaultLcid());
    OptionSet set(helpLanguage);
    QCommandLineParser& parser = set.parser;
    const QCommandLineOption& configDir = set.configDir;
    const QCommandLineOption& language = set.language;
    const QCommandLineOption& screenshot = set.screenshot;
    const QCommandLineOption& click = set.click;
    const QCommandLineOption& quitWhenShown = set.quitWhenShown;
    parser.process(app);  // the options were parsed before, without a window

    WindowOptions options{parser.value(configDir), systemDefaultLcid(), parser.value(screenshot),
                          parser.values(click), parser.isSet(quitWhenShown)};
    if (options.clicks.isEmpty()) {
        options.clicks.append(nameOf(Ctl::Command0));
    }
    if (!options.configDir.isEmpty()) {
        if (const QString failure = SerialSettingsStore::makeFolder(options.configDir);
            !failure.isEmpty()) {
            std::fprintf(stderr, "kv120-config: --config-dir %s: %s\n",
                         qPrintable(options.configDir), qPrintable(failure));
            return std::nullopt;
        }
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

int saveScreenshot(MainWindow& window, const Form& form, const WindowOptions& options) {
    const QString& file = options.screenshot;
    window.show();
    // An exchange runs to its end inside its click, so the picture shows its
    // outcome.
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
