// Laying out a sheet from its overlay records: the style line, directives, loops and row
// copies, cell counting, fixed rows and columns, the fatal definition errors.
#include "UiTestBed.h"

#include "cells/clLogic.h"
#include "support/TestEnvironment.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheetRef.h"
#include "ui/cuiSheetViewer.h"

#include <gtest/gtest.h>

namespace {

struct RowSummary {
    int line;
    int logic;
    int arg;
    std::string text;
    bool selectOn;
};

class SheetBuildTest : public testing::Test {
protected:
    UiTestBed bed;
};

TEST_F(SheetBuildTest, LoopsDirectivesAndRowCopies)
{
    cuiSheet& sheet = bed.Open("GI_Sheet_Test_Loops");
    ASSERT_EQ(sheet.ColCount(), 3); // "|A|B|": an empty cell, A and B
    ASSERT_EQ(sheet.RowCount(), 15);
    const int flex0 = clIndex(clLogic::Flex0);
    const int flex1 = clIndex(clLogic::Flex1);
    // (text of column 0, arg, logic) per row, and whether the row takes part in selections.
    const std::vector<std::tuple<std::string, int, int, bool>> expected{
        {"top", 1, flex0, true},      // "Never 2" drops the next row and the directive after it
        {"copy", 10, flex0, false},   // a one-line loop of 4: copies with arg + 1
        {"copy", 11, flex0, false},   //
        {"copy", 12, flex0, false},   //
        {"copy", 13, flex0, false},   //
        {"first 1", 1, flex0, true},  // a two-line body is parsed again for every pass,
        {"second 1", 1, flex1, true}, // so the row counters number its rows
        {"first 2", 2, flex0, true},  //
        {"second 2", 2, flex1, true}, //
        {"first 3", 3, flex0, true},  //
        {"second 3", 3, flex1, true}, //
        {"handheld", 4, flex0, true}, // "Only_Mob" dropped its row, "Only_Handy" kept it
        {"once", 6, flex0, true},     // "LoopFrom" without a number starts no loop
        {"zero", 7, flex0, true},     // "LoopFrom 0" is a loop of one pass
        {"", 0, clNoLogic, true},     // a row that begins with "|"
    };
    for (int r = 0; r < sheet.RowCount(); ++r) {
        const cmcCellObj& cell = sheet.CellAt(0, r).cell;
        const auto& [text, arg, logic, selectOn] = expected[static_cast<std::size_t>(r)];
        EXPECT_EQ(cell.DisplayText(), text) << "row " << r;
        EXPECT_EQ(cell.arg, arg) << "row " << r;
        EXPECT_EQ(cell.logic, logic) << "row " << r;
        EXPECT_EQ(sheet.CellAt(0, r).multiSelectable, selectOn) << "row " << r;
    }
    // Copies take the height of the row they copy; a row with fewer cells keeps default cells.
    for (int r = 2; r <= 4; ++r)
        EXPECT_EQ(sheet.Grid().RowHeight(r), sheet.Grid().RowHeight(1));
    EXPECT_EQ(sheet.CellAt(1, 11).cell.DisplayText(), "two cells");
    EXPECT_FALSE(sheet.CellAt(2, 11).cell.IsStop());
    EXPECT_EQ(sheet.CellAt(2, 11).cell.parent, nullptr);
    EXPECT_EQ(sheet.CellAt(1, 14).cell.DisplayText(), "A");
    EXPECT_EQ(sheet.CellAt(2, 14).cell.DisplayText(), "B");
}

TEST_F(SheetBuildTest, FixedRowsAreLimitedAndLowerCaseMultiSelectIsOff)
{
    cuiSheet& sheet = bed.Open("GI_Sheet_Test_Small");
    EXPECT_EQ(sheet.Grid().FixedRows(), 2); // FixedRows=5 on a sheet of 3 rows
    EXPECT_EQ(sheet.MultiSelectMode(), cuiSheet::MultiSelect::None);
    EXPECT_FALSE(sheet.CellAt(0, 2).multiSelectable);
}

TEST_F(SheetBuildTest, CellsRecordWithoutRowsIsFatal)
{
    (void)bed.main.HasKey(" ");
    cmcGTex fixture;
    (void)fixture.SetLines({"#GI_Sheet_Empty_Style", "", "#GI_Sheet_Empty_BasicCell", "{}",
                            "#GI_Sheet_Empty_Cells", ":(SelectOFF)", ":(Never 0)", "#End_Of_Ovl"});
    FatalCatcher catcher;
    QWidget parent;
    cuiSheet sheet(&parent, bed.host, nullptr, 0, 0, fixture, "GI_Sheet_Empty");
    try {
        sheet.Build();
        ADD_FAILURE() << "a sheet without rows was built";
    } catch (const FatalStop& stop) {
        EXPECT_STREQ(stop.what(), "Illegal Cell assign");
    }
    try {
        (void)sheet.CellAt(0, 0);
        ADD_FAILURE() << "a cell outside the table was handed out";
    } catch (const FatalStop& stop) {
        EXPECT_STREQ(stop.what(), "Illegal Cell selection");
    }
}

TEST_F(SheetBuildTest, SheetWithoutStopCellsIsReadOnly)
{
    cuiSheet& sheet = bed.Open("GI_Sheet_Test_Info");
    EXPECT_FALSE(sheet.Grid().isEnabled());
    EXPECT_EQ(sheet.Grid().focusPolicy(), Qt::NoFocus);
}

TEST(SheetViewerTest, ArgumentsNameTheSheetAndTheFile)
{
    struct Case {
        std::vector<std::string> arguments;
        bool viewer;
        const char* reference;
        const char* file;
        std::vector<std::string> rest;
    };
    const std::vector<Case> cases{
        {{"torvane", "--sheet", "GI_Sheet_X"}, true, "GI_Sheet_X", "", {"torvane"}},
        {{"torvane", "--sheet", "[St_Common]GI_Sheet_X,K", "/tmp/a.icf", "/mintaro"},
         true,
         "[St_Common]GI_Sheet_X,K",
         "/tmp/a.icf",
         {"torvane", "/mintaro"}},
        {{"torvane", "--sheet", "GI_Sheet_X", "/MINTARO"}, true, "GI_Sheet_X", "", {"torvane", "/MINTARO"}},
        {{"torvane", "--sheet"}, false, "", "", {"torvane", "--sheet"}},
        {{"torvane", "/mintaro"}, false, "", "", {"torvane", "/mintaro"}},
    };
    for (Case c : cases) {
        const auto request = cuiSheetViewer::TakeArguments(c.arguments);
        ASSERT_EQ(request.has_value(), c.viewer) << c.arguments.size();
        if (request) {
            EXPECT_EQ(request->reference, c.reference);
            EXPECT_EQ(request->file, c.file);
        }
        EXPECT_EQ(c.arguments, c.rest);
    }
}

TEST(SheetRefTest, PartsAndClass)
{
    struct Case {
        const char* text;
        const char* cls;
        const char* name;
        const char* kind;
        cuiSheetRef::Kind sheetKind;
    };
    const std::vector<Case> cases{
        {"[St_ChBank]GI_Sheet_Mch_Conv,Bank 3", "St_ChBank", "GI_Sheet_Mch_Conv", "Bank 3",
         cuiSheetRef::Kind::ChannelBank},
        {"[St_Common]GI_Sheet_Common", "St_Common", "GI_Sheet_Common", "", cuiSheetRef::Kind::Common},
        {"[st_common]GI_Sheet_X,Q", "st_common", "GI_Sheet_X", "Q", cuiSheetRef::Kind::MemoryChannels},
        {"GI_Sheet_Plain,x 2", "", "GI_Sheet_Plain", "x 2", cuiSheetRef::Kind::MemoryChannels},
        {"[A][B]Name,C,D", "B", "Name", "C,D", cuiSheetRef::Kind::Plain},
        {"Name", "", "Name", "", cuiSheetRef::Kind::Plain},
    };
    for (const Case& c : cases) {
        const cuiSheetRef ref = cuiSheetRef::Parse(c.text);
        EXPECT_EQ(ref.cls, c.cls) << c.text;
        EXPECT_EQ(ref.name, c.name) << c.text;
        EXPECT_EQ(ref.kind, c.kind) << c.text;
        EXPECT_EQ(ref.SheetKind(), c.sheetKind) << c.text;
    }
}

} // namespace
