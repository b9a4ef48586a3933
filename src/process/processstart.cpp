#include "process/processstart.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

void holdClosedStandardDescriptors() {
#ifdef Q_OS_UNIX
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open() takes the lowest free descriptor, which is this one: the
        // lower ones are open by now.
        const int held = ::open("/dev/null", O_RDONLY);
        if (held != fd && held >= 0) {
            ::close(held);  // a system without /dev/null: nothing better to hold it with
        }
    }
#endif
}

bool refusesUndecodableArgument(const char* program, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray given(argv[i]);
        if (QString::fromLocal8Bit(given).toLocal8Bit() == given) {
            continue;
        }
        QByteArray shown;
        for (const char byte : given) {
            const auto value = static_cast<unsigned char>(byte);
            shown += value >= 0x20 && value < 0x7F
                         ? QByteArray(1, byte)
                         : "\\x" + QByteArray::number(value, 16).toUpper().rightJustified(2, '0');
        }
        std::fprintf(stderr,
                     "%s: the argument \"%s\" is not text in the system's encoding; nothing was "
                     "done\n",
                     program, shown.constData());
        return true;
    }
    return false;
}
