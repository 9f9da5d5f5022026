// The static/dynamic memory map on a full image (32 channels, 500 individual IDs, 500 talk
// groups): packing runs after every record-count change and before every save and write,
// unpacking after every load and read, so both must stay far below a keystroke's time.
#include "cells/datMemoryMap.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {
void MakeFullImage(cmcEeprom& image)
{
    image.SetSize(cmcImageSize);
    std::uint8_t* b = image.Bytes();
    std::uint32_t x = 12345;
    for (int a = cmcWorkingAreaStart; a < cmcImageSize; ++a) {
        x = x * 1664525u + 1013904223u;
        b[a] = static_cast<std::uint8_t>(x >> 24);
    }
    SetBE16(b + datBankCountPlace, 32);
    SetBE16(b + datIndividualIdCountPlace, 500);
    SetBE16(b + datTalkGroupCountPlace, 500);
    b[datChannelBlockFlagPlace] |= 0x40;
}

void BM_Static2DynamicFullImage(benchmark::State& state)
{
    cmcEeprom image;
    MakeFullImage(image);
    for (auto _ : state) {
        const bool overflow = Static2Dynamic(image, true);
        benchmark::DoNotOptimize(overflow);
    }
    state.SetBytesProcessed(state.iterations() * GetBE16(image.Bytes() + datUsedEndPlace));
}
BENCHMARK(BM_Static2DynamicFullImage);

void BM_Dynamic2StaticFullImage(benchmark::State& state)
{
    cmcEeprom image;
    MakeFullImage(image);
    (void)Static2Dynamic(image, true);
    for (auto _ : state) {
        Dynamic2Static(image);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * GetBE16(image.Bytes() + datUsedEndPlace));
}
BENCHMARK(BM_Dynamic2StaticFullImage);
} // namespace
