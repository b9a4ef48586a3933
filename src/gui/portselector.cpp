#include "gui/portselector.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionFrame>

void PortItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString note = index.data(kNoteRole).toString();
    if (!note.isEmpty()) {
        option->text += QStringLiteral("  —  ") + note;
    }
}

PortPathEdit::PortPathEdit(QWidget* parent) : QLineEdit(parent) {
    connect(this, &QLineEdit::textChanged, this, &PortPathEdit::showWholeInToolTip);
}

QRect PortPathEdit::textRoom() const {
    // QLineEdit keeps 2 pixels free on either side of its text.
    return contentsRect().marginsRemoved(textMargins()).adjusted(2, 0, -2, 0);
}

bool PortPathEdit::fits() const {
    return fontMetrics().horizontalAdvance(text()) <= textRoom().width();
}

void PortPathEdit::showWholeInToolTip() {
    setToolTip(fits() ? QString() : text());
}

void PortPathEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    showWholeInToolTip();
}

void PortPathEdit::paintEvent(QPaintEvent* event) {
    if (hasFocus() || fits()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect room = textRoom();
    // The option's palette is in the group the box's state calls for (a
    // greyed text while an update locks the box).
    painter.setPen(panel.palette.color(QPalette::Text));
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width()));
}

PortSelector::PortSelector(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new PortItemDelegate(this));
    setEditable(true);
    setLineEdit(new PortPathEdit(this));
}

void PortSelector::showPopup() {
    if (beforePopup_) {
        beforePopup_();
    }
    // The notes make the items wider than the box.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    QComboBox::showPopup();
}
