#include "process/outputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

QString replaceWhole(const QString& path, const QByteArray& bytes) {
    // Until commit() the bytes go to a temporary file beside the old one;
    // leaving without commit() removes it. QSaveFile follows a symbolic link
    // to the file it names. Qt 6.4's commit() ignores a failed flush of its
    // write buffer and would put a cut-off file (a full disk, a size quota)
    // in place of the old one, so the flush is checked first.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        return file.errorString();
    }
    return {};
}

#ifdef Q_OS_UNIX
QString systemReason() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Writes every byte to fd and closes it.
QString writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const QString reason = systemReason();
            ::close(fd);
            return reason;
        }
        done += n;
    }
    return ::close(fd) == 0 ? QString() : systemReason();
}

// A device or a pipe, opened as a shell's ">" opens it, but not made the
// program's terminal; opening a pipe for writing waits for a reader, here it
// does not.
QString writeInPlace(const QByteArray& name, const QByteArray& bytes, bool pipe) {
    const int fd =
        ::open(name.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (pipe ? O_NONBLOCK : 0));
    if (fd < 0) {
        return pipe && errno == ENXIO ? QStringLiteral("no program reads from this pipe")
                                      : systemReason();
    }
    if (pipe) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return writeAll(fd, bytes);
}

// A socket is not opened but connected to, unless it is the program's own
// standard output or error (/dev/stdout under a service manager), which is
// written as it is.
QString writeToSocket(const QByteArray& name, const struct stat& target, const QByteArray& bytes) {
    for (const int own : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat status {};
        if (::fstat(own, &status) == 0 && status.st_dev == target.st_dev &&
            status.st_ino == target.st_ino) {
            return writeAll(::dup(own), bytes);
        }
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) {
        return QStringLiteral("the socket's name is too long");
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const QString reason = systemReason();
        if (fd >= 0) {
            ::close(fd);
        }
        return reason;
    }
    return writeAll(fd, bytes);
}
#endif

}  // namespace

QString writeFileWhole(const QString& path, const QByteArray& bytes) {
#ifdef Q_OS_UNIX
    // What the name stands for, links followed; a name that stands for
    // nothing yet becomes a regular file.
    const QByteArray name = QFile::encodeName(path);
    struct stat target {};
    if (::stat(name.constData(), &target) == 0) {
        if (S_ISCHR(target.st_mode) || S_ISFIFO(target.st_mode)) {
            return writeInPlace(name, bytes, S_ISFIFO(target.st_mode));
        }
        if (S_ISSOCK(target.st_mode)) {
            return writeToSocket(name, target, bytes);
        }
        if (S_ISDIR(target.st_mode)) {
            return QStringLiteral("it is a folder");
        }
        if (!S_ISREG(target.st_mode)) {
            return QStringLiteral("it is a device that is written only whole (a disk), not a file");
        }
    }
#endif
    return replaceWhole(path, bytes);
}
