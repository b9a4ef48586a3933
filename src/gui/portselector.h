#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <functional>

// The port selector's drop-down: each port's name with, beside it, what the
// system knows of the adapter. The item's text stays the bare name, so picking
// it puts only the name into the box.
class PortItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kNoteRole = Qt::UserRole + 1;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// The port selector's text box. A path too long for the box (a
// pseudo-terminal's, a /dev/serial/by-id/ name) is shown with its middle
// left out while the box is not being edited, and whole in its tooltip: a
// text box that scrolls to its end would hide the path's front.
class PortPathEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit PortPathEdit(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the text is drawn, as QLineEdit draws it.
    QRect textRoom() const;
    bool fits() const;
    void showWholeInToolTip();
};

// The port selector (Combo1). Ports come and go while the program runs (USB
// adapters), so the list is made anew each time it opens.
class PortSelector : public QComboBox {
    Q_OBJECT
public:
    explicit PortSelector(QWidget* parent = nullptr);

    // Called before the list opens; it refreshes the port list.
    void setBeforePopup(std::function<void()> beforePopup) {
        beforePopup_ = std::move(beforePopup);
    }

    void showPopup() override;

private:
    std::function<void()> beforePopup_;
};
