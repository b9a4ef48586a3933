#include "app/rememberedport.h"

#include "serial/serialsettingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kPathKey = QStringLiteral("Port/path");
const QString kIdentityKey = QStringLiteral("Port/identity");

}  // namespace

QString choicesFileBeside(const SerialSettingsStore& store) {
    return QFileInfo(store.path()).dir().filePath(QStringLiteral("kv120-choices.ini"));
}

RememberedAdapter readRememberedAdapter(const QString& choicesFile) {
    const QSettings choices(choicesFile, QSettings::IniFormat);
    return {choices.value(kPathKey).toString(), choices.value(kIdentityKey).toString()};
}

void rememberAdapter(const QString& choicesFile, const QString& path, const PortLister& ports) {
    QString identity;
    for (const PortInfo& port : ports.presentPorts()) {
        if (port.name == path) {
            identity = port.identity;
        }
    }
    // As the store's own failures, silent: a port that opened must not be
    // refused for want of a writable choices file.
    QSettings choices(choicesFile, QSettings::IniFormat);
    choices.setValue(kPathKey, path);
    choices.setValue(kIdentityKey, identity);
}

QString portOfAdapter(const QString& storedPath, const RememberedAdapter& adapter,
                      const QList<PortInfo>& ports) {
    if (adapter.path != storedPath || adapter.identity.isEmpty()) {
        return storedPath;
    }
    for (const PortInfo& port : ports) {
        if (port.identity == adapter.identity) {
            return port.name;
        }
    }
    return storedPath;
}
