#pragma once

#include <QString>

struct CliContext;
class PortLister;

// Finding the device's port from the command line.

// Lists the ports that open now, asking the machine afresh each time: name,
// description and the adapter's identity, tab-separated, SIM last. With
// probe, each adapter port is asked for set-up mode as a read asks
// ("SETUP#", at most three times a second apart), and those that answer
// "CONNECT" are marked KV120 in a fourth column.
int listPorts(CliContext& context, const PortLister& ports, bool probe);

// --port auto: the one adapter port present. Empty, after saying so on
// standard error, when there is none; empty, after listing them, when there
// are several.
QString onlyAdapterPort(CliContext& context, const PortLister& ports);
