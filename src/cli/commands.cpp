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
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"
#include "update/updater.h"

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

// Runs the update to its end and writes the kept settings back.
int runUpdate(CliContext& context, Updater& updater, SettingsKeeper& keeper) {
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
        return kFailed;
    }
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
    for (const PortInfo& port : ports.openablePorts()) {
        list += (port.name + u'\t' + port.description + u'\n').toUtf8();
    }
    list += (kSimPortName + QStringLiteral("\tsimulated KV120\n")).toUtf8();
    return context.writeData({}, list) ? kSucceeded : kFailed;
}

int writeDefaults(CliContext& context, const QString& file) {
    fillDefaults(context.form);
    return context.writeData(file, settingsFileBytes(context.form)) ? kSucceeded : kFailed;
}

int readSettings(CliContext& context, const QString& file) {
    StatusEcho echo(context.form, context.err, context.prompter);
    readExchange(context.session);
    const int status = statusEndsWith(context, Msg::ReadOk);
    const QString version = context.form.text(DeviceSettings::firmwareVersion);
    if (!version.isEmpty()) {
        context.err << "VER:" << version << Qt::endl;
    }
    if (status != kSucceeded) {
        return status;
    }
    return context.writeData(file, settingsFileBytes(context.form)) ? kSucceeded : kFailed;
}

int writeSettings(CliContext& context, const QString& file) {
    const FileContents contents = readSettingsFile(file, context.form.language());
    if (!contents.failure.isEmpty()) {
        context.err << text(Msg::FileNotLoaded, context.form.language()).arg(file, contents.failure)
                    << Qt::endl;
        return kFailed;
    }
    loadSettingsLines(context.session, contents.bytes);
    if (!warningsAllowWrite(context)) {
        return kFailed;
    }
    StatusEcho echo(context.form, context.err, context.prompter);
    writeExchange(context.session);
    return statusEndsWith(context, Msg::WriteComplete);
}

int writeWifi(CliContext& context, const QString& ssid, const QString& password) {
    context.form.setText(DeviceSettings::wifiSsid, ssid);
    context.form.setText(DeviceSettings::wifiPassword, password);
    StatusEcho echo(context.form, context.err, context.prompter);
    wifiWrite(context.session);
    if (context.interrupted) {
        return kInterrupted;
    }
    const QString status = context.form.text(Ctl::Text29);
    return status.contains(context.session.tr(Msg::WifiWriteComplete)) ? kSucceeded : kFailed;
}

int restart(CliContext& context) {
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
    StatusEcho echo(context.form, context.err, context.prompter);
    SettingsKeeper keeper(context.session, updater, context.backupFolder);
    if (context.keepSettings) {
        keeper.keepSettingsAcrossUpdates();
    }
    ProgressReport progress(context.form, context.err, context.errIsTerminal);
    try {
        const int status = runUpdate(context, updater, keeper);
        if (status != kInterrupted) {
            return status;
        }
    } catch (const ExchangeAborted&) {
        // Interrupted while waiting: told below, as any interruption.
    }
    progress.finish();
    tellInterruptedUpdate(context, updater.deviceLeft(), keeper.pendingBackup(), image);
    return kInterrupted;
}
