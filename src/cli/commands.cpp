#include "cli/commands.h"

#include "app/defaults.h"
#include "app/devicesettings.h"
#include "app/fieldwarnings.h"
#include "app/texts.h"
#include "backup/keptsettings.h"
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

// Where an update that did not finish left the device: its state, where its
// settings are kept, and the command that finishes the job.
struct UpdateLeft {
    QString state;  // empty: the device was not touched
    QString finish;
};

UpdateLeft whereTheUpdateLeftIt(CliContext& context, Updater::DeviceLeft left, bool writingBack,
                                const QString& kept, const QString& image) {
    const Session& session = context.session;
    const QString port = context.form.text(Ctl::Combo1);
    UpdateLeft where{{}, QStringLiteral("kv120ctl --port %1 update %2").arg(port, image)};
    switch (left) {
        case Updater::DeviceLeft::Untouched:
            return {};
        case Updater::DeviceLeft::InLoader:
            where.state = session.tr(Msg::InterruptedInLoader);
            break;
        case Updater::DeviceLeft::ImageSent:
            where.state = session.tr(Msg::InterruptedImageSent);
            break;
        case Updater::DeviceLeft::OnFactorySettings:
            where.state = session.tr(Msg::InterruptedOnFactorySettings);
            break;
        case Updater::DeviceLeft::Updated:
            where.state = session.tr(writingBack ? Msg::InterruptedWritingBack
                                                 : Msg::InterruptedAfterCompletion);
            if (!kept.isEmpty()) {
                where.finish = QStringLiteral("kv120ctl --port %1 write %2").arg(port, kept);
            }
            break;
    }
    if (!kept.isEmpty()) {
        where.state += u' ' + session.tr(Msg::SettingsStillKept).arg(kept);
    }
    where.finish = session.tr(Msg::FinishWith).arg(where.finish);
    return where;
}

// Writes back the settings the update kept for this device; when which they
// are is not known, names the ones they could be and writes none.
int writeBack(CliContext& context, SettingsKeeper& keeper, bool& writingBack) {
    const SettingsKeeper::WriteBack choice = keeper.writeBack();
    if (!choice.file.isEmpty()) {
        writingBack = true;
        return keeper.restore(choice.file) ? kSucceeded : kFailed;
    }
    if (choice.undecided.isEmpty()) {
        return kSucceeded;
    }
    QStringList kept;
    for (const KeptSettings& settings : choice.undecided) {
        kept << settings.describe();
    }
    const QString port = context.form.text(Ctl::Combo1);
    context.err << context.session.tr(Msg::KeptNotWrittenBack).arg(kept.join(u'\n')) << Qt::endl
                << context.session.tr(Msg::FinishWith)
                       .arg(QStringLiteral("kv120ctl --port %1 write %2")
                                .arg(port, choice.undecided.front().file))
                << Qt::endl;
    return kFailed;
}

// Runs the update to its end and writes the kept settings back.
int runUpdate(CliContext& context, Updater& updater, SettingsKeeper& keeper,
              ProgressReport& progress, bool& writingBack) {
    keeper.updateClicked();
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
    context.err << outcome << Qt::endl;
    return context.keepSettings ? writeBack(context, keeper, writingBack) : kSucceeded;
}

}  // namespace

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
    int status = statusEndsWith(context, Msg::WriteComplete);
    if (status == kSucceeded && context.verify) {
        // The write is done; what a signal now leaves undone is the verify.
        context.noteUndone(context.session.tr(Msg::VerifyUndone));
        const bool verified = verifyWrite(context.session);
        status = context.interrupted ? kInterrupted : verified ? kSucceeded : kFailed;
    }
    // Kept settings written back by hand no longer wait for the next update.
    if (status == kSucceeded && isPending(file)) {
        clearPending(file);
    }
    return status;
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
    // All the blocks out, the bar stands full while the device is asked whether it runs.
    updater.setOnTransferEnd([&progress, &updater] {
        if (updater.deviceLeft() == Updater::DeviceLeft::ImageSent) {
            progress.complete();
        }
    });
    SettingsKeeper keeper(context.session, updater, context.backupFolder);
    if (context.keepSettings) {
        keeper.keepSettingsAcrossUpdates(SettingsKeeper::WhenNotKept::Stop);
    }
    int status = kInterrupted;
    bool writingBack = false;
    // Where the device stands, kept up to date as each step shows in the
    // status box, for a signal that ends the program before the update has
    // unwound.
    QObject stepWatch;
    QObject::connect(&context.form, &Form::changed, &stepWatch, [&](Ctl id) {
        if (id == Ctl::Text29) {
            const UpdateLeft left = whereTheUpdateLeftIt(context, updater.deviceLeft(), writingBack,
                                                         keeper.writeBack().file, image);
            context.noteUndone(left.state.isEmpty() ? QString() : left.state + u' ' + left.finish);
        }
    });
    try {
        status = runUpdate(context, updater, keeper, progress, writingBack);
    } catch (const ExchangeAborted&) {
        // Interrupted, or the port lost, while waiting: told below.
    }
    // An exchange that the interruption ended reports it as its own failure.
    if (context.interrupted) {
        status = kInterrupted;
    }
    if (status == kSucceeded) {
        return status;
    }
    progress.finish();
    const UpdateLeft left = whereTheUpdateLeftIt(context, updater.deviceLeft(), writingBack,
                                                 keeper.writeBack().file, image);
    if (left.state.isEmpty()) {
        return status;
    }
    if (status == kFailed && !context.portLost) {
        // The message said where the device stands; this says how to finish.
        context.err << left.finish << Qt::endl;
        return status;
    }
    // One statement: at the program's end after an interruption, else now.
    const QString line = left.state + u' ' + left.finish;
    if (context.portLost) {
        context.err << line << Qt::endl;
        return kFailed;
    }
    context.noteUndone(line);
    return kInterrupted;
}

int listKept(CliContext& context) {
    QByteArray list;
    for (const KeptSettings& kept : pendingKeptSettings(context.backupFolder)) {
        list += QStringList{kept.file, kept.port, kept.callsign,
                            kept.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                            kept.portIdentity}
                    .join(u'\t')
                    .toUtf8() +
                '\n';
    }
    return context.writeData({}, list) ? kSucceeded : kFailed;
}
