#pragma once

#include "serial/clock.h"
#include "serial/seriallink.h"
#include "sim/inboundline.h"

class SimulatedDevice;

// A serial link to a SimulatedDevice in the same process. Bytes written cross
// the line as clock events, at the device's line rate; the device's answers
// come back while the link is open. The link holds the device's sender and
// gone handler for as long as it lives.
class SimLink : public SerialLink {
public:
    SimLink(SimulatedDevice& device, Clock& clock);
    ~SimLink() override;
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    void setPortName(const QString& name) override;
    QString portName() const override { return name_; }
    void open() override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    void write(const QByteArray& bytes) override;

    // Another program holds the port: opening it fails as busy.
    void setBusy(bool busy) { busy_ = busy; }

private:
    void fromDevice(const QByteArray& bytes);
    void deviceGone();

    SimulatedDevice& device_;
    QString name_;
    bool open_ = false;
    bool busy_ = false;
    InboundLine line_;
};
