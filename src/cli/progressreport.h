#pragma once

#include <QElapsedTimer>
#include <QObject>

class Form;
class QTextStream;

// Shows a firmware transfer's progress from the window's progress bar (the
// bar counts blocks sent): on a terminal, one line redrawn in place with the
// percentage, blocks, bytes per second and time left; elsewhere, one plain
// line per 10 %.
class ProgressReport : public QObject {
    Q_OBJECT
public:
    ProgressReport(const Form& form, QTextStream& err, bool terminal);

    // Ends the line redrawn in place, so what follows starts on a line of its own.
    void finish();

    // The text for blocks sent out of total after elapsedMs, for a terminal.
    static QString barLine(int blocks, int total, qint64 elapsedMs);

private:
    void show(int blocks, int total);

    QTextStream& err_;
    bool terminal_;
    int lastTenth_ = 0;
    bool drawn_ = false;
    QElapsedTimer sinceFirstBlock_;
};
