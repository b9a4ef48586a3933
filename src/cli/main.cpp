// kv120ctl: the window's operations from the command line, on the same code.
#include "app/rememberedport.h"
#include "backup/settingskeeper.h"
#include "cli/clicontext.h"
#include "cli/commands.h"
#include "cli/portsearch.h"
#include "process/processstart.h"
#include "process/programoutput.h"
#include "process/terminationsignals.h"
#include "serial/portlister.h"
#include "serial/qtclock.h"
#include "serial/serialsettingsstore.h"
#include "sim/programports.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

struct Command {
    QString arguments;  // as shown in the usage
    QString summary;
    int minArguments;
    int maxArguments;
    // What an interruption leaves undone once the command talks to the
    // device; nothing for a command that does not.
    std::optional<Msg> undone;
    std::function<int(CliContext&, const QStringList&)> run;
    bool needsPort = true;
};

QString argumentOr(const QStringList& arguments, int index) {
    return arguments.size() > index ? arguments[index] : QString();
}

const std::map<QString, Command>& commands() {
    static const std::map<QString, Command> table{
        {"ports",
         {"",
          "list the ports that can be opened (name, description and the adapter's identity, "
          "tab-separated); SIM last. With --probe, each USB serial port is asked whether it is a "
          "KV120, and those that answer are marked KV120 in a fourth column",
          0, 0, Msg::UndoneNotProbed,
          [](CliContext& c, const QStringList&) {
              return listPorts(c, SystemPortLister(), c.probe);
          },
          false}},
        {"read",
         {"[FILE]", "read the device's settings, as a settings file, to FILE or standard output", 0,
          1, Msg::UndoneNotRead,
          [](CliContext& c, const QStringList& a) { return readSettings(c, argumentOr(a, 0)); }}},
        {"write",
         {"FILE",
          "load the settings file FILE and write it to the device; field warnings go to standard "
          "error",
          1, 1, Msg::UndoneWrite,
          [](CliContext& c, const QStringList& a) { return writeSettings(c, a[0]); }}},
        {"diff",
         {"FILE",
          "read the device and list every setting that differs from the settings file FILE; exit "
          "status 0 when none does",
          1, 1, Msg::UndoneNotCompared,
          [](CliContext& c, const QStringList& a) { return diffSettings(c, a[0]); }}},
        {"defaults",
         {"[FILE]", "the settings file of the default settings, to FILE or standard output", 0, 1,
          std::nullopt,
          [](CliContext& c, const QStringList& a) { return writeDefaults(c, argumentOr(a, 0)); },
          false}},
        {"wifi",
         {"SSID PASSWORD", "write the WiFi name and password, then restart the device", 2, 2,
          Msg::UndoneWifi,
          [](CliContext& c, const QStringList& a) { return writeWifi(c, a[0], a[1]); }}},
        {"restart",
         {"", "restart the device", 0, 0, Msg::UndoneRestart,
          [](CliContext& c, const QStringList&) { return restart(c); }}},
        {"update",
         {"IMAGE",
          "update the device's firmware with the raw image file IMAGE, keeping its settings", 1, 1,
          Msg::UndoneUpdate,
          [](CliContext& c, const QStringList& a) { return updateFirmware(c, a[0]); }}},
        {"kept",
         {"",
          "list the settings kept across firmware updates that still wait to be written back "
          "(file, port, callsign, time, port identity, tab-separated)",
          0, 0, std::nullopt, [](CliContext& c, const QStringList&) { return listKept(c); },
          false}},
    };
    return table;
}

QString usage() {
    QString text = QStringLiteral(
        "Usage: kv120ctl [--port NAME|auto] [--lang en|zh] [--config-dir DIR] [--yes] [--strict] "
        "[--verify] [--probe] COMMAND [ARGS]\n\n"
        "Commands:\n");
    for (const auto& [name, command] : commands()) {
        text += QStringLiteral("  %1 %2\n      %3\n").arg(name, command.arguments, command.summary);
    }
    text += QStringLiteral(
        "\nOptions:\n"
        "  --port NAME        the port: COM3, /dev/ttyUSB0, ... or SIM, the simulated device\n"
        "                     (default: the port the window remembers, wherever its adapter\n"
        "                     is plugged in now)\n"
        "  --port auto        the one USB serial port plugged in (exit status 2, listing\n"
        "                     them, when there is none or several)\n"
        "  --lang en|zh       the language of the messages (default: the system's)\n"
        "  --config-dir DIR   where the remembered port is kept (RUVAdev.ini)\n"
        "  --yes              answer yes where the window would ask\n"
        "  --keep-settings    update: read the settings first, keep them in a backup file\n"
        "                     and write them back after the update (the default)\n"
        "  --no-keep-settings update: leave the device with its factory settings\n"
        "  --strict           write: refuse (exit status 1) when a field warns\n"
        "  --verify           write: read the settings back and compare them with what was\n"
        "                     written (exit status 1 when any differs)\n"
        "  --probe            ports: send the set-up request (SETUP#) to each USB serial port\n"
        "                     and mark those that answer as a KV120. It sends bytes to every\n"
        "                     such port, whatever device is on it: use it only where that is\n"
        "                     harmless\n"
        "  -h, --help         this text; COMMAND --help for one command\n\n"
        "  --version          the program's version\n\n"
        "Exit status: 0 done, 1 the device, the port or the output failed, 2 usage error,\n"
        "128 + the signal's number when ended by a signal: 130 Ctrl-C (SIGINT), 143 SIGTERM,\n"
        "129 SIGHUP.\n");
    return text;
}

// The port a command talks to: the one named, the one adapter plugged in for
// "auto", else the port the window remembers, where its adapter is now.
// Empty, after saying why, when there is none.
QString portToUse(CliContext& context, const QString& named, const SerialSettingsStore& store,
                  const PortLister& ports) {
    if (named == u"auto") {
        return onlyAdapterPort(context, ports);
    }
    const QString port =
        !named.isEmpty()
            ? named
            : portOfAdapter(store.portName(), readRememberedAdapter(choicesFileBeside(store)),
                            ports.presentPorts());
    if (port.isEmpty()) {
        context.err << "kv120ctl: no port given: name it with --port NAME or --port auto "
                       "(kv120ctl ports lists them)"
                    << Qt::endl;
    }
    return port;
}

// Through stdio, whose error flag keeps a failed write for the check at exit.
void printOut(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

int run(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kv120ctl"));
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption portOption(QStringLiteral("port"), {}, QStringLiteral("NAME"));
    const QCommandLineOption langOption(QStringLiteral("lang"), {}, QStringLiteral("LANG"));
    const QCommandLineOption configOption(QStringLiteral("config-dir"), {}, QStringLiteral("DIR"));
    const QCommandLineOption yesOption(QStringLiteral("yes"));
    const QCommandLineOption keepOption(QStringLiteral("keep-settings"));
    const QCommandLineOption noKeepOption(QStringLiteral("no-keep-settings"));
    const QCommandLineOption strictOption(QStringLiteral("strict"));
    const QCommandLineOption verifyOption(QStringLiteral("verify"));
    const QCommandLineOption probeOption(QStringLiteral("probe"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringLiteral("version"));
    parser.addOptions({portOption, langOption, configOption, yesOption, keepOption, noKeepOption,
                       strictOption, verifyOption, probeOption, helpOption, versionOption});
    if (!parser.parse(app.arguments())) {
        err << parser.errorText() << "\n\n" << usage();
        return kUsage;
    }
    if (parser.isSet(versionOption)) {
        printOut(QStringLiteral("kv120ctl ") + programVersion() + u'\n');
        return kSucceeded;
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (parser.isSet(helpOption)) {
            printOut(usage());
            return kSucceeded;
        }
        err << usage();
        return kUsage;
    }
    const QString name = positional.takeFirst();
    const auto found = commands().find(name);
    if (found == commands().end()) {
        err << "kv120ctl: no command " << name << "\n\n" << usage();
        return kUsage;
    }
    const Command& command = found->second;
    if (parser.isSet(helpOption)) {
        printOut(QStringLiteral("Usage: kv120ctl [options] %1 %2\n  %3\n")
                     .arg(name, command.arguments, command.summary));
        return kSucceeded;
    }
    if (positional.size() < command.minArguments || positional.size() > command.maxArguments) {
        err << "Usage: kv120ctl [options] " << name << ' ' << command.arguments << '\n';
        return kUsage;
    }
    const QString lang = parser.value(langOption);
    if (!lang.isEmpty() && lang != u"en" && lang != u"zh") {
        err << "kv120ctl: --lang takes en or zh\n";
        return kUsage;
    }
    const Language language = lang == u"zh"   ? Language::Chinese
                              : lang == u"en" ? Language::English
                                              : languageForLcid(systemDefaultLcid());

    if (parser.isSet(keepOption) && parser.isSet(noKeepOption)) {
        err << "kv120ctl: --keep-settings and --no-keep-settings exclude each other\n";
        return kUsage;
    }

    if (const QString dir = parser.value(configOption); !dir.isEmpty()) {
        if (const QString failure = SerialSettingsStore::makeFolder(dir); !failure.isEmpty()) {
            err << "kv120ctl: --config-dir " << dir << ": " << failure << Qt::endl;
            return kUsage;
        }
    }

    QtClock clock;
    ProgramPorts ports(clock);
    const SerialSettingsStore store(SerialSettingsStore::defaultPath(parser.value(configOption)));
    QFile out;
    QFile errFile;
    // The data goes straight to the descriptor, so a failed write (a full
    // disk, a closed pipe) is known at once, with its reason.
    out.open(fileno(stdout), QIODevice::WriteOnly | QIODevice::Unbuffered);
    errFile.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
    CliContext context(clock, ports.link, store, language, out, errFile);
    context.keepSettings = !parser.isSet(noKeepOption);
    context.backupFolder = defaultBackupFolder();
    context.prompter.setAnswer(parser.isSet(yesOption));
    context.strict = parser.isSet(strictOption);
    context.verify = parser.isSet(verifyOption);
    context.probe = parser.isSet(probeOption);
    context.errIsTerminal = isatty(fileno(stderr)) != 0;
    const SystemPortLister portLister;
    const QString choices = choicesFileBeside(store);
    QString port;
    if (command.needsPort) {
        port = portToUse(context, parser.isSet(portOption) ? parser.value(portOption) : QString(),
                         store, portLister);
        if (port.isEmpty()) {
            return kUsage;  // told why
        }
    }
    // As the window does: the adapter is kept beside the port a read stores.
    context.session.setAfterPortStored(
        [&](const QString& stored) { rememberAdapter(choices, stored, portLister); });
    context.form.setText(Ctl::Combo1, port);
    context.beforeTheDevice = [&context, &command, language] {
        handOverTerminationSignals([&context](int) { context.interrupt(); },
                                   command.undone ? text(*command.undone, language) : QString());
    };
    const int status = context.run([&](CliContext& c) { return command.run(c, positional); });
    if (const int signal = terminationSignal(); signal != 0) {
        tellTermination();
        return exitStatusForSignal(signal);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    holdClosedStandardDescriptors();
    if (refusesUndecodableArgument("kv120ctl", argc, argv)) {
        return kUsage;
    }
    installTerminationSignals("kv120ctl", "nothing was sent to the device");
    return statusAfterOutput("kv120ctl", run(argc, argv));
}
