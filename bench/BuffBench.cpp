// cmcBuff as a receive queue: draining byte by byte must stay linear (PopFront only moves
// the start of the content and compacts once per 4096 bytes taken), and appending byte by
// byte must reallocate only logarithmically often.
#include "image/cmcBuff.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {
constexpr int megabyte = 1 << 20;

// Argument: queue length in bytes.
void BM_BuffDrainByPopFront(benchmark::State& state)
{
    const int length = static_cast<int>(state.range(0));
    cmcBuff full;
    full.AppendFill(0xA5, length);
    for (auto _ : state) {
        state.PauseTiming();
        cmcBuff queue(full);
        state.ResumeTiming();
        long long sum = 0;
        for (int b = queue.PopFront(); b >= 0; b = queue.PopFront())
            sum += b;
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * length);
}
// 1 MB is the figure of record; the smaller queues show the cost per byte without the
// compaction copies, which grow with the content still queued.
BENCHMARK(BM_BuffDrainByPopFront)->Arg(megabyte)->Arg(64 << 10)->Arg(4 << 10)->Unit(benchmark::kMicrosecond);

void BM_BuffAppendByteByByte(benchmark::State& state)
{
    for (auto _ : state) {
        cmcBuff buff;
        for (int i = 0; i < megabyte; ++i)
            buff.AppendByte(static_cast<std::uint8_t>(i));
        benchmark::DoNotOptimize(buff.Data());
    }
    state.SetBytesProcessed(state.iterations() * megabyte);
}
BENCHMARK(BM_BuffAppendByteByByte)->Unit(benchmark::kMicrosecond);
} // namespace
