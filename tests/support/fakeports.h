#pragma once

#include "serial/portlister.h"

// A machine with exactly these openable ports.
class FakePortLister : public PortLister {
public:
    explicit FakePortLister(QList<PortInfo> ports = {}) : ports(std::move(ports)) {}
    QList<PortInfo> openablePorts() const override {
        ++probes;
        return ports;
    }

    QList<PortInfo> ports;
    mutable int probes = 0;  // how often the machine was asked
};
