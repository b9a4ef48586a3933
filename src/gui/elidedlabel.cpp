#include "gui/elidedlabel.h"

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget* parent) : QLabel(parent), mode_(mode) {
    setTextFormat(Qt::PlainText);
    // The label takes the width it is given and the height of one line of
    // Latin and Chinese text, whatever it shows.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(fontMetrics().boundingRect(QStringLiteral("Ag|密码")).height() + 2);
}

void ElidedLabel::setFullText(const QString& text) {
    if (text != fullText_) {
        fullText_ = text;
        showFitting();
    }
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitting();
}

void ElidedLabel::showFitting() {
    const QString oneLine = QString(fullText_).replace(u'\n', QStringLiteral("  ·  "));
    const QString shown = fontMetrics().elidedText(oneLine, mode_, contentsRect().width());
    setText(shown);
    setToolTip(shown == fullText_ ? QString() : fullText_);
}
