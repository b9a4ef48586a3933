#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <stdexcept>

// A port operation that failed: opening a port that is missing or busy,
// writing to a closed port, or changing the port while it is open.
class SerialError : public std::runtime_error {
public:
    enum class Kind { NotFound, Busy, PermissionDenied, NotOpen, IsOpen, WriteFailed, Other };

    SerialError(Kind kind, const QString& reason)
        : std::runtime_error(reason.toStdString()), kind_(kind), reason_(reason) {}

    Kind kind() const { return kind_; }
    // The system's own words for what went wrong.
    const QString& reason() const { return reason_; }

private:
    Kind kind_;
    QString reason_;
};

// The serial port as the exchanges see it. The line is always 115200 baud, no
// parity, 8 data bits, 1 stop bit, no flow control.
class SerialLink {
public:
    using Receiver = std::function<void(const QByteArray&)>;
    using LossHandler = std::function<void(const QString& reason)>;

    virtual ~SerialLink() = default;

    // The port is named as the port selector shows it: "COM3", "/dev/ttyUSB0",
    // a pseudo-terminal path, or "SIM". Throws SerialError(IsOpen) while open.
    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;

    virtual void open() = 0;  // throws SerialError
    // Every byte written before close() reaches the device before the port closes.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the bytes and returns without waiting; throws SerialError when closed.
    virtual void write(const QByteArray& bytes) = 0;

    // Called with the bytes received, oldest first, as they arrive. The
    // receiver must not wait (no delay, no modal message) inside the call.
    void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }
    // Called when the open port goes away (a USB adapter unplugged); the link
    // is closed by then.
    void setLossHandler(LossHandler handler) { lossHandler_ = std::move(handler); }

protected:
    void deliver(const QByteArray& bytes) const {
        if (receiver_) {
            receiver_(bytes);
        }
    }
    void reportLoss(const QString& reason) const {
        if (lossHandler_) {
            lossHandler_(reason);
        }
    }

private:
    Receiver receiver_;
    LossHandler lossHandler_;
};
