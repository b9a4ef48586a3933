#include "cli/progressreport.h"

#include "app/form.h"
#include "serial/clock.h"
#include "update/loaderprotocol.h"

#include <QTextStream>

#include <algorithm>

namespace {

// Each block goes out as 2048 data bytes and one checksum byte.
constexpr qint64 kPacketBytes = 2049;
constexpr int kBarWidth = 30;

QString minutesAndSeconds(qint64 seconds) {
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

ProgressReport::ProgressReport(const Form& form, const Clock& clock, QTextStream& err,
                               bool terminal)
    : clock_(clock), err_(err), terminal_(terminal) {
    connect(&form, &Form::changed, this, [this, &form](Ctl id) {
        if (id == Ctl::ProgressBar1) {
            show(form.value(Ctl::ProgressBar1), form.maximum(Ctl::ProgressBar1));
        }
    });
}

QString ProgressReport::barLine(int blocks, int total, int blocksTimed, qint64 elapsedMs) {
    const int percent = total > 0 ? blocks * 100 / total : 0;
    const int filled = total > 0 ? blocks * kBarWidth / total : 0;
    const qint64 bytes = blocksTimed * kPacketBytes;
    const qint64 perSecond = elapsedMs > 0 ? bytes * 1000 / elapsedMs : 0;
    const qint64 secondsLeft = perSecond > 0 ? (total - blocks) * kPacketBytes / perSecond : 0;
    return QStringLiteral("[%1%2] %3% %4/%5 blocks %6 B/s %7 left")
        .arg(QString(filled, u'#'), QString(kBarWidth - filled, u'-'))
        .arg(percent, 3)
        .arg(blocks)
        .arg(total)
        .arg(perSecond)
        .arg(minutesAndSeconds(secondsLeft));
}

void ProgressReport::show(int blocks, int total) {
    // The bar stands full whenever no transfer is under way.
    if (blocks <= 0 || blocks >= total) {
        return;
    }
    // Timed from the first block seen: the blocks before it were sent in no
    // time the report has measured.
    if (timedFromBlock_ < 0) {
        timedFromBlock_ = blocks;
        timedFromMs_ = clock_.nowMs();
    }
    total_ = total;
    draw(blocks);
}

void ProgressReport::draw(int blocks) {
    if (terminal_) {
        // A shorter line than the last (fewer digits of speed) covers it whole.
        const quint32 elapsedMs = clock_.nowMs() - timedFromMs_;  // across the counter's wrap
        const QString line = barLine(blocks, total_, blocks - timedFromBlock_, elapsedMs);
        drawnWidth_ = std::max(drawnWidth_, line.size());
        err_ << '\r' << line.leftJustified(drawnWidth_) << Qt::flush;
        drawn_ = true;
        return;
    }
    const int tenth = blocks * 10 / total_;
    if (tenth > lastTenth_) {
        lastTenth_ = tenth;
        // The percentage of the blocks sent, as the window's progress line has it.
        err_ << progressPercent(blocks, total_) << "% (" << blocks << '/' << total_ << " blocks)"
             << Qt::endl;
    }
}

void ProgressReport::complete() {
    if (total_ > 0) {
        draw(total_);
    }
    finish();
}

void ProgressReport::finish() {
    if (drawn_) {
        err_ << Qt::endl;
        drawn_ = false;
        drawnWidth_ = 0;
    }
}
