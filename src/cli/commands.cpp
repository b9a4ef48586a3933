#include "cli/commands.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/fieldwarnings.h"
#include "app/texts.h"
#include "backup/settingskeeper.h"
#include "cli/clicontext.h"
#include "cli/progressreport.h"
#include "cli/statusecho.h"
#include "protocol/fieldchecks.h"
#include "protocol/readexchange.h"
#include "protocol/restart.h"
#include "protocol/wifiwrite.h"
#include "protocol/writeexchange.h"
#include "serial/clock.h"
#include "serial/portlister.h"
#include "settingsfile/devicecompare.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"
#include "update/updater.h"

#include <optional>
#include <vector>

namespace {

// The outcome of an exchange, as the window's status box states it.
int statusEndsWith(CliContext& context, Msg success) {
    if (context.interrupted) {
        return kInterrupted;
    }
    return context.lastStatusLine() == context.session.tr(success) ? kSucceeded : kFailed;
}

// Tells the field warnings; false when they refuse the write. A write the
// field checks refuse is left to the exchange, which tells why.
bool warningsAllowWrite(CliContext& context) {
    if (writeRefusal(context.form)) {
        return true;
    }
    const QString passcode = passcodeWarning(context.form);
    if (!passcode.isEmpty()) {
        context.err << passcode << Qt::endl;  // told, never refusing
    }
    const std::vector<FieldWarning> warnings = writeWarnings(context.form);
    for (const FieldWarning& warning : warnings) {
        context.err << warning.text << Qt::endl;
    }
    if (warnings.empty() || !context.strict) {
        return true;
    }
    context.err << context.session.tr(Msg::WriteRefusedStrict) << Qt::endl;
    return false;
}

// Loads the settings file into the window; false, after telling why, when it
// could not be read or is no settings file.
bool loadFile(CliContext& context, const QString& file) {
    const FileContents contents = readSettingsFile(file, context.form.language());
    if (!contents.failure.isEmpty()) {
        context.err << text(Msg::FileNotLoaded, context.form.language()).arg(file, contents.failure)
                    << Qt::endl;
        return false;
    }
    if (const auto refusal = settingsFileRefusal(file, contents.bytes, context.form.language())) {
        context.err << *refusal << Qt::endl;
        return false;
    }
    loadSettingsLines(context.session, contents.bytes);
    return true;
}

// Reads the device and compares it with the window; nothing when the read
// did not finish (told on err).
std::optional<std::vector<SettingDifference>> differencesFromDevice(CliContext& context) {
    const std::optional<DeviceComparison> comparison = compareWithDevice(context.session);
    if (!comparison) {
        if (!context.interrupted) {
            context.err << context.session.tr(Msg::VerifyNoRead) << Qt::endl;
        }
        return std::nullopt;
    }
    return comparison->differences;
}

// Reads back what was written and lists every setting that differs.
int verifyWrite(CliContext& context) {
    context.err << context.session.tr(Msg::VerifyReading) << Qt::endl;
    const auto differences = differencesFromDevice(context);
    if (!differences) {
        return context.interrupted ? kInterrupted : kFailed;
    }
    for (const SettingDifference& difference : *differences) {
        context.err << context.session.tr(Msg::VerifyDifference)
                           .arg(difference.name, difference.expected, difference.actual)
                    << Qt::endl;
    }
    if (!differences->empty()) {
        context.err << context.session.tr(Msg::VerifyFailed).arg(differences->size()) << Qt::endl;
        return kFailed;
    }
    context.err << context.session.tr(Msg::VerifyMatch) << Qt::endl;
    return kSucceeded;
}

// Runs the update to its end and writes the kept settings back.
int runUpdate(CliContext& context, Updater& updater, SettingsKeeper& keeper,
              ProgressReport& progress) {
    updater.updateStart();
    while (!context.interrupted && updater.isBusy()) {
        context.clock.delay(100);
    }
    if (context.interrupted) {
        return kInterrupted;
    }
    // The completion line replaces the progress line under the bar.
    const QString outcome = context.form.text(Ctl::Label2);
    if (!outcome.startsWith(context.session.tr(Msg::UpdateComplete))) {
        progress.finish();
        return kFailed;
    }
    progress.complete();
    context.err << outcome << Qt::endl;
    // Asked for on the command line already: no question.
    if (context.keepSettings && !keeper.pendingBackup().isEmpty() && !keeper.restore()) {
        return context.interrupted ? kInterrupted : kFailed;
    }
    return kSucceeded;
}

// One line: the device's state, where its settings are and the command that
// finishes the job. A device the update had not touched yet needs none.
void tellInterruptedUpdate(CliContext& context, Updater::DeviceLeft left, const QString& backup,
                           const QString& image) {
    const Session& session = context.session;
    const QString port = context.form.text(Ctl::Combo1);
    QString line;
    QString finish = QStringLiteral("kv120ctl --port %1 update %2").arg(port, image);
    switch (left) {
        case Updater::DeviceLeft::Untouched:
            return;
        case Updater::DeviceLeft::InLoader:
            line = session.tr(Msg::InterruptedInLoader);
            break;
        case Updater::DeviceLeft::OnFactorySettings:
            line = session.tr(Msg::InterruptedOnFactorySettings);
            break;
        case Updater::DeviceLeft::Updated:
            line = session.tr(Msg::InterruptedAfterCompletion);
            if (!backup.isEmpty()) {
                finish = QStringLiteral("kv120ctl --port %1 write %2").arg(port, backup);
            }
            break;
    }
    if (!backup.isEmpty()) {
        line += u' ' + session.tr(Msg::SettingsStillKept).arg(backup);
    }
    context.err << line << u' ' << session.tr(Msg::FinishWith).arg(finish) << Qt::endl;
}

}  // namespace

int listPorts(CliContext& context, const PortLister& ports) {
    QByteArray list;
    for (const PortInfo& port : offeredPorts(ports)) {
        list += (port.name + u'\t' + port.description + u'\n').toUtf8();
    }
    return context.writeData({}, list) ? kSucceeded : kFailed;
}

int writeDefaults(CliContext& context, const QString& file) {
    fillDefaults(context.form);
    return context.writeData(file, settingsFileBytes(context.form)) ? kSucceeded : kFailed;
}

int readSettings(CliContext& context, const QString& file) {
    context.deviceWorkStarts();
    StatusEcho echo(context.form, context.err, context.prompter);
    const auto toldBefore = context.prompter.messagesShown();
    readExchange(context.session);
    const int status = statusEndsWith(context, Msg::ReadOk);
    const QString version = context.form.text(DeviceSettings::firmwareVersion);
    if (!version.isEmpty()) {
        context.err << "VER:" << version << Qt::endl;
    }
    // The window says nothing when the device falls silent; a command says why it failed.
    if (status == kFailed && context.prompter.messagesShown() == toldBefore) {
        context.err << context.session.tr(context.session.flags().connectSeen ? Msg::ReadNoReadEnd
                                                                              : Msg::ReadNoAnswer)
                    << Qt::endl;
    }
    if (status != kSucceeded) {
        return status;
    }
    if (!context.writeData(file, settingsFileBytes(context.form))) {
        return kFailed;
    }
    // Told, not failed: the settings are saved as nearly as a file can hold them.
    for (const QString& inexact : fieldsNotHeldExactly(context.form)) {
        context.err << inexact << Qt::endl;
    }
    return kSucceeded;
}

int writeSettings(CliContext& context, const QString& file) {
    if (!loadFile(context, file) || !warningsAllowWrite(context)) {
        return kFailed;
    }
    context.deviceWorkStarts();
    StatusEcho echo(context.form, context.err, context.prompter);
    writeExchange(context.session);
    const int status = statusEndsWith(context, Msg::WriteComplete);
    if (status != kSucceeded || !context.verify) {
        return status;
    }
    return verifyWrite(context);
}

int diffSettings(CliContext& context, const QString& file) {
    if (!loadFile(context, file)) {
        return kFailed;
    }
    StatusEcho echo(context.form, context.err, context.prompter);
    const auto differences = differencesFromDevice(context);
    if (!differences) {
        return context.interrupted ? kInterrupted : kFailed;
    }
    QByteArray listing;
    for (const SettingDifference& difference : *differences) {
        listing += (context.session.tr(Msg::DiffDifference)
                        .arg(difference.name, difference.expected, difference.actual) +
                    u'\n')
                       .toUtf8();
    }
    if (!context.writeData({}, listing)) {
        return kFailed;
    }
    return differences->empty() ? kSucceeded : kFailed;
}

int writeWifi(CliContext& context, const QString& ssid, const QString& password) {
    context.form.setText(DeviceSettings::wifiSsid, ssid);
    context.form.setText(DeviceSettings::wifiPassword, password);
    context.deviceWorkStarts();
    StatusEcho echo(context.form, context.err, context.prompter);
    wifiWrite(context.session);
    if (context.interrupted) {
        return kInterrupted;
    }
    const QString status = context.form.text(Ctl::Text29);
    return status.contains(context.session.tr(Msg::WifiWriteComplete)) ? kSucceeded : kFailed;
}

int restart(CliContext& context) {
    context.deviceWorkStarts();
    const auto toldBefore = context.prompter.messagesShown();
    restartDevice(context.session);
    if (context.interrupted) {
        return kInterrupted;
    }
    return context.prompter.messagesShown() == toldBefore ? kSucceeded : kFailed;
}

int updateFirmware(CliContext& context, const QString& image) {
    Updater updater(context.session);
    context.prompter.setFile(image);
    if (!updater.imageOpen()) {
        return kFailed;  // the reason has been shown
    }
    context.deviceWorkStarts();
    // A status line never shares the bar's line.
    ProgressReport progress(context.form, context.clock, context.err, context.errIsTerminal);
    StatusEcho echo(context.form, context.err, context.prompter,
                    [&progress] { progress.finish(); });
    SettingsKeeper keeper(context.session, updater, context.backupFolder);
    if (context.keepSettings) {
        keeper.keepSettingsAcrossUpdates();
    }
    int status = kInterrupted;
    try {
        status = runUpdate(context, updater, keeper, progress);
    } catch (const ExchangeAborted&) {
        // Interrupted, or the port lost, while waiting: told below.
    }
    if (status != kInterrupted) {
        return status;
    }
    progress.finish();
    tellInterruptedUpdate(context, updater.deviceLeft(), keeper.pendingBackup(), image);
    return context.portLost ? kFailed : kInterrupted;
}
