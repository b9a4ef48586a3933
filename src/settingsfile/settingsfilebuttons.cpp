#include "settingsfile/settingsfilebuttons.h"

#include "app/form.h"
#include "app/prompter.h"
#include "app/texts.h"
#include "protocol/session.h"
#include "settingsfile/settingsfileformat.h"
#include "settingsfile/settingsfileio.h"
#include "settingsfile/settingsfileload.h"

namespace {

// Why the window's settings cannot be saved as they are, or the empty text.
QString unsavableReason(const Form& form) {
    const auto label = labelOfFieldWithLineBreak(form);
    return label ? text(Msg::LineBreakInField, form.language()).arg(form.text(*label)) : QString();
}

}  // namespace

void saveSettingsFile(const Form& form, Prompter& prompter, QString& dialogFileName) {
    const Language language = form.language();
    const QString path = prompter.chooseFile(
        {FileRequest::Mode::Save, text(Msg::SaveDialogTitle, language),
         text(Msg::SaveDialogFilter, language), QStringLiteral("ini"), dialogFileName});
    if (path.isEmpty()) {
        return;
    }
    dialogFileName = path;
    QString failure = unsavableReason(form);
    if (failure.isEmpty()) {
        failure = writeFileWhole(path, settingsFileBytes(form));
    }
    if (!failure.isEmpty()) {
        prompter.message(text(Msg::FileNotSaved, language).arg(path, failure));
        return;
    }
    if (const QStringList inexact = fieldsNotHeldExactly(form); !inexact.isEmpty()) {
        prompter.message(text(Msg::SavedNotExactly, language).arg(path, inexact.join(u'\n')));
    }
}

void loadSettingsFile(Session& session, QString& dialogFileName) {
    Form& form = session.form();
    dialogFileName =
        session.prompter().chooseFile({FileRequest::Mode::Open, session.tr(Msg::LoadDialogTitle),
                                       session.tr(Msg::LoadDialogFilter), QString(), QString()});
    if (dialogFileName.isEmpty()) {
        return;
    }
    // A file refused changes nothing in the window, the status box included.
    const FileContents file = readSettingsFile(dialogFileName, form.language());
    if (!file.failure.isEmpty()) {
        session.prompter().chosenFileRefused();
        session.prompter().message(
            session.tr(Msg::FileNotLoaded).arg(dialogFileName, file.failure));
        return;
    }
    if (const auto refusal = settingsFileRefusal(dialogFileName, file.bytes, form.language())) {
        session.prompter().chosenFileRefused();
        session.prompter().message(*refusal);
        return;
    }
    form.setStatus(dialogFileName + QStringLiteral("\r\n\r\n"));
    loadSettingsLines(session, file.bytes);
}
