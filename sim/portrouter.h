#pragma once

#include "serial/seriallink.h"

// The link the program uses: the port named SIM is the simulated device, any
// other name a real port. Received bytes and loss reports of both pass through.
class PortRouter : public SerialLink {
public:
    PortRouter(SerialLink& real, SerialLink& simulated);

    void setPortName(const QString& name) override;
    QString portName() const override { return name_; }
    void open() override { active().open(); }
    void close() override { active().close(); }
    bool isOpen() const override { return active().isOpen(); }
    void write(const QByteArray& bytes) override { active().write(bytes); }
    QList<PortUser> otherUsers() const override { return active().otherUsers(); }

private:
    SerialLink& active() const;

    SerialLink& real_;
    SerialLink& simulated_;
    QString name_;
};
