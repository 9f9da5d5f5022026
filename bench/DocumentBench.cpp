// Opening and saving a full document as the program does: open = read, model checks,
// unpack and the after-load preparation; save = before-save preparation, pack and write.
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcOverlayLoading.h"
#include "base/cmcTextTables.h"
#include "cells/datCounts.h"
#include "cells/indDocument.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {
namespace fs = std::filesystem;

// The shipped overlays and initial file lie next to the benchmark program.
struct Session {
    Session()
    {
        cmcSetTextTables(&main, &languages, &help);
        int language = 0;
        cmcLoadOverlays(folder, indOverlayBaseName, language);
        if (document.LoadInitialFile(folder + "RB8826T_Initial.icf") != cmcIcfResult::Ok)
            throw std::runtime_error("no initial file next to the benchmark");
        // A full document: every channel, ID and talk group in use.
        cmcEeprom& image = document.Working();
        datSetChannelCount(image, 0, datMaxChannels);
        datSetIndividualIdCount(image, datMaxListEntries);
        datSetTalkGroupCount(image, datMaxListEntries);
        for (int slot = 0; slot < datMaxChannels; ++slot)
            image.SetByte(0xFF80 + 32 * slot + 3, 0x10); // a receive frequency
    }
    ~Session() { cmcSetTextTables(nullptr, nullptr, nullptr); }

    std::string folder = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    std::string path = (fs::temp_directory_path() / "torvane-bench-document.icf").string();
    cmcGTex main;
    cmcGTex languages;
    cmcHelpGTex help;
    indDocument document;
};

void BM_DocumentSaveFull(benchmark::State& state)
{
    Session session;
    for (auto _ : state)
        benchmark::DoNotOptimize(session.document.Save(session.path));
    fs::remove(session.path);
}
BENCHMARK(BM_DocumentSaveFull)->Unit(benchmark::kMicrosecond);

void BM_DocumentOpenFull(benchmark::State& state)
{
    Session session;
    if (session.document.Save(session.path) != cmcIcfResult::Ok)
        state.SkipWithError("cannot save the document to open");
    for (auto _ : state)
        benchmark::DoNotOptimize(session.document.Open(session.path));
    fs::remove(session.path);
}
BENCHMARK(BM_DocumentOpenFull)->Unit(benchmark::kMicrosecond);
} // namespace
