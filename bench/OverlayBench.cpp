// Overlay text table: the cost of the lazy key index and of the line cache.
#include "base/cmcGTex.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {
// A 20,000-line overlay: the 30-entry record "GI_Bench_Record", about 5,000 keys of three
// entries each, then "#End_Of_Ovl".
class GeneratedOverlay {
public:
    GeneratedOverlay()
    {
        path_ = (std::filesystem::temp_directory_path() / "torvane-overlay-bench.OVL").string();
        std::ofstream out(path_, std::ios::binary);
        int lines = 0;
        out << "#GI_Bench_Record\n";
        ++lines;
        for (int i = 0; i < 30; ++i, ++lines)
            out << "ABC" << i << "{$Cell}(Logic=CL_Bench[" << i << "])\n";
        for (int key = 0; lines < 20000 - 1; ++key) {
            lastKey_ = "GI_Generated_Key_" + std::to_string(key);
            out << '#' << lastKey_ << "\nText of key " << key << "\nSecond line\n|\n";
            lines += 4;
        }
        out << "#End_Of_Ovl\n";
        lines_ = lines + 1;
    }
    ~GeneratedOverlay() { std::remove(path_.c_str()); }
    GeneratedOverlay(const GeneratedOverlay&) = delete;
    GeneratedOverlay& operator=(const GeneratedOverlay&) = delete;

    [[nodiscard]] const std::string& Path() const { return path_; }
    [[nodiscard]] const std::string& LastKey() const { return lastKey_; }
    [[nodiscard]] int Lines() const { return lines_; }

private:
    std::string path_;
    std::string lastKey_;
    int lines_ = 0;
};

const GeneratedOverlay& Overlay()
{
    static const GeneratedOverlay overlay;
    return overlay;
}

// A fresh table each time: opens the file and scans every key line of it.
void BM_GTexFirstLookupOfLastKey(benchmark::State& state)
{
    const GeneratedOverlay& overlay = Overlay();
    for (auto _ : state) {
        cmcGTex table;
        table.SetFile(overlay.Path());
        benchmark::DoNotOptimize(table.GetText(overlay.LastKey()));
    }
    state.counters["lines"] = overlay.Lines();
}
BENCHMARK(BM_GTexFirstLookupOfLastKey)->Unit(benchmark::kMicrosecond);

// A sheet re-reading its 30-row definition: after the first pass the cache serves it.
void BM_GTexRereadRecord(benchmark::State& state)
{
    cmcGTex table;
    table.SetFile(Overlay().Path());
    for (auto _ : state) {
        for (int n = 0; n < 30; ++n)
            benchmark::DoNotOptimize(table.GetEntry("GI_Bench_Record", n));
    }
    state.SetItemsProcessed(state.iterations() * 30);
}
BENCHMARK(BM_GTexRereadRecord);
} // namespace
