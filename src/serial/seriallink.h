#pragma once

#include <QByteArray>
#include <QString>

#include <QList>

#include <functional>
#include <stdexcept>

// A program that has a port open: its name and process number.
struct PortUser {
    QString program;
    qint64 pid = 0;

    bool operator==(const PortUser&) const = default;
};

// A port operation that failed: opening a port that is missing, is no serial
// port or is busy, writing to a closed port, or changing the port while it
// is open. The words the user reads are the caller's, in the user's
// language; the error carries only what the kind does not say.
class SerialError : public std::runtime_error {
public:
    enum class Kind {
        NotFound,
        NotASerialPort,  // a folder, a file, a pipe, a device that is no terminal
        Busy,
        PermissionDenied,
        NotOpen,
        IsOpen,
        WriteFailed,
        Other
    };

    explicit SerialError(Kind kind, const QString& systemWords = {}, QList<PortUser> users = {})
        : std::runtime_error(systemWords.toStdString()),
          kind_(kind),
          systemWords_(systemWords),
          users_(std::move(users)) {}

    Kind kind() const { return kind_; }
    // The system's own words, for the failures the kind does not explain
    // (WriteFailed, Other); empty for the others.
    const QString& systemWords() const { return systemWords_; }
    // Busy: the programs that hold the port, when they can be known.
    const QList<PortUser>& users() const { return users_; }

private:
    Kind kind_;
    QString systemWords_;
    QList<PortUser> users_;
};

// The serial port as the exchanges see it. The line is always 115200 baud, no
// parity, 8 data bits, 1 stop bit, no flow control.
class SerialLink {
public:
    using Receiver = std::function<void(const QByteArray&)>;
    using LossHandler = std::function<void()>;

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
    // The other programs that have the port's device open, as far as the
    // system tells: a program that takes no lock may read the device's
    // answers before this one does.
    virtual QList<PortUser> otherUsers() const { return {}; }

    // Called with the bytes received, oldest first, as they arrive. The
    // receiver must not wait (no delay, no modal message) inside the call.
    void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }
    // Called when the open port goes away (a USB adapter unplugged); the link
    // is closed by then. The system's words for it are not passed on: they
    // are often those of an earlier, unrelated failure.
    void setLossHandler(LossHandler handler) { lossHandler_ = std::move(handler); }

protected:
    void deliver(const QByteArray& bytes) const {
        if (receiver_) {
            receiver_(bytes);
        }
    }
    void reportLoss() const {
        if (lossHandler_) {
            lossHandler_();
        }
    }

private:
    Receiver receiver_;
    LossHandler lossHandler_;
};
