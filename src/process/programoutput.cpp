#include "process/programoutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

QString programVersion() {
    return QStringLiteral(KV_VERSION);
}

int statusAfterOutput(const char* program, int status) {
    // stdio keeps the first failure in the stream's error flag; what is still
    // buffered fails now, at the flush.
    errno = 0;
    const bool outFailed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
    const int outError = errno;
    if (outFailed) {
        std::fprintf(stderr, "%s: the output could not be written%s%s\n", program,
                     outError != 0 ? ": " : "", outError != 0 ? std::strerror(outError) : "");
    }
    const bool errFailed = std::fflush(stderr) != 0 || std::ferror(stderr) != 0;
    return (outFailed || errFailed) && status == 0 ? 1 : status;
}
