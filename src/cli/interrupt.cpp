#include "cli/interrupt.h"

#include <QCoreApplication>
#include <QMetaObject>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#endif

namespace {

std::function<void()>& action() {
    static std::function<void()> stored;
    return stored;
}

#ifdef Q_OS_WIN
BOOL WINAPI consoleHandler(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    // The handler runs on a thread of its own: hand the work to the main one.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { action()(); }, Qt::QueuedConnection);
    return TRUE;
}
#else
int signalPipe[2] = {-1, -1};

void signalHandler(int) {
    // Only async-signal-safe work here: wake the event loop through the pipe.
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}
#endif

}  // namespace

void onInterrupt(std::function<void()> handler) {
    action() = std::move(handler);
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(consoleHandler, TRUE);
#else
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        return;  // without the pipe, Ctrl-C keeps its default effect: the program ends
    }
    auto* notifier =
        new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(signalPipe[0], &byte, 1);
        action()();
    });
    struct sigaction handling {};
    handling.sa_handler = signalHandler;
    sigemptyset(&handling.sa_mask);
    sigaction(SIGINT, &handling, nullptr);
    sigaction(SIGTERM, &handling, nullptr);
#endif
}
