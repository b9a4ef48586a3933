#include "sim/simoptions.h"

#include "process/programoutput.h"

#include <QCommandLineParser>

#include <functional>
#include <limits>

namespace {

struct Switch {
    const char* name;
    const char* description;
    bool SimKnobs::*knob;
};

constexpr Switch kSwitches[] = {
    {"silent", "Answer nothing at all.", &SimKnobs::silent},
    {"no-connect", "Never answer SETUP# with CONNECT.", &SimKnobs::noConnect},
    {"no-read-end", "Send the setting lines but never READ END.", &SimKnobs::noReadEnd},
    {"no-freq-save", "Never confirm a write with freq save.", &SimKnobs::noFreqSave},
    {"no-wifi-ack", "Never answer WIFI Write success.", &SimKnobs::noWifiAck},
    {"no-eeram-reset", "Never answer eeram reset.", &SimKnobs::noEeramReset},
    {"image-not-taken",
     "After the last block the image does not take: the loader listens for a probe again.",
     &SimKnobs::imageNotTaken},
};

struct Number {
    const char* name;
    const char* valueName;
    const char* description;
    std::function<void(SimKnobs&, qint64)> set;
};

const Number kNumbers[] = {
    {"answer-delay", "ms", "Time from a command to its answer (20).",
     [](SimKnobs& k, qint64 v) { k.answerDelayMs = static_cast<int>(v); }},
    {"line-rate", "bytes/s", "Line rate in both directions; 0: no limit (11520, 115200 baud).",
     [](SimKnobs& k, qint64 v) { k.bytesPerSecond = static_cast<int>(v); }},
    {"disconnect-after", "bytes", "Go away after receiving this many bytes.",
     [](SimKnobs& k, qint64 v) { k.disconnectAfterBytes = v; }},
    {"loader-listen", "ms", "How long the loader listens for the probe after REBOOT# (3000).",
     [](SimKnobs& k, qint64 v) { k.loaderListenMs = static_cast<int>(v); }},
    {"loader-idle", "ms", "Give up a transfer the host leaves this long; 0: never (3000).",
     [](SimKnobs& k, qint64 v) { k.loaderIdleMs = static_cast<int>(v); }},
    {"answer-probe-from", "n", "Answer the n-th probe and later ones; 0: never (1).",
     [](SimKnobs& k, qint64 v) { k.answerProbeFrom = static_cast<int>(v); }},
    {"ask-again-every", "n", "Ask with 0x55 instead of 0xC5 every n-th block request.",
     [](SimKnobs& k, qint64 v) { k.askAgainEvery = static_cast<int>(v); }},
    {"stall-after-block", "n", "Stop asking for blocks once n are stored.",
     [](SimKnobs& k, qint64 v) { k.stallAfterBlock = static_cast<int>(v); }},
    {"corrupt-block", "n", "Take block n's checksum as wrong, once.",
     [](SimKnobs& k, qint64 v) { k.corruptChecksumOfBlock = static_cast<int>(v); }},
    {"ready-after-block", "n",
     "Once n blocks are stored, answer E5 instead of asking for a block, every second.",
     [](SimKnobs& k, qint64 v) { k.readyAfterBlock = static_cast<int>(v); }},
    {"repeat-after-block", "n", "Once n blocks are stored, ask only with 0x55.",
     [](SimKnobs& k, qint64 v) { k.repeatAfterBlock = static_cast<int>(v); }},
    {"setting-lines", "n", "Answer AT+READ# with only the first n setting lines.",
     [](SimKnobs& k, qint64 v) { k.settingLines = static_cast<int>(v); }},
    {"chatter-every", "ms", "Send the --chatter line unasked this often (1000).",
     [](SimKnobs& k, qint64 v) { k.chatterEveryMs = static_cast<int>(v); }},
};

const QString kDescription = QStringLiteral(
    "Serves a simulated KV120 on a pseudo-terminal and prints the terminal's path.\n"
    "Open that path (or the --link) as the serial port. Runs until interrupted.");

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kDescription);
    parser.addHelpOption();
    parser.addOption({"version", "Print the program's version."});
    parser.addOption({"link", "Make a symbolic link to the terminal at <path>.", "path"});
    parser.addOption({"state", "Keep the settings and the flash in <file> across runs.", "file"});
    parser.addOption({"in-loader",
                      "Start in the loader, as a device whose update did not finish: it answers "
                      "only the loader until an image is flashed."});
    for (const Switch& s : kSwitches) {
        parser.addOption({s.name, s.description});
    }
    parser.addOption(
        {"garbage", "Send these bytes, in hexadecimal, before every answer line.", "hex"});
    parser.addOption({"chatter",
                      "The running firmware sends this line (UTF-8) unasked, every "
                      "--chatter-every ms.",
                      "text"});
    parser.addOption({"ignore-command",
                      "Take the setting command AT+<keyword>,...# in, but neither store nor "
                      "answer it (COMMENT, FREQ, ...).",
                      "keyword"});
    for (const Number& n : kNumbers) {
        parser.addOption({n.name, n.description, n.valueName});
    }
}

// Fills the knobs from the parsed options; an error text, or empty.
QString readKnobs(const QCommandLineParser& parser, SimKnobs& knobs) {
    for (const Switch& s : kSwitches) {
        knobs.*s.knob = parser.isSet(s.name);
    }
    if (parser.isSet("garbage")) {
        const QByteArray hex = parser.value("garbage").toLatin1();
        knobs.garbage = QByteArray::fromHex(hex);
        if (hex.size() % 2 != 0 || knobs.garbage.toHex() != hex.toLower()) {
            return QStringLiteral("--garbage takes hexadecimal bytes, such as 00FF0D0A");
        }
    }
    knobs.ignoreCommand = parser.value("ignore-command").toLatin1();
    if (parser.isSet("chatter")) {
        knobs.chatterLine = parser.value("chatter").toUtf8();
        knobs.chatterEveryMs = 1000;
    }
    for (const Number& n : kNumbers) {
        if (!parser.isSet(n.name)) {
            continue;
        }
        bool ok = false;
        const qint64 value = parser.value(n.name).toLongLong(&ok);
        if (!ok || value < 0 || value > std::numeric_limits<int>::max()) {
            return QStringLiteral("--%1 takes a whole number from 0").arg(QLatin1String(n.name));
        }
        n.set(knobs, value);
    }
    return {};
}

}  // namespace

SimCommandLine parseSimCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    addOptions(parser);
    SimCommandLine line;
    line.options.knobs.bytesPerSecond = kLineRate115200;
    if (!parser.parse(arguments)) {
        return {line.options, false, true, parser.errorText()};
    }
    if (parser.isSet("help")) {
        return {line.options, false, false, parser.helpText()};
    }
    if (parser.isSet("version")) {
        return {line.options, false, false, QStringLiteral("kv120-sim ") + programVersion()};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return {line.options, false, true,
                QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments()[0])};
    }
    const QString error = readKnobs(parser, line.options.knobs);
    if (!error.isEmpty()) {
        return {line.options, false, true, error};
    }
    line.options.linkPath = parser.value("link");
    line.options.statePath = parser.value("state");
    line.options.inLoader = parser.isSet("in-loader");
    return line;
}
