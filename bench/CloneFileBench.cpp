// Clone files of full size (the whole radio memory area, 4088 data lines): writing through
// the temporary file and rename, and reading with the coverage test of the open ranges.
#include "image/AddressRange.h"
#include "image/cmcEeprom.h"
#include "image/cmcIcfFile.h"
#include "image/cmcImageGeometry.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace {
const AddressRangeList radioMemory{{0x0000, cmcRadioMemoryEnd}, AddressRangeList::ListEnd};

std::string BenchPath()
{
    return (std::filesystem::temp_directory_path() / "torvane-clonefile-bench.icf").string();
}

void FillImage(cmcEeprom& image)
{
    image.SetSize(cmcImageSize);
    std::mt19937 random(5);
    for (int a = 0; a <= cmcRadioMemoryEnd; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(random() & 0xFF));
}

void Configure(cmcIcfFile& file, cmcEeprom& image)
{
    file.SetImage(image);
    file.SetModelWords(0x8826, 0x0000);
    file.SetComment("Benchmark");
    file.SetMapRev(1);
    file.SetMapRevCheck([](int mapRev) { return mapRev < 2; });
}

void BM_CloneFileWrite(benchmark::State& state)
{
    cmcEeprom image;
    FillImage(image);
    const std::string path = BenchPath();
    for (auto _ : state) {
        cmcIcfFile file;
        Configure(file, image);
        if (file.WriteCloneFile(path, radioMemory) != cmcIcfResult::Ok)
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_CloneFileWrite)->Unit(benchmark::kMillisecond);

void BM_CloneFileRead(benchmark::State& state)
{
    cmcEeprom image;
    FillImage(image);
    const std::string path = BenchPath();
    {
        cmcIcfFile writer;
        Configure(writer, image);
        if (writer.WriteCloneFile(path, radioMemory) != cmcIcfResult::Ok) {
            state.SkipWithError("write failed");
            return;
        }
    }
    cmcEeprom target;
    target.SetSize(cmcImageSize);
    for (auto _ : state) {
        cmcIcfFile file;
        Configure(file, target);
        if (file.ReadCloneFile(path, &radioMemory) != cmcIcfResult::Ok)
            state.SkipWithError("read failed");
    }
    if (!target.Equals(image))
        state.SkipWithError("read back differs");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    std::filesystem::remove(path);
}
BENCHMARK(BM_CloneFileRead)->Unit(benchmark::kMillisecond);
} // namespace
