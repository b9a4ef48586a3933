#include "process/inputfile.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

InputFile readOpen(QFile& file, QByteArray bytes, qint64 limit) {
    // A pipe or a device may hand out less than asked at a time.
    while (bytes.size() <= limit) {
        const QByteArray more = file.read(limit + 1 - bytes.size());
        if (more.isEmpty()) {
            break;
        }
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError) {
        return {{}, file.errorString()};
    }
    return {bytes, {}};
}

#ifdef Q_OS_UNIX
bool isPipe(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISFIFO(status.st_mode);
}

// Opening a FIFO for reading waits until a program opens it for writing; here
// it does not wait. A pipe with no writer then reads as its end at once, one
// whose writer has not written yet as EAGAIN.
InputFile readPipe(const QString& path, qint64 limit) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {{}, QString::fromLocal8Bit(std::strerror(errno))};
    }
    QByteArray bytes;
    char byte = 0;
    const ssize_t got = ::read(fd, &byte, 1);
    if (got == 1) {
        bytes.append(byte);
    } else if (!(got < 0 && errno == EAGAIN)) {
        ::close(fd);
        return {{}, QStringLiteral("a pipe that no program writes to")};
    }
    // From here on the reads wait for the writer, as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return {{}, file.errorString()};
    }
    return readOpen(file, bytes, limit);
}
#endif

}  // namespace

InputFile readInputFile(const QString& path, qint64 limit) {
#ifdef Q_OS_UNIX
    if (isPipe(path)) {
        return readPipe(path, limit);
    }
#endif
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {{}, file.errorString()};
    }
    return readOpen(file, {}, limit);
}
