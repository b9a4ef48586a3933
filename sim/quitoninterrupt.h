#pragma once

class QCoreApplication;

// Ends the application's event loop on SIGINT or SIGTERM, so that what
// follows exec() (removing the link, keeping the state) still runs.
void quitOnInterrupt(QCoreApplication& app);
