#include "gui/qtprompter.h"

#include <QFileDialog>
#include <QMessageBox>

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

void QtPrompter::withdrawQuestion() {
    if (question_) {
        question_->done(QMessageBox::No);
    }
}

QString QtPrompter::chooseFile(const FileRequest& request) {
    QFileDialog dialog(parent_, request.title, request.directory);
    const bool saving = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A save asks before it replaces a file: QFileDialog's default, kept.
    dialog.setNameFilters(nameFilters(request.filter));
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}
