#include "serial/portusers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace {

// QSerialPort's lock file is named after the path without "/dev/", every
// "/" made "_", in the first lock folder that has it.
QList<PortUser> lockFileHolder(const QString& path) {
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    name.replace(u'/', u'_');
    for (const QString& folder : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                                  QStringLiteral("/tmp"), QDir::tempPath()}) {
        qint64 pid = 0;
        QString host;
        QString program;
        if (QLockFile(folder + QStringLiteral("/LCK..") + name)
                .getLockInfo(&pid, &host, &program)) {
            // This program's own lock, taken when it opened the port, names no other.
            return pid == QCoreApplication::applicationPid() ? QList<PortUser>()
                                                             : QList<PortUser>{{program, pid}};
        }
    }
    return {};
}

#ifdef Q_OS_LINUX
// The pseudo-terminal numbers whose master side the process holds: the
// kernel names each in the descriptor's fdinfo.
QList<int> heldTerminalMasters(const QString& process) {
    QList<int> masters;
    const QDir descriptors(process + QStringLiteral("/fd"));
    for (const QString& fd : descriptors.entryList(QDir::Files | QDir::System)) {
        const QString target = QFileInfo(descriptors.filePath(fd)).symLinkTarget();
        if (target != QLatin1String("/dev/ptmx") && target != QLatin1String("/dev/pts/ptmx")) {
            continue;
        }
        QFile info(process + QStringLiteral("/fdinfo/") + fd);
        if (!info.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : info.readAll().split('\n')) {
            if (line.startsWith("tty-index:")) {
                masters << line.mid(10).trimmed().toInt();
            }
        }
    }
    return masters;
}

QList<PortUser> processesHolding(const QString& path) {
    const QString ownPid = QString::number(QCoreApplication::applicationPid());
    const bool terminal = path.startsWith(QLatin1String("/dev/pts/"));
    const int terminalNumber = terminal ? path.mid(9).toInt() : -1;
    QList<PortUser> users;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const qint64 number = pid.toLongLong(&isNumber);
        if (!isNumber || pid == ownPid) {
            continue;
        }
        const QString process = proc.filePath(pid);
        const QDir descriptors(process + QStringLiteral("/fd"));
        bool holds = false;
        for (const QString& fd : descriptors.entryList(QDir::Files | QDir::System)) {
            holds = holds || QFileInfo(descriptors.filePath(fd)).symLinkTarget() == path;
        }
        if (!holds || (terminal && heldTerminalMasters(process).contains(terminalNumber))) {
            continue;
        }
        QFile comm(process + QStringLiteral("/comm"));
        const QString program =
            comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : pid;
        users.append({program, number});
    }
    return users;
}
#endif

}  // namespace

QList<PortUser> portUsers(const QString& path) {
    QList<PortUser> users = lockFileHolder(path);
#ifdef Q_OS_LINUX
    if (users.isEmpty()) {
        users = processesHolding(path);
    }
#endif
    return users;
}
