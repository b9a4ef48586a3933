#include "windowfixture.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

void WindowFixture::click(Ctl button) const {
    QTest::mouseClick(widget(button), Qt::LeftButton);
}

QString WindowFixture::shown(Ctl box) const {
    if (auto* combo = qobject_cast<QComboBox*>(widget(box))) {
        return combo->currentText();
    }
    return widget<QLineEdit>(box)->text();
}

void pickItem(QComboBox* box, const QString& item) {
    box->showPopup();
    const int row = box->findText(item, Qt::MatchExactly);
    ASSERT_GE(row, 0) << item.toStdString() << " is not in the list";
    box->view()->setCurrentIndex(box->model()->index(row, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
}

QStringList itemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}
