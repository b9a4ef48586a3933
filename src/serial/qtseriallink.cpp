#include "serial/qtseriallink.h"

#include <QElapsedTimer>

#ifdef Q_OS_UNIX
#include <termios.h>
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
    port_.setPortName(name);
}

QString QtSerialLink::portName() const {
    return port_.portName();
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
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        const QString reason = port_.errorString();
        port_.clearError();
        throw SerialError(kindOf(error), reason);
    }
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
