#include "serial/qtseriallink.h"

#include "serial/portusers.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// 115200 baud, 8N1: ten bits on the wire per byte.
constexpr qint64 kBytesPerSecond = 11520;
// The device's receive buffers are small; the input side keeps what one
// exchange can send between two reads.
constexpr qint64 kReadBufferBytes = 4096;

// One device under two names (a symbolic link, /dev/serial/by-id/...) is one
// port: QSerialPort names its lock file after the path it opens.
QString canonicalPath(const QString& name) {
#ifdef Q_OS_UNIX
    if (name.contains(u'/')) {
        const QString canonical = QFileInfo(name).canonicalFilePath();
        if (!canonical.isEmpty()) {
            return canonical;
        }
    }
#endif
    return name;
}

#ifdef Q_OS_UNIX
// The device file QSerialPort opens for a name.
QString deviceFile(const QString& path) {
    return path.contains(u'/') ? path : QStringLiteral("/dev/") + path;
}
#endif

// Why a port did not open, in the terms the user is told. QSerialPort's own
// words are the system's last error, which says "Inappropriate ioctl for
// device" of a plain file and reports a lock held by another program as a
// permission error.
SerialError openFailure(QSerialPort::SerialPortError error, const QString& path,
                        const QString& systemWords) {
    using Kind = SerialError::Kind;
#ifdef Q_OS_UNIX
    const QString device = deviceFile(path);
    if (error == QSerialPort::DeviceNotFoundError || !QFileInfo::exists(device)) {
        return SerialError(Kind::NotFound);
    }
    struct stat status {};
    const bool characterDevice =
        ::stat(QFile::encodeName(device).constData(), &status) == 0 && S_ISCHR(status.st_mode);
    if (!characterDevice || error == QSerialPort::UnsupportedOperationError) {
        return SerialError(Kind::NotASerialPort);
    }
    if (error == QSerialPort::PermissionError) {
        if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0) {
            return SerialError(Kind::Busy, {}, portUsers(path));
        }
        return SerialError(Kind::PermissionDenied);
    }
#endif
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return SerialError(Kind::NotFound);
        case QSerialPort::PermissionError:
            return SerialError(Kind::PermissionDenied);
        case QSerialPort::OpenError:
            return SerialError(Kind::Busy, {}, portUsers(path));
        case QSerialPort::UnsupportedOperationError:
            return SerialError(Kind::NotASerialPort);
        default:
            return SerialError(Kind::Other, systemWords);
    }
}

}  // namespace

QtSerialLink::QtSerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialLink::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialLink::onError);
}

QtSerialLink::~QtSerialLink() {
    close();
}

void QtSerialLink::setPortName(const QString& name) {
    if (port_.isOpen()) {
        throw SerialError(SerialError::Kind::IsOpen);
    }
    name_ = name;
}

QString QtSerialLink::portName() const {
    return name_;
}

void QtSerialLink::open() {
    if (port_.isOpen()) {
        throw SerialError(SerialError::Kind::IsOpen);
    }
    port_.setBaudRate(QSerialPort::Baud115200);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.setReadBufferSize(kReadBufferBytes);
    const QString path = canonicalPath(name_);
    port_.setPortName(path);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        const QString systemWords = port_.errorString();
        port_.clearError();
        throw openFailure(error, path, systemWords);
    }
#ifdef Q_OS_UNIX
    // The lock file and the exclusive-open flag both let root through, and a
    // stale lock file can be taken over: a lock on the device itself holds
    // for every opener that asks for it, whatever name it opened.
    if (::flock(port_.handle(), LOCK_EX | LOCK_NB) != 0) {
        port_.close();
        throw SerialError(SerialError::Kind::Busy, {}, portUsers(path));
    }
#endif
    // QSerialPort keeps what arrived before the port was ours; the device's
    // answers must start fresh.
    port_.clear(QSerialPort::Input);
}

void QtSerialLink::close() {
    if (!port_.isOpen()) {
        return;
    }
    drain();
    port_.close();
}

bool QtSerialLink::isOpen() const {
    return port_.isOpen();
}

void QtSerialLink::write(const QByteArray& bytes) {
    if (!port_.isOpen()) {
        throw SerialError(SerialError::Kind::NotOpen);
    }
    if (port_.write(bytes) != bytes.size()) {
        const QString systemWords = port_.errorString();
        port_.clearError();
        throw SerialError(SerialError::Kind::WriteFailed, systemWords);
    }
}

QList<PortUser> QtSerialLink::otherUsers() const {
    return portUsers(canonicalPath(name_));
}

void QtSerialLink::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) {
        deliver(bytes);
    }
}

bool QtSerialLink::deviceStillThere() const {
#ifdef Q_OS_UNIX
    // A terminal that has gone away (an adapter pulled out, the far end of a
    // pseudo-terminal closed) is hung up, and refuses even to tell its
    // settings.
    termios settings{};
    return port_.handle() >= 0 && tcgetattr(port_.handle(), &settings) == 0;
#else
    return false;
#endif
}

void QtSerialLink::onError(QSerialPort::SerialPortError error) {
    // An unplugged adapter shows up as a resource error or, in Qt 6.4,
    // sometimes as a read error. Either is also what QSerialPort makes of a
    // read that found nothing because another program sharing the port (one
    // that takes no lock) took the bytes first, and QSerialPort then stops
    // reading. The port is looked at, and closed or read again, from a queued
    // call: not from inside QSerialPort's own notification.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!port_.isOpen()) {
                return;
            }
            port_.clearError();
            if (deviceStillThere()) {
                onReadyRead();  // a read starts QSerialPort's reading again
                return;
            }
            port_.close();
            reportLoss();
        },
        Qt::QueuedConnection);
}

void QtSerialLink::drain() {
    // close() throws away what QSerialPort still holds, and flush() only
    // starts to send it: wait until the buffer is empty, allowing for the line
    // rate, then until the driver has put the last byte on the wire.
    QElapsedTimer waited;
    waited.start();
    const qint64 bound = 1000 + port_.bytesToWrite() * 1000 / kBytesPerSecond * 2;
    while (port_.bytesToWrite() > 0 && waited.elapsed() < bound) {
        if (!port_.waitForBytesWritten(static_cast<int>(bound - waited.elapsed()))) {
            break;
        }
    }
#ifdef Q_OS_UNIX
    if (port_.handle() >= 0) {
        tcdrain(port_.handle());
    }
#endif
}
