#include "process/terminationsignals.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>

#ifdef Q_OS_WIN
#include <QMetaObject>

#include <windows.h>
#else
#include <QSocketNotifier>

#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#endif

namespace {

std::function<void(int)>& action() {
    static std::function<void(int)> stored;
    return stored;
}

volatile std::sig_atomic_t handedOver = 0;
volatile std::sig_atomic_t caught = 0;
volatile std::sig_atomic_t told = 0;

#ifdef Q_OS_WIN
constexpr int kSignals[] = {SIGINT, SIGTERM};
#else
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif
// A line may name a kept settings file twice (where it is, and the command
// that writes it back): room for two long paths.
constexpr std::size_t kLineBytes = 4096;

// The lines are made before any signal can come: a handler may only call
// async-signal-safe functions such as write() and _exit().
struct Lines {
    char atOnce[kLineBytes] = {};      // before the hand-over: what was left undone
    char handedOver[kLineBytes] = {};  // after it: the line the program ends with
    char secondTime[kLineBytes] = {};  // a second signal after the hand-over
};
Lines lines[std::size(kSignals)];
char programName[64] = {};

std::size_t indexOf(int signal) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (kSignals[i] == signal) {
            return i;
        }
    }
    return 0;
}

void makeLine(char* into, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit().left(kLineBytes - 2) + '\n';
    std::memset(into, 0, kLineBytes);
    std::memcpy(into, bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString said(int signal) {
    return QString::fromLocal8Bit(programName) + QStringLiteral(": ") + signalDescription(signal);
}

#ifdef Q_OS_WIN
void tell(const char* line) {
    std::fputs(line, stderr);
}

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

void setLines(const QString& undone) {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        makeLine(lines[i].handedOver, said(kSignals[i]) + QStringLiteral("; ") + undone);
    }
}
#else
// Once the first signal is handed over, the program has this long to end by
// itself; a program blocked where no event loop runs (writing to a pipe
// nobody reads) is ended here instead.
constexpr int kGraceMs = 100;

int wakePair[2] = {-1, -1};

// Standard error may be gone with the terminal that sent SIGHUP, or be a full
// pipe nobody reads, which would hold the handler for ever: then the line is
// left out, and the exit status alone tells.
void tell(const char* line) {
    pollfd error{STDERR_FILENO, POLLOUT, 0};
    if (::poll(&error, 1, 0) == 1 && (error.revents & POLLOUT) != 0) {
        [[maybe_unused]] const auto written = ::write(STDERR_FILENO, line, std::strlen(line));
    }
}

void endAtOnce(const char* line, int signal) {
    tell(line);
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
    itimerval deadline{};
    deadline.it_value.tv_usec = kGraceMs * 1000;
    ::setitimer(ITIMER_REAL, &deadline, nullptr);
}

extern "C" void onGraceOver(int) {
    const int signal = caught;
    endAtOnce(told ? "" : lines[indexOf(signal)].handedOver, signal);
}

// The handlers read the lines: they wait while the lines change.
void setLines(const QString& undone) {
    sigset_t blocked;
    sigset_t before;
    sigemptyset(&blocked);
    for (const int signal : kSignals) {
        sigaddset(&blocked, signal);
    }
    sigaddset(&blocked, SIGALRM);
    pthread_sigmask(SIG_BLOCK, &blocked, &before);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        makeLine(lines[i].handedOver, said(kSignals[i]) + QStringLiteral("; ") + undone);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void handle(int signal, void (*handler)(int)) {
    struct sigaction handling {};
    handling.sa_handler = handler;
    handling.sa_flags = SA_RESTART;
    sigemptyset(&handling.sa_mask);
    for (const int other : kSignals) {
        sigaddset(&handling.sa_mask, other);
    }
    sigaddset(&handling.sa_mask, SIGALRM);
    sigaction(signal, &handling, nullptr);
}

// The shell starts a program with a signal ignored to keep it running: nohup
// ignores SIGHUP, a background job of a script SIGINT.
bool ignoredAtStart(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}
#endif

}  // namespace

void installTerminationSignals(const char* program, const char* undone) {
    std::strncpy(programName, program, sizeof programName - 1);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        makeLine(lines[i].atOnce,
                 said(kSignals[i]) + QStringLiteral("; ") + QString::fromUtf8(undone));
        makeLine(lines[i].secondTime, said(kSignals[i]) + QStringLiteral(" again; ended at once"));
    }
#ifndef Q_OS_WIN
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakePair) != 0) {
        wakePair[0] = wakePair[1] = -1;  // the hand-over is then refused: signals end at once
    }
    handle(SIGALRM, onGraceOver);
    for (const int signal : kSignals) {
        if (!ignoredAtStart(signal)) {
            handle(signal, onSignal);
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

void handOverTerminationSignals(std::function<void(int signal)> handler, const QString& undone) {
    action() = std::move(handler);
    setLines(undone);
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

void setTerminationUndone(const QString& undone) {
    setLines(undone);
}

int terminationSignal() {
    return handedOver ? caught : 0;
}

void tellTermination() {
    const int signal = terminationSignal();
    if (signal == 0 || told) {
        return;
    }
    told = 1;
    tell(lines[indexOf(signal)].handedOver);
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
