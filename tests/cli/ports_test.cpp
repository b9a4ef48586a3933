#include "cli/commands.h"
#include "clibench.h"
#include "support/fakeports.h"

namespace {

TEST(CliPorts, EachListingAsksTheMachineAfresh) {
    struct Step {
        const char* name;
        QList<PortInfo> plugged;
        const char* listing;
    };
    const Step steps[] = {
        {"nothing plugged in", {}, "SIM\tsimulated KV120\n"},
        {"an adapter plugged in",
         {{"/dev/ttyUSB0", "CP2102 USB to UART"}},
         "/dev/ttyUSB0\tCP2102 USB to UART\nSIM\tsimulated KV120\n"},
        {"a second one",
         {{"/dev/ttyACM0", ""}, {"/dev/ttyUSB0", "CP2102 USB to UART"}},
         "/dev/ttyACM0\t\n/dev/ttyUSB0\tCP2102 USB to UART\nSIM\tsimulated KV120\n"},
        {"the first unplugged", {{"/dev/ttyACM0", ""}}, "/dev/ttyACM0\t\nSIM\tsimulated KV120\n"},
    };
    CliBench bench;
    FakePortLister machine;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        machine.ports = step.plugged;
        bench.clearOut();
        EXPECT_EQ(listPorts(bench.context, machine), kSucceeded);
        EXPECT_EQ(bench.out(), QString::fromUtf8(step.listing));
    }
    EXPECT_EQ(machine.probes, 4);
}

}  // namespace
