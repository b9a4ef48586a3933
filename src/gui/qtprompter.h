#pragma once

#include "app/prompter.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// The window's modal dialogs: message boxes and the file chooser.
class QMessageBox;

class QtPrompter : public Prompter {
public:
    // programTitle heads every message box that has no title of its own.
    explicit QtPrompter(QString programTitle) : programTitle_(std::move(programTitle)) {}

    // The window the dialogs belong to, once there is one.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& title = {}) override;
    bool confirm(const QString& text, const QString& title = {}) override;
    QString chooseFile(const FileRequest& request) override;
    void withdrawQuestion() override;

private:
    QString titleOr(const QString& title) const { return title.isEmpty() ? programTitle_ : title; }

    QString programTitle_;
    QPointer<QWidget> parent_;
    QPointer<QMessageBox> question_;  // the question open now, if any
};

// "description|pattern|description|pattern" as file dialog name filters,
// "description (pattern)"; a description that already ends in its pattern in
// parentheses is kept as it is.
QStringList nameFilters(const QString& filter);
