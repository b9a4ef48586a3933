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
    if (!holdsSettingLine(contents.bytes)) {
        context.err << context.session.tr(Msg::NotASettingsFile).arg(file) << Qt::endl;
        return false;
    }
    loadSettingsLines(context.session, contents.bytes);
    return true;
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
    for (const PortInfo& port : offeredPorts(ports, context.session.tr(Msg::SimulatedDeviceNote))) {
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
    readExchange(context.session);
    const int status = statusEndsWith(context, Msg::ReadOk);
    if (status != kSucceeded) {
        return status;  // the read has said why, last
    }
    context.err << "VER:" << context.form.text(DeviceSettings::firmwareVersion) << Qt::endl;
    return context.writeData(file, settingsFileBytes(context.form)) ? kSucceeded : kFailed;
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
    // The write is done; what a signal now leaves undone is the verify.
    context.undone = context.session.tr(Msg::VerifyUndone);
    const bool verified = verifyWrite(context.session);
    return context.interrupted ? kInterrupted : verified ? kSucceeded : kFailed;
}

int diffSettings(CliContext& context, const QString& file) {
    if (!loadFile(context, file)) {
        return kFailed;
    }
    StatusEcho echo(context.form, context.err, context.prompter);
    const std::optional<DeviceComparison> comparison =
        compareWithDevice(context.session, {{}, Msg::CompareCancelled});
    if (!comparison) {
        return context.interrupted ? kInterrupted : kFailed;  // the read has said why
    }
    const std::vector<SettingDifference>& differences = comparison->differences;
    QByteArray listing;
    for (const SettingDifference& difference : differences) {
        listing += (context.session.tr(Msg::DiffDifference)
                        .arg(difference.name, difference.expected, difference.actual) +
                    u'\n')
                       .toUtf8();
    }
    if (!context.writeData({}, listing)) {
        return kFailed;
    }
    return differences.empty() ? kSucceeded : kFailed;
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
