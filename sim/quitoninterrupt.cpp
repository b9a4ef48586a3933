#include "sim/quitoninterrupt.h"

#include <QCoreApplication>
#include <QTimer>

#include <csignal>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void noteInterrupt(int) {
    interrupted = 1;
}

// A signal handler may do next to nothing: it sets a flag that the event loop
// looks at a few times a second.
constexpr int kLookEveryMs = 100;

}  // namespace

void quitOnInterrupt(QCoreApplication& app) {
    std::signal(SIGINT, noteInterrupt);
    std::signal(SIGTERM, noteInterrupt);
    auto* look = new QTimer(&app);
    QObject::connect(look, &QTimer::timeout, &app, [&app] {
        if (interrupted) {
            app.quit();
        }
    });
    look->start(kLookEveryMs);
}
