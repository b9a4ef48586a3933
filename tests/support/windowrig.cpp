#include "windowrig.h"

#include "app/startup.h"
#include "support/testfiles.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QTest>

WindowRig::WindowRig(const Machine& machine)
    : store_(SerialSettingsStore::defaultPath(dir_.path())) {
    if (!machine.storedPort.isEmpty()) {
        store_.writeCommSet(machine.storedPort);
    }
    if (!machine.remembered.path.isEmpty()) {
        const auto& [path, identity] = machine.remembered;
        rememberAdapter(choicesFile(), path, FakePortLister({{path, {}, identity}}));
    }
    lister.ports = machine.ports;
    runStartup(form,
               {machine.lcid, store_, lister, prompter, readRememberedAdapter(choicesFile())});
    program = std::make_unique<ProgramWindow>(form, ports.link, clock, prompter, store_, lister,
                                              dir_.filePath(QStringLiteral("backups")));
    program->rememberChoicesIn(choicesFile());
    window = &program->window;
    window->show();
}

void WindowRig::click(Ctl button) const {
    QTest::mouseClick(widget(button), Qt::LeftButton);
}

QString WindowRig::shown(Ctl box) const {
    if (auto* combo = qobject_cast<QComboBox*>(widget(box))) {
        return combo->currentText();
    }
    return widget<QLineEdit>(box)->text();
}

QString WindowRig::writeFile(const QString& name, const QByteArray& bytes) const {
    const QString path = dir_.filePath(name);
    return writeBytes(path, bytes) ? path : QString();
}

bool WindowRig::runUntil(const std::function<bool()>& done, qint64 limitMs, int stepMs) {
    const qint64 end = clock.elapsedMs() + limitMs;
    while (!done()) {
        if (clock.elapsedMs() >= end) {
            return false;
        }
        clock.advance(stepMs);
    }
    return true;
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
