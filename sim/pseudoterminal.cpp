#include "sim/pseudoterminal.h"

#include <QSocketNotifier>

#include <stdexcept>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#endif

PseudoTerminal::PseudoTerminal(QObject* parent) : QObject(parent) {}

PseudoTerminal::~PseudoTerminal() {
    close();
}

#ifdef Q_OS_UNIX

namespace {

[[noreturn]] void fail(const char* step) {
    throw std::runtime_error(std::string(step) + ": " + std::strerror(errno));
}

}  // namespace

void PseudoTerminal::open() {
    // Neither side goes to a program started from here: one that held the
    // master side would look like the far end of the line.
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        fail("posix_openpt");
    }
    try {
        if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
            fail("unlockpt");
        }
        slavePath_ = QString::fromLocal8Bit(ptsname(master_));
        slave_ = ::open(slavePath_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) {
            fail("open slave");
        }
        // Raw: no echo, and CR and LF pass untranslated, as on a serial line.
        termios settings{};
        tcgetattr(slave_, &settings);
        cfmakeraw(&settings);
        cfsetspeed(&settings, B115200);
        tcsetattr(slave_, TCSANOW, &settings);
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    } catch (...) {
        close();
        throw;
    }
    readable_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(readable_, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
}

void PseudoTerminal::close() {
    if (readable_) {
        // close() may run inside the notifier's own signal (the device going
        // away on the bytes just read), so it is deleted once that returns.
        readable_->setEnabled(false);
        readable_->deleteLater();
        readable_ = nullptr;
    }
    for (int* fd : {&slave_, &master_}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void PseudoTerminal::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, bytes.size() - done);
        if (n >= 0) {
            done += n;
        } else if (errno != EINTR) {
            // The terminal's buffer is full because nobody reads the port:
            // the rest is lost, as on a line with nothing at the far end.
            return;
        }
    }
}

void PseudoTerminal::readAvailable() {
    char buffer[4096];
    while (master_ >= 0) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
            if (receiver_) {
                receiver_(QByteArray(buffer, n));
            }
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return;  // nothing more for now (EAGAIN)
        }
    }
}

#else

void PseudoTerminal::open() {
    throw std::runtime_error("pseudo-terminals need a POSIX system");
}

void PseudoTerminal::close() {}

void PseudoTerminal::write(const QByteArray&) {}

void PseudoTerminal::readAvailable() {}

#endif
