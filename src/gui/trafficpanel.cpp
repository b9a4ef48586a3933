#include "gui/trafficpanel.h"

#include "app/prompter.h"
#include "app/texts.h"
#include "gui/formbinding.h"
#include "settingsfile/settingsfileio.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TrafficPanel::TrafficPanel(TrafficTap& tap, Prompter& prompter, Language language, Now now,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      tap_(tap),
      prompter_(prompter),
      language_(language),
      now_(std::move(now)),
      view_(new QPlainTextEdit) {
    setObjectName(QStringLiteral("TrafficPanel"));
    setWindowTitle(text(Msg::TrafficTitle, language_));
    view_->setObjectName(QStringLiteral("TrafficView"));
    view_->setAccessibleName(text(Msg::TrafficTitle, language_));
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::NoWrap);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* saveButton = new QPushButton;
    showCaption(saveButton, text(Msg::TrafficSave, language_), 'S');
    saveButton->setObjectName(QStringLiteral("TrafficSaveButton"));
    connect(saveButton, &QPushButton::clicked, this, &TrafficPanel::save);
    auto* clearButton = new QPushButton;
    showCaption(clearButton, text(Msg::TrafficClear, language_), 'C');
    clearButton->setObjectName(QStringLiteral("TrafficClearButton"));
    connect(clearButton, &QPushButton::clicked, this, [this] {
        log_.clear();
        refresh();
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(clearButton);
    buttons->addWidget(saveButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    resize(900, 400);

    refreshTimer_.setInterval(kRefreshMs);
    connect(&refreshTimer_, &QTimer::timeout, this, &TrafficPanel::refresh);
    // Recording starts with the program, so that the traffic of a failure
    // is there when the panel is opened to look at it.
    tap_.setRecorder([this](TrafficTap::Direction direction, const QByteArray& bytes) {
        log_.record(direction, now_(), bytes);
    });
}

TrafficPanel::~TrafficPanel() {
    tap_.setRecorder({});
}

void TrafficPanel::showEvent(QShowEvent* event) {
    refreshTimer_.start();
    refresh();
    QWidget::showEvent(event);
}

void TrafficPanel::hideEvent(QHideEvent* event) {
    refreshTimer_.stop();
    QWidget::hideEvent(event);
}

void TrafficPanel::refresh() {
    if (log_.revision() == shownRevision_) {
        return;
    }
    shownRevision_ = log_.revision();
    const auto& entries = log_.entries();
    const size_t first = entries.size() > size_t{kShownLines} ? entries.size() - kShownLines : 0;
    QStringList lines;
    for (size_t i = first; i < entries.size(); ++i) {
        lines << formatEntry(entries[i], kShownBytes);
    }
    view_->setPlainText(lines.join(u'\n'));
    view_->moveCursor(QTextCursor::End);
}

void TrafficPanel::save() {
    const QString path = prompter_.chooseFile(
        {FileRequest::Mode::Save, text(Msg::TrafficDialogTitle, language_),
         text(Msg::TrafficDialogFilter, language_), QStringLiteral("txt"), fileName_});
    if (path.isEmpty()) {
        return;
    }
    fileName_ = path;
    const QString failure = writeFileWhole(path, formatLog(log_).toUtf8());
    if (!failure.isEmpty()) {
        prompter_.message(text(Msg::TrafficNotSaved, language_).arg(path, failure));
    }
}
