#include "serial/portlister.h"
#include "serial/qtclock.h"
#include "serial/qtseriallink.h"
#include "serial/receivepath.h"
#include "serial/serialsettingsstore.h"
#include "sim/pseudoterminal.h"
#include "support/printers.h"
#include "support/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace {

// A lone LF leaves the line as it is.
TEST(ReceivePath, HandsEveryPrefixAndTheEmptyLinesAfterCrAndLf) {
    const QStringList connect{"C", "CO", "CON", "CONN", "CONNE", "CONNEC", "CONNECT", "", ""};
    const std::pair<QByteArrayList, QStringList> cases[] = {
        {{"CONNECT\r\n"}, connect},
        {{"CONN", "ECT\r\n"}, connect},
        {{"AB\nC"}, {"A", "AB", "AB", "ABC"}},
        {{"A\n\rB"}, {"A", "A", "", "B"}},
    };
    for (const auto& [chunks, expected] : cases) {
        QStringList lines;
        ReceivePath path([&lines](const QByteArray& line) { lines << QString::fromLatin1(line); });
        for (const QByteArray& chunk : chunks) {
            path.receive(chunk);
        }
        EXPECT_EQ(lines, expected) << chunks.join('|').toStdString();
    }
}

// A device that babbles after a keyword without ever ending the line must not
// make each byte cost more than the one before.
TEST(ReceivePath, ALineWithoutCrStopsGrowingAndTheNextLineIsWhole) {
    qsizetype calls = 0;
    qsizetype longest = 0;
    bool connectSeen = false;
    ReceivePath path([&](const QByteArray& line) {
        ++calls;
        longest = qMax(longest, line.size());
        connectSeen = connectSeen || line == "CONNECT";
    });
    path.receive("COMMENT TEXT:" + QByteArray(64 * 1024, 'a'));
    EXPECT_EQ(longest, ReceivePath::kReplyLineLimit);
    EXPECT_EQ(calls, 13 + 64 * 1024) << "the handler still runs after every byte";

    path.receive("\r\nCONNECT\r");
    EXPECT_TRUE(connectSeen);
    EXPECT_TRUE(path.replyLine().isEmpty());
}

// Only the trace's start is kept, the rest is counted; a reset starts afresh
// however long the trace had grown.
TEST(ReceivePath, TracesEveryByteAsHexKeepingItsStartAndCountingTheRest) {
    ReceivePath path([](const QByteArray&) {});
    path.receive("CONNECT\r\n");
    EXPECT_EQ(path.trace().first(64), "Text1434F4E4E4543540D0A");
    path.receive(QByteArray(1 << 20, 'A'));
    EXPECT_EQ(path.trace().length(), 23 + (2 << 20));
    EXPECT_EQ(path.trace().first(ByteTrace::kKept).size(), ByteTrace::kKept);
    path.trace().set("  ");
    path.receive("\xE5\n");
    EXPECT_EQ(path.trace().first(64), "E50A");
    EXPECT_EQ(path.trace().length(), 4);
}

// The program's clock: a wait ends once its answer holds, and an abort ends
// the wait under way and every later one (the window is closing). Only the
// order of events is looked at: the later post must not have run.
TEST(QtClock, AnAnswerEndsAWaitAndAnAbortEndsEveryWait) {
    QtClock clock;
    bool answered = false;
    bool late = false;
    clock.post(0, [&answered] { answered = true; });
    clock.post(10'000, [&late] { late = true; });
    clock.delayUntil(60'000, [&answered] { return answered; });
    clock.post(0, [&clock] { clock.abort(); });
    EXPECT_THROW(clock.delay(60'000), ExchangeAborted);
    EXPECT_FALSE(late);
    EXPECT_THROW(clock.delayUntil(60'000, [] { return true; }), ExchangeAborted);
}

// Closing the port first hands the line every byte written, however much the
// port's own buffer held: an update's last block must not be lost. A reader
// on the terminal's far end takes the bytes as they come.
TEST(QtSerialLink, ClosingSendsEveryByteWrittenFirst) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QByteArray bytes = patternBytes(300'000);
    QByteArray received;
    std::thread reader([master, &bytes, &received] {
        char buffer[4096];
        ssize_t n = 0;
        while (received.size() < bytes.size() && (n = ::read(master, buffer, sizeof buffer)) > 0) {
            received.append(buffer, n);
        }
    });
    QtSerialLink link;
    link.setPortName(QString::fromLatin1(::ptsname(master)));
    link.open();
    link.write(bytes);
    link.close();
    reader.join();
    ::close(master);
    EXPECT_EQ(received, bytes);
}

// A path that is there but is no serial port is told apart from a missing
// one, in words of the program's own: the system's are those of its last
// failed call ("Inappropriate ioctl for device").
TEST(QtSerialLink, APathThatIsNoSerialPortIsToldApartFromAMissingOne) {
    using Kind = SerialError::Kind;
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_TRUE(writeBytes(dir.filePath("file"), "text"));
    const std::pair<QString, Kind> cases[] = {
        {dir.filePath("missing"), Kind::NotFound},
        {"ttyKV120-none", Kind::NotFound},
        {dir.path(), Kind::NotASerialPort},
        {"/dev/null", Kind::NotASerialPort},
        {pipe, Kind::NotASerialPort},
        {dir.filePath("file"), Kind::NotASerialPort},
    };
    for (const auto& [path, kind] : cases) {
        SCOPED_TRACE(path.toStdString());
        QtSerialLink link;
        link.setPortName(path);
        try {
            link.open();
            ADD_FAILURE() << "opened";
        } catch (const SerialError& error) {
            EXPECT_EQ(error.kind(), kind);
            EXPECT_EQ(error.systemWords(), QString());
        }
        EXPECT_FALSE(link.isOpen());
    }
}

// Empty bytes: no file at all.
void replaceFile(const QString& path, const QByteArray& bytes) {
    QFile::remove(path);
    if (!bytes.isEmpty()) {
        ASSERT_TRUE(writeBytes(path, bytes));
    }
}

TEST(SerialSettingsStore, WritesTheEightKeysInOrderAndKeepsTheUsersOwnLines) {
    const QByteArray otherKeys =
        "par4=115200\r\npar1=1\r\npar3=n\r\npar2=8\r\npar0=0\r\nInBuff=2048\r\nOutBuff=2048\r\n";
    QTemporaryDir dir;
    const SerialSettingsStore store(SerialSettingsStore::defaultPath(dir.path()));
    store.writeCommSet("COM3");
    EXPECT_EQ(fileBytes(store.path()), "[RUVAdev]\r\npar5=COM3\r\n" + otherKeys);

    replaceFile(store.path(),
                "; my notes\n[Other]\nkey=1\n\n[ruvadev]\nPAR5 = COM12\nmine=yes\n\n[Last]\nx=2\n");
    EXPECT_EQ(store.portName(), "COM12");
    store.writeCommSet("/dev/ttyUSB0");
    EXPECT_EQ(
        fileBytes(store.path()),
        "; my notes\r\n[Other]\r\nkey=1\r\n\r\n[ruvadev]\r\npar5=/dev/ttyUSB0\r\nmine=yes\r\n" +
            otherKeys + "\r\n[Last]\r\nx=2\r\n");
}

TEST(SerialSettingsStore, UnreadableOrMissingGivesTheEmptyText) {
    QTemporaryDir dir;
    const QString path = dir.filePath("RUVAdev.ini");
    const std::pair<QByteArray, QString> cases[] = {
        {{}, {}},
        {"[Other]\npar5=COM1\n", {}},
        {"[RUVAdev]\npar4=115200\n", {}},
        {"[RUVAdev]\npar5=\"COM4\"\n", "COM4"},
        {"[RUVAdev]\npar5=" + QByteArray(300, 'x') + "\n", QString(254, u'x')},
    };
    for (const auto& [file, value] : cases) {
        replaceFile(path, file);
        EXPECT_EQ(SerialSettingsStore(path).portName(), value) << file.toStdString();
    }
}

// Beside the program in a build or an unpacked folder; never in an installed
// program's folder, which belongs to the package manager. There the window and
// kv120ctl share the user's file: the port one remembers is the one the other finds.
TEST(SerialSettingsStore, BesideTheProgramOnlyOutsideAnInstalledFolderElseTheUsersOwn) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir root;
    const QString bin = root.filePath("bin");
    const QString installedBin = root.filePath("usr/bin");
    QDir().mkpath(bin);
    QDir().mkpath(installedBin);
    QDir().mkpath(root.filePath("usr/share/metainfo"));
    replaceFile(root.filePath("usr/share/metainfo/org.kv120config.kv120config.metainfo.xml"),
                "<component/>");
    EXPECT_EQ(SerialSettingsStore::pathBeside(bin), bin + "/RUVAdev.ini");
    EXPECT_EQ(SerialSettingsStore::pathBeside(installedBin), SerialSettingsStore::userPath());
    EXPECT_EQ(SerialSettingsStore::pathBeside(root.filePath("missing")),
              SerialSettingsStore::userPath());

    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("kv120-config");
    // As on a first run, the folder is not there yet.
    QDir(QFileInfo(SerialSettingsStore::userPath()).path()).removeRecursively();
    const SerialSettingsStore window(SerialSettingsStore::userPath());
    window.writeCommSet("/dev/ttyUSB1");
    QCoreApplication::setApplicationName("kv120ctl");
    EXPECT_EQ(SerialSettingsStore(SerialSettingsStore::userPath()).portName(), "/dev/ttyUSB1");
    QFile::remove(window.path());
    QCoreApplication::setApplicationName(ownName);
    QStandardPaths::setTestModeEnabled(false);
}

// The system lists no pseudo-terminal: a watched path (kv120-sim's --link)
// is listed as an adapter while it leads to one, and not once it is gone.
TEST(SystemPortLister, AWatchedPathIsAPortWhileItExists) {
    QTemporaryDir dir;
    PseudoTerminal terminal;
    terminal.open();
    const QString link = dir.filePath("kv120");
    const SystemPortLister lister({link});
    const PortInfo linked{link, terminal.slavePath(), {}, true};
    // Present, and openable.
    const auto lists = [&lister, &linked] {
        return std::pair(lister.presentPorts().contains(linked),
                         lister.openablePorts().contains(linked));
    };
    EXPECT_EQ(lists(), std::pair(false, false));
    ASSERT_TRUE(QFile::link(terminal.slavePath(), link));
    EXPECT_EQ(lists(), std::pair(true, true));
    terminal.close();
    EXPECT_EQ(lists(), std::pair(false, false));
    // Each port the system lists is known by its adapter's identity, else by
    // its name (a built-in port, where the machine has one).
    for (const PortInfo& port : SystemPortLister(QStringList()).presentPorts()) {
        EXPECT_EQ(identityOfPort(port.name), port.identity.isEmpty() ? port.name : port.identity);
    }
}

}  // namespace
