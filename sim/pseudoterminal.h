#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

// A pseudo-terminal in raw mode: a serial program opens its slave path like
// a port, and whatever it writes comes out here, and the other way round.
// The only POSIX-only code of the simulated device.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    using Receiver = std::function<void(const QByteArray& bytes)>;

    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // Throws std::runtime_error when the system has no pseudo-terminal to give.
    void open();
    // The far end sees the line hang up.
    void close();
    bool isOpen() const { return master_ >= 0; }
    // What a serial program opens, for example /dev/pts/3.
    QString slavePath() const { return slavePath_; }

    // Bytes towards the program that holds the slave.
    void write(const QByteArray& bytes);
    // Called with the bytes the program wrote, as they arrive.
    void setReceiver(Receiver receiver) { receiver_ = std::move(receiver); }

private:
    void readAvailable();

    int master_ = -1;
    // Held open so that the terminal lives on while the program closes and
    // reopens its port between operations.
    int slave_ = -1;
    QString slavePath_;
    QSocketNotifier* readable_ = nullptr;
    Receiver receiver_;
};
