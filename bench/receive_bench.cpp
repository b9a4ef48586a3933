#include "peakmemory.h"
#include "protocol/replyparser.h"
#include "serial/receivepath.h"
#include "serial/textencoding.h"
#include "sim/configcommands.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kChunkBytes = 4096;

// Every byte through the receive path, and each line that starts with a
// keyword through the reply parser, as Session does.
qint64 receiveAll(ReceivePath& path, const QByteArray& stream, qint64 totalBytes) {
    qint64 offset = 0;
    while (offset < totalBytes) {
        const qsizetype at = offset % stream.size();
        const qsizetype size = std::min<qint64>(kChunkBytes, stream.size() - at);
        path.receive(stream.sliced(at, size));
        offset += size;
    }
    return offset;
}

ReceivePath parsingPath(qint64& parsed) {
    return ReceivePath([&parsed](const QByteArray& line) {
        if (startsWithKeyword(line)) {
            benchmark::DoNotOptimize(parseReply(decodeText(line).text));
            ++parsed;
        }
    });
}

// The answer the device gives to a read, its lines ended by CR LF.
QByteArray readAnswer() {
    SimConfig config;
    QByteArray bytes;
    for (const char* command : {"SETUP#", "AT+READ#"}) {
        const ConfigAnswer answer = runCommand(config, command);
        for (const QByteArray& line : answer.lines) {
            bytes += line + "\r\n";
        }
        if (answer.ack != SimAck::None) {
            bytes += ackText(answer.ack) + "\r\n";
        }
    }
    return bytes;
}

QByteArray randomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(42);
    for (char& byte : bytes) {
        byte = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

// range(0): the length of the stream in MiB. The stream repeats a fixed
// piece, so any growth of the peak memory with the length is the receive
// path's own.
void runStream(benchmark::State& state, const QByteArray& piece) {
    const qint64 total = state.range(0) << 20;
    qint64 parsed = 0;
    for (auto _ : state) {
        ReceivePath path = parsingPath(parsed);
        benchmark::DoNotOptimize(receiveAll(path, piece, total));
    }
    state.SetBytesProcessed(state.iterations() * total);
    state.counters["parsed"] = static_cast<double>(parsed) / state.iterations();
    state.counters["peak_KiB"] = static_cast<double>(peakResidentKiB());
}

void BM_ReceiveReplyLines(benchmark::State& state) {
    static const QByteArray answer = readAnswer();
    runStream(state, answer);
}
BENCHMARK(BM_ReceiveReplyLines)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// A device spewing garbage.
void BM_ReceiveRandomBytes(benchmark::State& state) {
    static const QByteArray random = randomBytes(1 << 20);
    runStream(state, random);
}
BENCHMARK(BM_ReceiveRandomBytes)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
