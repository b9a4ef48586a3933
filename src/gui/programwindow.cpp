#include "gui/programwindow.h"

#include "serial/seriallink.h"

ProgramWindow::ProgramWindow(Form& form, SerialLink& link, Clock& clock, Prompter& prompter,
                             const SerialSettingsStore& store, const PortLister& ports,
                             const QString& backupFolder)
    : session(form, link, clock, prompter, store),
      updater(session),
      keeper(session, updater, backupFolder),
      window(form, prompter, ports, [&link] { return link.isOpen(); }),
      controller(session, updater, keeper, window) {
    keeper.keepSettingsAcrossUpdates(SettingsKeeper::WhenNotKept::Ask);
    keeper.offerRestoreOnCompletion();
}
