// Arbitrary reply lines into the reply parser: it must never crash, and a line
// that has effects must start with one of the keywords.
#include "protocol/replyparser.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ParseOutcome outcome = parseReply(line);
    if (!outcome.effects.isEmpty() && !startsWithKeyword(line.toUtf8())) {
        std::abort();
    }
    return 0;
}
