#include "process/terminationsignals.h"

#include <QCoreApplication>

#include <csignal>
#include <cstring>
#include <iterator>

#ifdef Q_OS_WIN
#include <QMetaObject>

#include <windows.h>
#else
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

std::function<void(int)>& action() {
    static std::function<void(int)> stored;
    return stored;
}

volatile std::sig_atomic_t handedOver = 0;
volatile std::sig_atomic_t caught = 0;

#ifdef Q_OS_WIN
BOOL WINAPI consoleHandler(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) {
        return FALSE;
    }
    caught = SIGINT;
    // The handler runs on a thread of its own: hand the work to the main one.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { action()(SIGINT); }, Qt::QueuedConnection);
    return TRUE;
}
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr std::size_t kLineBytes = 256;

// The lines are made before any signal can come: a handler may only call
// async-signal-safe functions such as write() and _exit().
struct Lines {
    char atOnce[kLineBytes] = {};      // before the hand-over: what was left undone
    char secondTime[kLineBytes] = {};  // a second signal after the hand-over
};
Lines lines[std::size(kSignals)];
int wakePair[2] = {-1, -1};

std::size_t indexOf(int signal) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (kSignals[i] == signal) {
            return i;
        }
    }
    return 0;
}

void endAtOnce(const char* line, int signal) {
    // Standard error may be gone with the terminal that sent SIGHUP; the exit
    // status still tells.
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, line, std::strlen(line));
    ::_exit(exitStatusForSignal(signal));
}

extern "C" void onSignal(int signal) {
    const Lines& line = lines[indexOf(signal)];
    if (!handedOver) {
        endAtOnce(line.atOnce, signal);
    }
    if (caught != 0) {
        endAtOnce(line.secondTime, signal);
    }
    caught = signal;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakePair[1], &byte, 1);
}

void makeLine(char* into, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit().left(kLineBytes - 2) + '\n';
    std::memcpy(into, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
#endif

}  // namespace

void installTerminationSignals(const char* program, const char* undone) {
#ifndef Q_OS_WIN
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        const QString said =
            QString::fromLatin1(program) + QStringLiteral(": ") + signalDescription(kSignals[i]);
        makeLine(lines[i].atOnce, said + QStringLiteral("; ") + QString::fromUtf8(undone));
        makeLine(lines[i].secondTime, said + QStringLiteral(" again; ended at once"));
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakePair) != 0) {
        wakePair[0] = wakePair[1] = -1;  // the hand-over is then refused: signals end at once
    }
    struct sigaction handling {};
    handling.sa_handler = onSignal;
    handling.sa_flags = SA_RESTART;
    sigemptyset(&handling.sa_mask);
    for (const int signal : kSignals) {
        sigaddset(&handling.sa_mask, signal);
    }
    for (const int signal : kSignals) {
        sigaction(signal, &handling, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
#else
    Q_UNUSED(program);
    Q_UNUSED(undone);
#endif
}

void handOverTerminationSignals(std::function<void(int signal)> handler) {
    action() = std::move(handler);
#ifdef Q_OS_WIN
    SetConsoleCtrlHandler(consoleHandler, TRUE);
    handedOver = 1;
#else
    if (wakePair[0] < 0) {
        return;
    }
    auto* notifier =
        new QSocketNotifier(wakePair[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [notifier] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(wakePair[0], &byte, 1);
        notifier->setEnabled(false);  // one signal is handed over; a second ends at once
        action()(caught);
    });
    handedOver = 1;
#endif
}

int terminationSignal() {
    return handedOver ? caught : 0;
}

QString signalDescription(int signal) {
    switch (signal) {
        case SIGINT:
            return QStringLiteral("interrupted (SIGINT)");
        case SIGTERM:
            return QStringLiteral("terminated (SIGTERM)");
#ifndef Q_OS_WIN
        case SIGHUP:
            return QStringLiteral("hung up (SIGHUP)");
#endif
        default:
            return QStringLiteral("ended by signal %1").arg(signal);
    }
}
