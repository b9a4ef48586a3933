#include "serial/serialsettingsstore.h"

#include "serial/profilefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <array>
#include <filesystem>
#include <system_error>
#include <utility>

namespace {

const QString kSection = QStringLiteral("RUVAdev");
const QString kFileName = QStringLiteral("RUVAdev.ini");

}  // namespace

QString SerialSettingsStore::defaultPath(const QString& dir) {
    if (!dir.isEmpty()) {
        return QDir(dir).filePath(kFileName);
    }
    return pathBeside(QCoreApplication::applicationDirPath());
}

QString SerialSettingsStore::pathBeside(const QString& programDir) {
    // An installed program's folder is the system's, even where root may
    // write to it: the metainfo the install puts beside it tells.
    const bool installed =
        QFileInfo::exists(QDir(programDir)
                              .filePath(QStringLiteral(
                                  "../share/metainfo/org.kv120config.kv120config.metainfo.xml")));
    if (!installed && QFileInfo(programDir).isWritable()) {
        return QDir(programDir).filePath(kFileName);
    }
    return userPath();
}

QString SerialSettingsStore::makeFolder(const QString& dir) {
    const std::filesystem::path path(QFile::encodeName(dir).toStdString());
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error)) {
        return {};
    }
    return error ? QString::fromLocal8Bit(error.message()) : QStringLiteral("not a folder");
}

QString SerialSettingsStore::userPath() {
    // One folder for the window and kv120ctl alike, whatever the program's
    // name: installed side by side, both must offer the same port.
    const QString configDir =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(QStringLiteral("kv120-config"));
    QDir().mkpath(configDir);
    return QDir(configDir).filePath(kFileName);
}

QString SerialSettingsStore::portName() const {
    return profile::read(path_, kSection, QStringLiteral("par5"));
}

void SerialSettingsStore::writeCommSet(const QString& portName) const {
    // The key names are not in parameter order, and the buffer sizes stored
    // are not the ones in force; nothing applies them.
    const std::array<std::pair<const char*, QString>, 8> entries{{
        {"par5", portName},
        {"par4", QStringLiteral("115200")},
        {"par1", QStringLiteral("1")},
        {"par3", QStringLiteral("n")},
        {"par2", QStringLiteral("8")},
        {"par0", QStringLiteral("0")},
        {"InBuff", QStringLiteral("2048")},
        {"OutBuff", QStringLiteral("2048")},
    }};
    for (const auto& [key, value] : entries) {
        profile::write(path_, kSection, QString::fromLatin1(key), value);
    }
}
