#include "gui/portselector.h"

#include <QAbstractItemView>

void PortItemDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    const QString note = index.data(kNoteRole).toString();
    if (!note.isEmpty()) {
        option->text += QStringLiteral("  —  ") + note;
    }
}

PortSelector::PortSelector(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new PortItemDelegate(this));
}

void PortSelector::showPopup() {
    if (beforePopup_) {
        beforePopup_();
    }
    // The notes make the items wider than the box.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 2 * view()->frameWidth());
    QComboBox::showPopup();
}
