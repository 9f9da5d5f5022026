// The dispatcher as a sheet repaint drives it: every visible cell runs once, drawing. Items
// processed are cell runs, so the rate reads as runs per second.
//   channel cells: a bank sheet of 32 channels in use, the usual columns of a channel row;
//   settings cells: every kind-0 setting of the settings map (array logics per element).
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcOverlayLoading.h"
#include "base/cmcTextTables.h"
#include "cells/CellHost.h"
#include "cells/clLogic.h"
#include "cells/ctCategory.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datSettingsMap.h"
#include "cells/indActiveCell.h"
#include "cells/indDocument.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {
namespace fs = std::filesystem;

// A host without windows: drawing asks for no popup.
class BenchHost final : public CellHost {
public:
    indDocument& Document() override { return document; }
    void OpenSelectionPopup(const cmcCellCapsule&, const std::string&, int, int) override {}
    void OpenModelSelectionPopup(const cmcCellCapsule&, const std::string&, int, int,
                                 const std::string&) override
    {
    }
    void OpenBitFieldPopup(const cmcCellCapsule&, unsigned, int, int, int) override {}
    void OpenTextPopup(const cmcCellCapsule&, const std::string&, int) override {}
    void OpenCharacterEditor(const cmcCellCapsule&, const std::string&, int, int) override {}
    void SetClipboardText(const std::string&) override {}
    void OpenHelp(const std::string&) override {}

    indDocument document;
};

// The shipped overlays and initial file lie next to the benchmark program.
struct Session {
    Session()
    {
        cmcSetTextTables(&main, &languages, &help);
        previousEvents = cmcSetEvMan(&events);
        int language = 0;
        cmcLoadOverlays(folder, indOverlayBaseName, language);
        if (host.document.LoadInitialFile(folder + "RB8826T_Initial.icf") != cmcIcfResult::Ok)
            throw std::runtime_error("no initial file next to the benchmark");
        cmcEeprom& image = host.document.Working();
        datSetChannelCount(image, 0, datMaxChannels);
        for (int slot = 0; slot < datMaxChannels; ++slot) {
            datCh channel(image);
            channel.decode(datKindChannel, slot);
            channel.Set(datField::ChRxFreq, 150'000'000u + 12'500u * static_cast<std::uint32_t>(slot));
            channel.Set(datField::ChTxFreq, 150'000'000u + 12'500u * static_cast<std::uint32_t>(slot));
            channel.SetText(datField::ChName, "CHANNEL");
            channel.encode(datKindChannel, slot);
        }
        (void)Static2Dynamic(image, false);
    }
    ~Session()
    {
        cmcSetEvMan(previousEvents);
        cmcSetTextTables(nullptr, nullptr, nullptr);
    }

    // Draws every cell once; answers the runs.
    std::int64_t repaint(std::vector<cmcCellObj>& cells)
    {
        indActiveCell dispatcher(host);
        for (cmcCellObj& cell : cells) {
            cmcCellCapsule capsule;
            capsule.cell = &cell;
            capsule.drawing = true;
            dispatcher.run(capsule);
            benchmark::DoNotOptimize(capsule.output.data());
        }
        return static_cast<std::int64_t>(cells.size());
    }

    std::string folder = fs::canonical("/proc/self/exe").parent_path().string() + "/";
    cmcGTex main;
    cmcGTex languages;
    cmcHelpGTex help;
    cmcEvMan events;
    cmcEvMan* previousEvents = nullptr;
    BenchHost host;
};

cmcCellObj cellOf(int category, clLogic logic, int arg)
{
    cmcCellObj cell;
    cell.category = category;
    cell.logic = clIndex(logic);
    cell.arg = arg;
    return cell;
}

void BM_DispatcherChannelCells(benchmark::State& state)
{
    Session session;
    const int mch = static_cast<int>(ctCategory::CT_Mch);
    std::vector<cmcCellObj> cells;
    for (int slot = 0; slot < datMaxChannels; ++slot) {
        for (clLogic logic :
             {clLogic::CL_Mch_No, clLogic::CL_Mch_Atr, clLogic::CL_Mch_FreqR, clLogic::CL_Mch_FreqT,
              clLogic::CL_Mch_CTone_R, clLogic::CL_Mch_CTone_T, clLogic::CL_Mch_Text, clLogic::CL_Mch_RfPo,
              clLogic::CL_Mch_Lockout, clLogic::CL_Mch_Scan})
            cells.push_back(cellOf(mch, logic, slot));
    }
    std::int64_t runs = 0;
    for (auto _ : state)
        runs += session.repaint(cells);
    state.SetItemsProcessed(runs);
}
BENCHMARK(BM_DispatcherChannelCells)->Unit(benchmark::kMicrosecond);

void BM_DispatcherSettingsCells(benchmark::State& state)
{
    Session session;
    std::vector<cmcCellObj> cells;
    for (const datSettingDef& row : datSettingsMap()) {
        for (clLogic logic : {row.logic, row.logic2}) {
            if (logic == clLogic::Count_)
                continue;
            for (int n = 0; n < datSettingElements(row); ++n)
                cells.push_back(cellOf(ctNoCategory, logic, n));
        }
    }
    std::int64_t runs = 0;
    for (auto _ : state)
        runs += session.repaint(cells);
    state.SetItemsProcessed(runs);
}
BENCHMARK(BM_DispatcherSettingsCells)->Unit(benchmark::kMicrosecond);

} // namespace
