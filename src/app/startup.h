#pragma once

#include "app/rememberedport.h"

class Form;
class Prompter;
class PortLister;
class SerialSettingsStore;

// What start-up takes from the machine, so that it runs the same way with
// any locale and any set of ports.
struct StartupPlatform {
    int lcid = 0;  // the system's default locale identifier
    const SerialSettingsStore& store;
    const PortLister& ports;
    Prompter& prompter;
    // The adapter remembered with the stored port, found wherever it is now.
    RememberedAdapter adapter{};
};

// Runs once before the window is first shown: language, captions, the
// remembered port, the port list, the fixed lists, the CTCSS placeholder.
void runStartup(Form& form, const StartupPlatform& platform);
