#pragma once

#include <QLabel>

// A one-line label whose text never widens the window: a text longer than
// the label's width is shortened with "…" where the mode says, and the whole
// text is then the label's tooltip. Lines of the text (separated by "\n")
// are shown side by side, and listed one a line in the tooltip.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(Qt::TextElideMode mode, QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return fullText_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitting();

    Qt::TextElideMode mode_;
    QString fullText_;
};
