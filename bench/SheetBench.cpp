// Sheets on the offscreen platform: laying out a list sheet of 532 rows (the row count of
// the variable-length lists) and repainting a full window of cells, as scrolling does.
// Items processed are painted cells.
//   list sheet: 532 rows, numbers from a logic, static texts, row marks on;
//   channel sheet: 32 channels in use, every cell decoded by the dispatcher.
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcManualTimers.h"
#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/indDocument.h"
#include "ui/cuiCellHost.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

QApplication& application()
{
    static int argc = 1;
    static char name[] = "torvane_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

const char* const benchSheets[] = {
    "#GI_Sheet_Bench_List_Style",
    "(FixedRows=1)(MultiSelect=Line)",
    "#GI_Sheet_Bench_List_BasicCell",
    "{($Basic)}",
    "#GI_Sheet_Bench_List_Cells",
    "{($Head)}No.|{($Head)}Entry|{($Head)}Name|{($Head)}Value|{($Head)}Note",
    ":(LoopFrom 532)",
    "{($Label)>(%CL_Misc_ChNo_1Base[0])}000|{($Value)(%Flex0[0])}Entry item|{($Value)}A name of the entry|"
    "{($Value)>(%CL_Misc_ChNo_0Base[0])}00000|{($Value)}Note text",
    ":(LoopTo)",
    "#GI_Sheet_Bench_Channels_Style",
    "(FixedCols=1)(FixedRows=1)(MultiSelect=Line)",
    "#GI_Sheet_Bench_Channels_BasicCell",
    "{($Basic)(%CT_Mch.)}",
    "#GI_Sheet_Bench_Channels_Cells",
    "{($Head)}No.|{($Head)}RX frequency|{($Head)}TX frequency|{($Head)}RX tone|{($Head)}TX tone|"
    "{($Head)}Name|{($Head)}Power|{($Head)}Scan lists",
    ":(LoopFrom 32)",
    "{($RecNo)(%CT_Mch.CL_Mch_No[0])}0-000|{($Rec)>(%CT_Mch.CL_Mch_FreqR[0])}000.000000|"
    "{($Rec)>(%CT_Mch.CL_Mch_FreqT[0])}000.000000|{($Rec)(%CT_Mch.CL_Mch_CTone_R[0])}000.0|"
    "{($Rec)(%CT_Mch.CL_Mch_CTone_T[0])}000.0|{($Rec)(%CT_Mch.CL_Mch_Text[0])}WWWWWWWWWWWW|"
    "{($Rec)(%CT_Mch.CL_Mch_RfPo[0])}High|{($Rec)(%CT_Mch.CL_Mch_Scan[0])}123456789ABCDEFG",
    ":(LoopTo)",
};

// The shipped overlay and initial file lie next to the benchmark program.
struct Session {
    Session() : host(document, 100)
    {
        (void)application();
        std::vector<std::string> lines;
        std::ifstream in(folder + "RB8826E.OVL");
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line != "#End_Of_Ovl")
                lines.push_back(line);
        }
        lines.insert(lines.end(), std::begin(benchSheets), std::end(benchSheets));
        lines.emplace_back("#End_Of_Ovl");
        (void)main.SetLines(std::move(lines));
        languages.SetFile(folder + "RB8826T.OVL");
        help.SetFile(folder + "RB8826H.OVL");
        cmcSetTextTables(&main, &languages, &help);
        previousEvents = cmcSetEvMan(&events);
        if (document.LoadInitialFile(folder + "RB8826T_Initial.icf") != cmcIcfResult::Ok)
            throw std::runtime_error("no initial file next to the benchmark");
        cmcEeprom& image = document.Working();
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
        window.reset();
        cmcSetEvMan(previousEvents);
        cmcSetTextTables(nullptr, nullptr, nullptr);
    }

    // The sheet in a shown window of a typical size.
    cuiSheet& open(const char* name)
    {
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        auto* sheet = new cuiSheet(window.get(), host, nullptr, 0, 0, main, name);
        layout->addWidget(sheet);
        window->resize(1000, 700);
        window->show();
        sheet->Build();
        QApplication::processEvents();
        return *sheet;
    }

    std::string folder = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    cmcGTex main;
    cmcGTex languages;
    cmcHelpGTex help;
    cmcManualTimers timers;
    cmcEvMan events;
    cmcEvMan* previousEvents = nullptr;
    indDocument document;
    cuiCellHost host;
    std::unique_ptr<QWidget> window;
};

void BM_SheetBuildList532(benchmark::State& state)
{
    Session session;
    for (auto _ : state) {
        QWidget parent;
        cuiSheet sheet(&parent, session.host, nullptr, 0, 0, session.main, "GI_Sheet_Bench_List");
        sheet.Build();
        benchmark::DoNotOptimize(sheet.RowCount());
    }
}
BENCHMARK(BM_SheetBuildList532)->Unit(benchmark::kMillisecond);

// One full repaint of the visible window of cells, into an image of the viewport's size.
void paintWindow(benchmark::State& state, const char* name, int scrollRow)
{
    Session session;
    cuiSheet& sheet = session.open(name);
    cuiGrid& grid = sheet.Grid();
    grid.SetTopLeft(grid.FixedCols(), scrollRow);
    const QRect area = grid.viewport()->rect();
    int cells = 0;
    for (int r = 0; r < grid.RowCount(); ++r)
        for (int c = 0; c < grid.ColCount(); ++c)
            cells += grid.CellRect(c, r).intersects(area) ? 1 : 0;
    QImage image(area.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        grid.PaintCells(painter, QRegion(area));
    }
    state.SetItemsProcessed(state.iterations() * cells);
    state.counters["cells"] = cells;
    state.counters["viewport_w"] = area.width();
    state.counters["viewport_h"] = area.height();
}

void BM_SheetPaintListWindow(benchmark::State& state)
{
    paintWindow(state, "GI_Sheet_Bench_List", 250);
}
BENCHMARK(BM_SheetPaintListWindow)->Unit(benchmark::kMillisecond);

void BM_SheetPaintChannelWindow(benchmark::State& state)
{
    paintWindow(state, "GI_Sheet_Bench_Channels", 1);
}
BENCHMARK(BM_SheetPaintChannelWindow)->Unit(benchmark::kMillisecond);

} // namespace
