#pragma once

#include "serial/clock.h"
#include "serial/portlister.h"

#include <QString>

#include <functional>

class Form;
struct RememberedAdapter;

// The port list follows the cable. Once a second, while the window is idle,
// the machine is asked which ports are present (nothing is opened for it).
// When they change, the list is made anew; exactly one new port is selected,
// and the status box says so. The selected port that goes away stays
// selected, marked in the list as unplugged, and its adapter is selected
// again as soon as it comes back, under whatever name. While an exchange or
// an update runs nothing is asked, so the port in use never changes under it.
class PortWatch {
public:
    static constexpr int kPollMs = 1000;

    PortWatch(Form& form, Clock& clock, const PortLister& ports, std::function<bool()> idle);
    ~PortWatch();
    PortWatch(const PortWatch&) = delete;
    PortWatch& operator=(const PortWatch&) = delete;

    // Fills the list with the ports that open now and, last, the simulated
    // device; the selected port, while its adapter is away, keeps its place
    // with its mark.
    void refreshList();
    // The adapter remembered at start-up that is not plugged in: selected as
    // soon as it is, when the remembered port is still the one selected.
    void awaitRemembered(const RememberedAdapter& adapter);

private:
    void poll();
    void select(const PortInfo& port);
    QString describe(const PortInfo& port) const;
    void tell(const QString& line);

    Form& form_;
    Clock& clock_;
    const PortLister& ports_;
    std::function<bool()> idle_;
    Clock::TimerId timer_ = 0;
    QList<PortInfo> present_;
    // The selected port whose adapter is away, and that adapter's identity.
    QString unplugged_;
    QString awaited_;
};
