#pragma once

#include "serial/portlister.h"
#include "sim/simlink.h"
#include "sim/simulateddevice.h"
#include "support/simcommands.h"
#include "update/updaterig.h"

// The simulated device on the port, at 115200 baud unless the knobs say
// otherwise, with the port selector on it.
struct SimRig : RigBase {
    explicit SimRig(SimKnobs knobs = lineRateKnobs()) : device(clock, std::move(knobs)) {
        form.setText(Ctl::Combo1, kSimPortName);
    }
    static SimKnobs lineRateKnobs() {
        SimKnobs knobs;
        knobs.bytesPerSecond = kLineRate115200;
        return knobs;
    }

    // Clicks "update" with the image loaded and lets the update run its course.
    void runUpdate(int forMs = 90'000) {
        updater.updateStart();
        clock.advance(forMs);
    }
    bool usable() const { return idle(form) && !link.isOpen(); }
    QByteArrayList commands() const { return commandTexts(device); }

    SimulatedDevice device;
    SimLink link{device, clock};
    Session session{form, link, clock, prompter, store};
    Updater updater{session};
};
