#pragma once

#include "serial/clock.h"
#include "serial/seriallink.h"

#include <QByteArray>
#include <QList>

#include <functional>

// A port whose far end is the test: it records every write and close with
// its virtual time, lets the test deliver bytes, and can answer writes
// through a script. Used where a test needs the loader's requests byte by
// byte and at exact moments.
class ScriptedLink : public SerialLink {
public:
    struct Event {
        enum class Kind { Write, Close } kind;
        qint64 atMs;
        QByteArray bytes;
    };
    using Responder = std::function<void(const QByteArray& written)>;

    explicit ScriptedLink(Clock& clock) : clock_(clock) {}

    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override {
        if (open_ || busy) {
            throw SerialError(SerialError::Kind::Busy, QStringLiteral("port in use"));
        }
        open_ = true;
        ++opens;
    }
    void close() override {
        if (open_) {
            open_ = false;
            events.push_back({Event::Kind::Close, clock_.nowMs(), {}});
        }
    }
    bool isOpen() const override { return open_; }
    void write(const QByteArray& bytes) override {
        if (!open_) {
            throw SerialError(SerialError::Kind::NotOpen, QStringLiteral("the port is not open"));
        }
        if (failWrites) {
            throw SerialError(SerialError::Kind::WriteFailed, QStringLiteral("write failed"));
        }
        events.push_back({Event::Kind::Write, clock_.nowMs(), bytes});
        if (responder) {
            responder(bytes);
        }
    }

    // The device sends bytes; they reach the receiver at once.
    void send(const QByteArray& bytes) { deliver(bytes); }
    // The device sends bytes afterMs from now, if the port is still open then.
    void sendLater(int afterMs, const QByteArray& bytes) {
        clock_.post(afterMs, [this, bytes] {
            if (open_) {
                deliver(bytes);
            }
        });
    }

    QList<QByteArray> writes() const {
        QList<QByteArray> written;
        for (const Event& event : events) {
            if (event.kind == Event::Kind::Write) {
                written.append(event.bytes);
            }
        }
        return written;
    }

    QList<Event> events;
    Responder responder;
    bool failWrites = false;
    bool busy = false;
    int opens = 0;

private:
    Clock& clock_;
    QString name_;
    bool open_ = false;
};
