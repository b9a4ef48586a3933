#pragma once

#include "app/language.h"
#include "protocol/trafficlog.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>

#include <functional>

class Prompter;
class QPlainTextEdit;

// The serial traffic view: every byte sent and received, one line per
// command or reply, with "Save…" to write it to a text file for support, the
// passcode and WiFi password hidden. It records from its creation, shown or
// not, into a bounded log that stays until "Clear"; it redraws only while
// shown.
class TrafficPanel : public QWidget {
    Q_OBJECT
public:
    using Now = std::function<qint64()>;  // milliseconds since 1970

    // The view shows the newest lines, each with its first bytes; the saved
    // file has every line the log holds, whole.
    static constexpr int kShownLines = 500;
    static constexpr int kShownBytes = 48;
    static constexpr int kRefreshMs = 200;

    TrafficPanel(TrafficTap& tap, Prompter& prompter, Language language,
                 Now now = &QDateTime::currentMSecsSinceEpoch, QWidget* parent = nullptr);
    ~TrafficPanel() override;

    const TrafficLog& log() const { return log_; }
    // Redraws the view when the log has changed; the refresh timer calls it
    // while the panel is shown.
    void refresh();
    void save();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    TrafficTap& tap_;
    Prompter& prompter_;
    Language language_;
    Now now_;
    TrafficLog log_;
    quint64 shownRevision_ = 0;
    QPlainTextEdit* view_;
    QTimer refreshTimer_;
    QString fileName_;  // the name last chosen in the save dialog
};
