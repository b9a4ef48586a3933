#pragma once

#include <QObject>

class Clock;
class Form;
class QTextStream;

// Shows a firmware transfer's progress from the window's progress bar (the
// bar counts blocks sent): on a terminal, one line redrawn in place with the
// percentage, blocks, bytes per second and time left; elsewhere, one plain
// line per 10 %. The speed is measured on the session's clock, so a transfer
// in virtual time reports what it would on the wire.
class ProgressReport : public QObject {
    Q_OBJECT
public:
    ProgressReport(const Form& form, const Clock& clock, QTextStream& err, bool terminal);
    // An interrupted transfer's line is ended too.
    ~ProgressReport() override { finish(); }

    // Ends the line redrawn in place, so what follows starts on a line of its own.
    void finish();
    // Shows the transfer complete (the bar full), then ends the line.
    void complete();

    // The text for blocks sent out of total, for a terminal; the speed is that
    // of the last blocksTimed blocks, sent in elapsedMs.
    static QString barLine(int blocks, int total, int blocksTimed, qint64 elapsedMs);

private:
    void show(int blocks, int total);
    void draw(int blocks);

    const Clock& clock_;
    QTextStream& err_;
    bool terminal_;
    int lastTenth_ = 0;
    int total_ = 0;
    bool drawn_ = false;
    qsizetype drawnWidth_ = 0;  // of the widest draw on the current line
    int timedFromBlock_ = -1;   // none seen yet
    quint32 timedFromMs_ = 0;
};
