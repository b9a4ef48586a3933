#include "gui/qtprompter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Patterns are separated by ";" in this form and by blanks in Qt's.
        const QString patterns = QString(parts[i + 1]).replace(u';', u' ').trimmed();
        const QString& description = parts[i];
        if (description.endsWith(u'(' + patterns + u')')) {
            filters << description;
        } else {
            filters << description + QStringLiteral(" (") + patterns + u')';
        }
    }
    return filters;
}

QString fileKind(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    if (parts.size() < 2) {
        return {};
    }
    const QString pattern = parts[1].split(u';').first().trimmed();
    const qsizetype dot = pattern.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : pattern.mid(dot + 1);
    return extension.contains(u'*') ? QString() : extension;
}

QString QtPrompter::storedFolder(const QString& kind) const {
    if (foldersFile_.isEmpty() || kind.isEmpty()) {
        return {};
    }
    const QSettings folders(foldersFile_, QSettings::IniFormat);
    return folders.value(QStringLiteral("Folders/") + kind).toString();
}

QString QtPrompter::startFolder(const QString& kind) const {
    const QString folder = storedFolder(kind);
    if (!folder.isEmpty() && QDir(folder).exists()) {
        return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

void QtPrompter::storeFolder(const QString& kind, const QString& folder) const {
    if (foldersFile_.isEmpty() || kind.isEmpty()) {
        return;
    }
    // Like the remembered port, a folder that cannot be stored is not worth
    // a message: the next dialog starts in the documents folder instead.
    QSettings folders(foldersFile_, QSettings::IniFormat);
    if (folder.isEmpty()) {
        folders.remove(QStringLiteral("Folders/") + kind);
    } else {
        folders.setValue(QStringLiteral("Folders/") + kind, folder);
    }
}

void QtPrompter::chosenFileRefused() {
    storeFolder(lastKind_, folderBefore_);
}

void QtPrompter::message(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), text, QMessageBox::Ok, parent_);
    box.exec();
}

bool QtPrompter::confirm(const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, titleOr(title), text, QMessageBox::Yes | QMessageBox::No,
                    parent_);
    // The questions ask whether to go on with something risky.
    box.setDefaultButton(QMessageBox::No);
    question_ = &box;
    return box.exec() == QMessageBox::Yes;
}

int QtPrompter::choose(const QString& text, const QStringList& items, const QString& noneOfThem) {
    QInputDialog dialog(parent_);
    dialog.setWindowTitle(programTitle_);
    dialog.setLabelText(text);
    dialog.setComboBoxItems(QStringList(items) << noneOfThem);
    dialog.setComboBoxEditable(false);
    // Preselected is the answer that changes nothing.
    dialog.setTextValue(noneOfThem);
    if (dialog.exec() != QDialog::Accepted) {
        return -1;
    }
    return static_cast<int>(items.indexOf(dialog.textValue()));
}

void QtPrompter::withdrawQuestion() {
    if (question_) {
        question_->done(QMessageBox::No);
    }
}

QString QtPrompter::chooseFile(const FileRequest& request) {
    const QString kind = fileKind(request.filter);
    QFileDialog dialog(parent_, request.title, startFolder(kind));
    const bool saving = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A save asks before it replaces a file: QFileDialog's default, kept.
    dialog.setNameFilters(nameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString chosen = dialog.selectedFiles().first();
    lastKind_ = kind;
    folderBefore_ = storedFolder(kind);
    storeFolder(kind, QFileInfo(chosen).absolutePath());
    return chosen;
}
