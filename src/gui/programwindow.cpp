#include "gui/programwindow.h"

#include "app/rememberedport.h"
#include "serial/seriallink.h"

ProgramWindow::ProgramWindow(Form& form, SerialLink& link, Clock& clock, Prompter& prompter,
                             const SerialSettingsStore& store, const PortLister& ports,
                             const QString& backupFolder)
    : portLister(ports),
      session(form, link, clock, prompter, store),
      updater(session),
      keeper(session, updater, backupFolder),
      portWatch(form, clock, ports, [this] { return controller.isIdle(); }),
      window(form, prompter, portWatch, [&link] { return link.isOpen(); }),
      controller(session, updater, keeper, window) {
    keeper.keepSettingsAcrossUpdates(SettingsKeeper::WhenNotKept::Ask);
    keeper.offerRestoreOnCompletion();
}

void ProgramWindow::rememberChoicesIn(const QString& file) {
    window.rememberChoicesIn(file);
    portWatch.awaitRemembered(readRememberedAdapter(file));
    session.setAfterPortStored(
        [this, file](const QString& port) { rememberAdapter(file, port, portLister); });
}
