#pragma once

#include "serial/seriallink.h"

#include <QObject>
#include <QSerialPort>

// The real port, over QSerialPort.
class QtSerialLink : public QObject, public SerialLink {
    Q_OBJECT
public:
    explicit QtSerialLink(QObject* parent = nullptr);
    ~QtSerialLink() override;

    void setPortName(const QString& name) override;
    QString portName() const override;
    void open() override;
    void close() override;
    bool isOpen() const override;
    void write(const QByteArray& bytes) override;
    QList<PortUser> otherUsers() const override;

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    bool deviceStillThere() const;
    // Pushes every queued byte out of the port, within a bound that allows
    // for the line rate.
    void drain();

    QSerialPort port_;
    QString name_;  // as given; the port opens by its canonical path
};
