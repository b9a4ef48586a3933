#include "app/portwatch.h"

#include "app/form.h"
#include "app/rememberedport.h"
#include "app/texts.h"

#include <algorithm>

namespace {

const PortInfo* find(const QList<PortInfo>& ports, const std::function<bool(const PortInfo&)>& is) {
    const auto found = std::find_if(ports.begin(), ports.end(), is);
    return found == ports.end() ? nullptr : &*found;
}

const PortInfo* named(const QList<PortInfo>& ports, const QString& name) {
    return find(ports, [&name](const PortInfo& port) { return port.name == name; });
}

}  // namespace

PortWatch::PortWatch(Form& form, Clock& clock, const PortLister& ports, std::function<bool()> idle)
    : form_(form),
      clock_(clock),
      ports_(ports),
      idle_(std::move(idle)),
      present_(ports.presentPorts()) {
    timer_ = clock_.startTimer(kPollMs, [this] { poll(); });
}

PortWatch::~PortWatch() {
    clock_.stopTimer(timer_);
}

void PortWatch::refreshList() {
    QList<PortInfo> offered =
        offeredPorts(ports_, text(Msg::SimulatedDeviceNote, form_.language()));
    const QString selected = form_.text(Ctl::Combo1);
    if (!unplugged_.isEmpty() && unplugged_ == selected && !named(offered, selected)) {
        // Before the simulated device, which stays last.
        offered.insert(offered.size() - 1,
                       {selected, text(Msg::PortUnpluggedNote, form_.language())});
    }
    form_.clearItems(Ctl::Combo1);
    for (const PortInfo& port : offered) {
        form_.addItem(Ctl::Combo1, port.name, port.description);
    }
}

void PortWatch::awaitRemembered(const RememberedAdapter& adapter) {
    const bool present = find(
        present_, [&adapter](const PortInfo& port) { return port.identity == adapter.identity; });
    if (adapter.identity.isEmpty() || adapter.path != form_.text(Ctl::Combo1) || present) {
        return;
    }
    unplugged_ = adapter.path;
    awaited_ = adapter.identity;
    refreshList();
}

void PortWatch::poll() {
    if (!idle_()) {
        return;
    }
    const QList<PortInfo> now = ports_.presentPorts();
    if (now == present_) {
        return;
    }
    const QString selected = form_.text(Ctl::Combo1);
    // A port picked since the adapter went away is the user's choice.
    if (selected != unplugged_) {
        unplugged_.clear();
        awaited_.clear();
    }
    if (const PortInfo* gone = named(present_, selected); gone && !named(now, selected)) {
        unplugged_ = selected;
        awaited_ = portIdentity(present_, selected);
        tell(text(Msg::PortUnplugged, form_.language()).arg(describe(*gone)));
    }
    QList<PortInfo> fresh;
    for (const PortInfo& port : now) {
        if (!named(present_, port.name)) {
            fresh.append(port);
        }
    }
    const PortInfo* back = awaited_.isEmpty() ? nullptr : find(now, [&](const PortInfo& port) {
        return portIdentity(now, port.name) == awaited_;
    });
    present_ = now;
    if (back) {
        select(*back);
    } else if (fresh.size() == 1) {
        select(fresh.first());
    }
    refreshList();
}

void PortWatch::select(const PortInfo& port) {
    unplugged_.clear();
    awaited_.clear();
    form_.setText(Ctl::Combo1, port.name);
    tell(text(Msg::PortPluggedIn, form_.language()).arg(describe(port)));
}

void PortWatch::tell(const QString& line) {
    // A line of its own under what the box shows, without an empty line
    // above it in an empty box.
    if (form_.text(Ctl::Text29).isEmpty()) {
        form_.setStatus(line);
    } else {
        form_.appendStatusLine(line);
    }
}

QString PortWatch::describe(const PortInfo& port) const {
    return port.description.isEmpty()
               ? port.name
               : text(Msg::PortNamed, form_.language()).arg(port.name, port.description);
}
