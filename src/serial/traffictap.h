#pragma once

#include "serial/seriallink.h"

#include <functional>

// A serial link that passes everything through to another one and, while a
// recorder is set, hands it every byte written and received. Without a
// recorder it costs one test per write and per batch received. The traffic
// view sits on the program's link for good and records from start-up on.
class TrafficTap : public SerialLink {
public:
    enum class Direction { Sent, Received };
    using Recorder = std::function<void(Direction, const QByteArray&)>;

    explicit TrafficTap(SerialLink& inner);
    TrafficTap(const TrafficTap&) = delete;
    TrafficTap& operator=(const TrafficTap&) = delete;

    // An empty recorder stops the recording.
    void setRecorder(Recorder recorder) { recorder_ = std::move(recorder); }
    bool isRecording() const { return static_cast<bool>(recorder_); }

    void setPortName(const QString& name) override { inner_.setPortName(name); }
    QString portName() const override { return inner_.portName(); }
    void open() override { inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    // Only bytes the port took are recorded: a failed write throws first.
    void write(const QByteArray& bytes) override;
    QList<PortUser> otherUsers() const override { return inner_.otherUsers(); }

private:
    SerialLink& inner_;
    Recorder recorder_;
};
