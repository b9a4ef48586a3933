#include "protocol/writesequence.h"

#include "app/devicesettings.h"
#include "app/form.h"
#include "protocol/commands.h"

namespace {

namespace ds = DeviceSettings;

constexpr int kPauseMs = 200;
constexpr int kAfterDnsMs = 400;

Commands::Octets octets(const Form& form, const ds::Octets& boxes) {
    return {form.text(boxes[0]), form.text(boxes[1]), form.text(boxes[2]), form.text(boxes[3])};
}

}  // namespace

QList<WriteStep> writeSequence(const Form& form) {
    QList<WriteStep> steps{
        {Commands::callsign(form.text(ds::callsign), form.text(ds::callSsid)), kPauseMs},
        {Commands::passcode(form.text(ds::passcode)), kPauseMs},
        {Commands::addressMode(form.text(ds::addressMode)), kPauseMs},
    };
    if (form.text(ds::addressMode) == ds::kStaticIp) {
        steps << WriteStep{Commands::ipAddress(octets(form, ds::ipAddress)), kPauseMs}
              << WriteStep{Commands::subnetMask(octets(form, ds::subnetMask)), kPauseMs}
              << WriteStep{Commands::gateway(octets(form, ds::gateway)), kPauseMs}
              << WriteStep{Commands::dnsServer(octets(form, ds::dnsServer)), kAfterDnsMs};
    }
    steps << WriteStep{Commands::position(form.text(ds::position), form.encoding(ds::position)),
                       kPauseMs}
          << WriteStep{Commands::comment(form.text(ds::comment), form.encoding(ds::comment)),
                       kPauseMs}
          << WriteStep{Commands::server(form.text(ds::server), form.encoding(ds::server)), kPauseMs}
          << WriteStep{Commands::sendInterval(form.text(ds::sendInterval)), kPauseMs}
          << WriteStep{Commands::filter(form.text(ds::filter), form.encoding(ds::filter)), kPauseMs}
          << WriteStep{Commands::backlight(form.text(ds::backlight)), kPauseMs}
          << WriteStep{Commands::distanceUnit(form.text(ds::distanceUnit)), kPauseMs}
          << WriteStep{Commands::digipeat(form.value(ds::digipeat) == 1), kPauseMs}
          << WriteStep{Commands::modulation(form.text(ds::modulation)), kPauseMs}
          << WriteStep{Commands::txPath(form.text(ds::txPath)), kPauseMs}
          << WriteStep{Commands::digiAlias(form.text(ds::digiAlias)), 0}
          << WriteStep{Commands::frequency(form.text(ds::frequency)), kPauseMs};
    return steps;
}
