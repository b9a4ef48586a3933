#pragma once

#include "app/prompter.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

// The window's modal dialogs: message boxes and the file chooser. A file
// dialog starts in the folder last used for its kind of file (its first
// pattern's extension), else in the user's documents folder (or home when
// there is none); the folders are
// remembered in foldersFile, when one is given.
class QMessageBox;

class QtPrompter : public Prompter {
public:
    // programTitle heads every message box that has no title of its own.
    explicit QtPrompter(QString programTitle, QString foldersFile = {})
        : programTitle_(std::move(programTitle)), foldersFile_(std::move(foldersFile)) {}

    // The window the dialogs belong to, once there is one.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void message(const QString& text, const QString& title = {}) override;
    bool confirm(const QString& text, const QString& title = {}) override;
    int choose(const QString& text, const QStringList& items, const QString& noneOfThem) override;
    QString chooseFile(const FileRequest& request) override;
    void withdrawQuestion() override;
    // The kind's remembered folder goes back to the one before the choice.
    void chosenFileRefused() override;

private:
    QString titleOr(const QString& title) const { return title.isEmpty() ? programTitle_ : title; }
    QString startFolder(const QString& kind) const;
    QString storedFolder(const QString& kind) const;
    void storeFolder(const QString& kind, const QString& folder) const;

    QString programTitle_;
    QString foldersFile_;
    QPointer<QWidget> parent_;
    QPointer<QMessageBox> question_;  // the question open now, if any
    // The kind of the last file chosen, and its folder remembered before.
    QString lastKind_;
    QString folderBefore_;
};

// "description|pattern|description|pattern" as file dialog name filters,
// "description (pattern)"; a description that already ends in its pattern in
// parentheses is kept as it is.
QStringList nameFilters(const QString& filter);

// The kind of file a filter is for: its first pattern's extension ("ini" for
// "setup file(*.ini)|*.ini"), or the empty text.
QString fileKind(const QString& filter);
