#include "serial/serialsettingsstore.h"
#include "serial/profilefile.h"

#include "support/printers.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Empty bytes: no file at all.
void replaceFile(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    QFile file(path);
    if (!bytes.isEmpty() && file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
    }
}

TEST(SerialSettingsStore, WritesTheEightKeysInOrderAndKeepsTheUsersOwnLines) {
    const QByteArray otherKeys =
        "par4=115200\r\npar1=1\r\npar3=n\r\npar2=8\r\npar0=0\r\nInBuff=2048\r\nOutBuff=2048\r\n";
    QTemporaryDir dir;
    const SerialSettingsStore store(SerialSettingsStore::defaultPath(dir.path()));
    store.writeCommSet(QStringLiteral("COM3"));
    EXPECT_EQ(fileBytes(store.path()), "[RUVAdev]\r\npar5=COM3\r\n" + otherKeys);

    replaceFile(store.path(),
                "; my notes\n[Other]\nkey=1\n\n[ruvadev]\nPAR5 = COM12\nmine=yes\n\n[Last]\nx=2\n");
    EXPECT_EQ(store.portName(), QStringLiteral("COM12"));
    store.writeCommSet(QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(
        fileBytes(store.path()),
        "; my notes\r\n[Other]\r\nkey=1\r\n\r\n[ruvadev]\r\npar5=/dev/ttyUSB0\r\nmine=yes\r\n" +
            otherKeys + "\r\n[Last]\r\nx=2\r\n");
}

TEST(SerialSettingsStore, UnreadableOrMissingGivesTheEmptyText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RUVAdev.ini"));
    struct Case {
        const char* name;
        QByteArray file;
        QString value;
    };
    const Case cases[] = {
        {"no file", {}, {}},
        {"no section", "[Other]\npar5=COM1\n", {}},
        {"no key", "[RUVAdev]\npar4=115200\n", {}},
        {"quoted", "[RUVAdev]\npar5=\"COM4\"\n", QStringLiteral("COM4")},
        {"long value cut to 254", "[RUVAdev]\npar5=" + QByteArray(300, 'x') + "\n",
         QString(254, u'x')},
    };
    for (const Case& c : cases) {
        replaceFile(path, c.file);
        EXPECT_EQ(SerialSettingsStore(path).portName(), c.value) << c.name;
    }

    // A folder where the file should be: nothing to read, and writing fails
    // without harm.
    const QString folder = dir.filePath(QStringLiteral("folder.ini"));
    QDir().mkdir(folder);
    EXPECT_EQ(profile::read(folder, QStringLiteral("RUVAdev"), QStringLiteral("par5")), QString());
    EXPECT_FALSE(profile::write(folder, QStringLiteral("RUVAdev"), QStringLiteral("par5"),
                                QStringLiteral("COM1")));
}

// Installed, neither program may write beside itself: the port the window
// remembers must be the one kv120ctl finds.
TEST(SerialSettingsStore, WindowAndCommandLineShareTheUsersFile) {
    QStandardPaths::setTestModeEnabled(true);
    const QString ownName = QCoreApplication::applicationName();

    QCoreApplication::setApplicationName(QStringLiteral("kv120-config"));
    const SerialSettingsStore window(SerialSettingsStore::userPath());
    window.writeCommSet(QStringLiteral("/dev/ttyUSB1"));
    QCoreApplication::setApplicationName(QStringLiteral("kv120ctl"));
    const SerialSettingsStore commandLine(SerialSettingsStore::userPath());

    EXPECT_EQ(commandLine.portName(), QStringLiteral("/dev/ttyUSB1"));
    QFile::remove(window.path());
    QCoreApplication::setApplicationName(ownName);
    QStandardPaths::setTestModeEnabled(false);
}

// Beside the program in a build or an unpacked folder, as the device's users
// have always had it; never in an installed program's folder, which belongs
// to the package manager even where root may write to it.
TEST(SerialSettingsStore, BesideTheProgramOnlyOutsideAnInstalledFolder) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("bin"));
    const QString installedBin = root.filePath(QStringLiteral("usr/bin"));
    const QString metainfo = root.filePath(QStringLiteral("usr/share/metainfo"));
    for (const QString& folder : {bin, installedBin, metainfo}) {
        QDir().mkpath(folder);
    }
    replaceFile(metainfo + QStringLiteral("/org.kv120config.kv120config.metainfo.xml"),
                "<component/>");
    struct Case {
        const char* name;
        QString programDir;
        QString expected;
    };
    const Case cases[] = {
        {"a writable folder of its own", bin, bin + QStringLiteral("/RUVAdev.ini")},
        {"an installed folder", installedBin, SerialSettingsStore::userPath()},
        {"a folder that cannot be written", root.filePath(QStringLiteral("missing")),
         SerialSettingsStore::userPath()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SerialSettingsStore::pathBeside(c.programDir), c.expected) << c.name;
    }
    QStandardPaths::setTestModeEnabled(false);
}

}  // namespace
