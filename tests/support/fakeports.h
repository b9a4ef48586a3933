#pragma once

#include "serial/portlister.h"

// A machine with exactly these ports, all of them openable; a test plugs and
// unplugs adapters by changing the list.
class FakePortLister : public PortLister {
public:
    explicit FakePortLister(QList<PortInfo> ports = {}) : ports(std::move(ports)) {}
    QList<PortInfo> openablePorts() const override { return ports; }
    QList<PortInfo> presentPorts() const override {
        ++asked;
        return ports;
    }

    QList<PortInfo> ports;
    mutable int asked = 0;  // how often the system's list was read
};
