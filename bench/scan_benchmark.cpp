// ScanBlock over 64 MiB of mixed data: zero sectors, random binary, and text with mail headers.
#include "mime/charset.h"
#include "scan/blockscanner.h"
#include "scan/mailitem.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

using namespace vellox;

namespace {

std::string MixedData(size_t bytes, double mailShare)
{
    std::mt19937 rng(7);
    const std::string mail =
        "Received: from mx.example.net by mail.example.com; Tue, 15 Nov 2009 08:12:31 +0800\r\n"
        "From: Alice <alice@example.org>\r\nTo: bob@example.com\r\nSubject: benchmark\r\n"
        "Date: Tue, 15 Nov 2009 08:12:31 +0800\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\n"
        "Some body text that goes on for a while, as bodies do.\r\nAnd a second line of it.\r\n\r\n";
    std::string out;
    out.reserve(bytes);
    while (out.size() < bytes) {
        const unsigned kind = rng() % 100;
        if (kind < mailShare * 100) {
            const size_t target = out.size() + 4096;
            while (out.size() < target)
                out += mail;
        } else if (kind < 60) {
            out.append(4096, '\0');
        } else {
            for (int i = 0; i < 4096; ++i)
                out.push_back(static_cast<char>(rng()));
        }
    }
    out.resize(bytes);
    return out;
}

void ScanChunks(benchmark::State& state, double mailShare, bool extraLineStarts = true)
{
    InitEncodeTypes();
    const size_t total = static_cast<size_t>(state.range(0)) << 20;
    const std::string data = MixedData(total, mailShare);
    std::string chunk(1 << 20, '\0');
    uint64_t records = 0;
    for (auto _ : state) {
        ClearMailItems();
        g_pCurMail = nullptr;
        CBlockScanner scanner(nullptr, nullptr);
        scanner.SetExtraLineStarts(extraLineStarts);
        for (size_t off = 0; off < total; off += chunk.size()) {
            chunk.assign(data, off, chunk.size());
            scanner.ScanBlock(ByteView{reinterpret_cast<uint8_t*>(chunk.data()), chunk.size()}, chunk.size(),
                              off / 512);
        }
        records = scanner.RecordsMade();
        g_pCurMail = nullptr;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(total));
    state.counters["records"] = static_cast<double>(records);
    ClearMailItems();
}

void BM_ScanMixed(benchmark::State& state)
{
    ScanChunks(state, 0.05);
}
// The same data without the line starts at sector starts and behind block headers: the difference is
// what those extra positions cost.
void BM_ScanMixedWithoutExtraLineStarts(benchmark::State& state)
{
    ScanChunks(state, 0.05, false);
}
void BM_ScanMailDense(benchmark::State& state)
{
    ScanChunks(state, 0.30);
}

} // namespace

BENCHMARK(BM_ScanMixed)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMixedWithoutExtraLineStarts)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanMailDense)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
