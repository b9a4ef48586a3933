#include "protocol/replyparser.h"
#include "serial/receivepath.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

// A megabyte of random bytes through the receive path and the reply parser's
// keyword test, as a device spewing garbage would deliver them.
void BM_ReceiveRandomMegabyte(benchmark::State& state) {
    QByteArray bytes(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    for (auto _ : state) {
        qint64 candidates = 0;
        ReceivePath path([&](const QByteArray& line) {
            if (startsWithKeyword(line)) {
                benchmark::DoNotOptimize(parseReply(decodeReplyText(line)));
                ++candidates;
            }
        });
        for (qsizetype offset = 0; offset < bytes.size(); offset += 4096) {
            path.receive(bytes.mid(offset, 4096));
        }
        benchmark::DoNotOptimize(candidates);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReceiveRandomMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
