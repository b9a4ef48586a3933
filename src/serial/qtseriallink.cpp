#include "serial/qtseriallink.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// 115200 baud, 8N1: ten bits on the wire per byte.
constexpr qint64 kBytesPerSecond = 11520;
// The device's receive buffers are small; the input side keeps what one
// exchange can send between two reads.
constexpr qint64 kReadBufferBytes = 4096;

SerialError::Kind kindOf(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return SerialError::Kind::NotFound;
        case QSerialPort::PermissionError:
            return SerialError::Kind::PermissionDenied;
        case QSerialPort::OpenError:
            return SerialError::Kind::Busy;
        default:
            return SerialError::Kind::Other;
    }
}

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
// The program that QSerialPort's lock file names, as "kv120ctl, process 1234";
// empty when no lock file tells. The file is named after the path without
// "/dev/", every "/" made "_", in the first lock folder that has it.
QString lockHolder(const QString& path) {
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    name.replace(u'/', u'_');
    for (const QString& folder : {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"),
                                  QStringLiteral("/tmp"), QDir::tempPath()}) {
        qint64 pid = 0;
        QString host;
        QString program;
        if (QLockFile(folder + QStringLiteral("/LCK..") + name)
                .getLockInfo(&pid, &host, &program)) {
            return QStringLiteral("%1, process %2").arg(program).arg(pid);
        }
    }
    return {};
}
#endif

QString inUse(const QString& path) {
    QString text = QStringLiteral("the port is in use by another program");
#ifdef Q_OS_UNIX
    const QString holder = lockHolder(path);
    if (!holder.isEmpty()) {
        text += QStringLiteral(" (%1)").arg(holder);
    }
#else
    Q_UNUSED(path);
#endif
    return text;
}

#ifdef Q_OS_UNIX
// QSerialPort reports a lock held by another program as a permission error;
// it is one only when the device itself may not be opened.
bool mayOpen(const QString& path) {
    const QString device = path.contains(u'/') ? path : QStringLiteral("/dev/") + path;
    return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0;
}
#endif

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
        throw SerialError(SerialError::Kind::IsOpen, QStringLiteral("the port is open"));
    }
    name_ = name;
}

QString QtSerialLink::portName() const {
    return name_;
}

void QtSerialLink::open() {
    if (port_.isOpen()) {
        throw SerialError(SerialError::Kind::IsOpen, QStringLiteral("the port is open"));
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
        const QString reason = port_.errorString();
        port_.clearError();
#ifdef Q_OS_UNIX
        if (error == QSerialPort::PermissionError && mayOpen(path)) {
            throw SerialError(SerialError::Kind::Busy, inUse(path));
        }
#endif
        throw SerialError(kindOf(error), reason);
    }
#ifdef Q_OS_UNIX
    // The lock file and the exclusive-open flag both let root through, and a
    // stale lock file can be taken over: a lock on the device itself holds
    // for every opener that asks for it, whatever name it opened.
    if (::flock(port_.handle(), LOCK_EX | LOCK_NB) != 0) {
        port_.close();
        throw SerialError(SerialError::Kind::Busy, inUse(path));
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
        throw SerialError(SerialError::Kind::NotOpen, QStringLiteral("the port is not open"));
    }
    if (port_.write(bytes) != bytes.size()) {
        throw SerialError(SerialError::Kind::WriteFailed, port_.errorString());
    }
}

void QtSerialLink::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) {
        deliver(bytes);
    }
}

void QtSerialLink::onError(QSerialPort::SerialPortError error) {
    // An unplugged adapter shows up as a resource error or, in Qt 6.4,
    // sometimes as a read error. The port is closed from a queued call: not
    // from inside QSerialPort's own notification.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        return;
    }
    const QString reason = port_.errorString();
    QMetaObject::invokeMethod(
        this,
        [this, reason] {
            if (!port_.isOpen()) {
                return;
            }
            port_.clearError();
            port_.close();
            reportLoss(reason);
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
