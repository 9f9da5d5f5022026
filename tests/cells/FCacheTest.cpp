#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/clLogic.h"
#include "cells/cmcCellParser.h"
#include "cells/cmcFCache.h"
#include "support/ShippedTexts.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Main text table of the given lines, installed for the object's lifetime.
class ListTexts {
public:
    explicit ListTexts(std::vector<std::string> lines)
    {
        table_.SetLines(std::move(lines));
        cmcSetTextTables(&table_, nullptr, nullptr);
    }
    ~ListTexts() { cmcSetTextTables(nullptr, nullptr, nullptr); }
    ListTexts(const ListTexts&) = delete;
    ListTexts& operator=(const ListTexts&) = delete;

private:
    cmcGTex table_;
};

const int flex0 = clIndex(clLogic::Flex0);
const int flexMark = clIndex(clLogic::FlexMark);

// Two columns: values 3, 2, 0 down the first, 1 and a marked item in the second.
std::vector<std::string> PowerList()
{
    return {
        "#GI_Sheet_Sel_Power_Cells",
        "{(%Flex0[3])}High|{(%Flex0[1]:Low)}Ignored",
        "{(%Flex0[2])} Middle |{(%FlexMark[9])}Marked",
        "{(%Flex0[0])}\\_Off|",
        "#",
        "#GI_Sheet_Sel_Numbers_Cells",
        "{(@ch0++)(%Flex0[@ch0])}Item \\(@ch0)|{(%Flex0[@ch0]:Again)}",
        "{(@ch0++)(%Flex0[@ch0])}Item \\(@ch0)",
        "#GI_Sheet_Sel_Empty_Cells",
        "#End_Of_Ovl",
    };
}

std::vector<int> Values(const std::vector<cmcFCacheItem>& items)
{
    std::vector<int> values;
    for (const cmcFCacheItem& item : items)
        values.push_back(item.value);
    return values;
}
} // namespace

TEST(FCacheTest, RecordKeepsTheCellsOfOneLogicInBothOrders)
{
    ListTexts texts(PowerList());
    cmcFCache cache;
    EXPECT_EQ(cache.Find("GI_Sheet_Sel_Power", flex0), nullptr);
    const cmcFCacheRecord& record = cache.Build("GI_Sheet_Sel_Power", flex0);
    EXPECT_EQ(cache.Find("GI_Sheet_Sel_Power", flex0), &record);
    EXPECT_EQ(record.rows, 3);
    EXPECT_EQ(record.widestRow, 2);
    EXPECT_EQ(Values(record.byValue), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(Values(record.byDisplayOrder), (std::vector<int>{3, 2, 0, 1}));
    const cmcFCacheItem& low = record.byDisplayOrder[3];
    EXPECT_EQ(low.row, 0);
    EXPECT_EQ(low.column, 1);
    EXPECT_EQ(low.label, "Low");

    // Labels: the text argument, else the display text.
    const std::pair<int, const char*> labels[] = {{0, " Off"},  {1, "Low"},    {2, "Middle"}, {3, "High"},
                                                  {4, "error"}, {-1, "error"}, {9, "error"}};
    for (const auto& [value, label] : labels)
        EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flex0, value), label) << value;

    // Another logic of the same list is another record.
    EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flexMark, 9), "Marked");
    EXPECT_EQ(Values(cache.Find("GI_Sheet_Sel_Power", flexMark)->byValue), std::vector<int>{9});
    EXPECT_EQ(cache.Find("GI_Sheet_Sel_Power", flex0), &record);
}

TEST(FCacheTest, StepsInDisplayOrderAndWraps)
{
    ListTexts texts(PowerList());
    cmcFCache cache;
    // Step never builds a record.
    EXPECT_EQ(cache.Step("GI_Sheet_Sel_Power", flex0, 3, 1), std::nullopt);
    (void)cache.GetLabel("GI_Sheet_Sel_Power", flex0, 3);
    struct Case {
        int current;
        int step;
        int next;
    };
    const Case cases[] = {
        {3, 1, 2},  {2, 1, 0},  {0, 1, 1},  {1, 1, 3}, // down the first column, then the second, around
        {3, -1, 1}, {1, -1, 0}, {2, -1, 3},            // backwards
        {7, 1, 3},  {7, -1, 3}, {9, 1, 3},             // not in the list: the first item
    };
    for (const Case& c : cases)
        EXPECT_EQ(cache.Step("GI_Sheet_Sel_Power", flex0, c.current, c.step), c.next)
            << c.current << " " << c.step;
    EXPECT_EQ(cache.Step("GI_Sheet_Sel_Power", flexMark, 9, 1), std::nullopt);
}

TEST(FCacheTest, CountersStartAtZeroForEveryList)
{
    ListTexts texts(PowerList());
    cmcFCache cache;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        const cmcFCacheRecord& record = cache.Build("GI_Sheet_Sel_Numbers", flex0);
        // The list ends at the next key line; equal values keep their reading order.
        EXPECT_EQ(record.rows, 2);
        EXPECT_EQ(Values(record.byValue), (std::vector<int>{1, 1, 2}));
        EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Numbers", flex0, 1), "Item 1");
        EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Numbers", flex0, 2), "Item 2");
        cache.Clear();
        EXPECT_EQ(cache.Find("GI_Sheet_Sel_Numbers", flex0), nullptr);
    }

    const cmcFCacheRecord& empty = cache.Build("GI_Sheet_Sel_Empty", flex0);
    EXPECT_EQ(empty.rows, 0);
    EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Empty", flex0, 0), "error");
    EXPECT_EQ(cache.Step("GI_Sheet_Sel_Empty", flex0, 0, 1), std::nullopt);
}

TEST(FCacheTest, ClearReadsTheListsAgain)
{
    cmcFCache cache;
    {
        ListTexts texts(PowerList());
        EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flex0, 3), "High");
    }
    // The language changed: the records built so far still answer until they are cleared.
    ListTexts other({"#GI_Sheet_Sel_Power_Cells", "{(%Flex0[3])}Hoch", "#End_Of_Ovl"});
    EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flex0, 3), "High");
    cache.Clear();
    EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flex0, 3), "Hoch");
    EXPECT_EQ(cache.GetLabel("GI_Sheet_Sel_Power", flex0, 0), "error");
}

TEST(FCacheTest, MissingListOrBadCellStops)
{
    ListTexts texts({"#GI_Sheet_Sel_Bad_Cells", "{(%Flex0[1])}One|{(%Flex7[2])}Two", "#End_Of_Ovl"});
    FatalCatcher catcher;
    cmcFCache cache;
    EXPECT_THROW((void)cache.GetLabel("GI_Sheet_Sel_Missing", flex0, 0), FatalStop);
    EXPECT_THROW((void)cache.GetLabel("GI_Sheet_Sel_Bad", flex0, 1), FatalStop);
    EXPECT_EQ(cache.Find("GI_Sheet_Sel_Bad", flex0), nullptr);
}

// Every selection list, sheet and cell model the shipped overlay holds parses: no unknown
// category, logic or model, no bad row counter.
TEST(FCacheTest, ShippedCellTextsParse)
{
    ShippedTexts shipped;
    (void)shipped.Main().HasKey(" no such key "); // indexes every key of the file
    FatalCatcher catcher;
    int parsed = 0;
    for (const std::string& key : shipped.Main().IndexedKeys()) {
        const bool model = key.starts_with("CellModel_");
        if (!model && !key.ends_with("_Cells"))
            continue;
        try {
            if (model) {
                cmcCellObj cell;
                (void)cmcParseCell(cell, "{($" + key.substr(10) + ")}", nullptr, nullptr);
                ++parsed;
                continue;
            }
            cmcRowCounters counters{};
            for (int row = 0;; ++row) {
                const std::string text = shipped.Main().GetEntry(key, row);
                if (text.starts_with('#'))
                    break;
                (void)cmcParseRow(text, &counters, nullptr);
            }
            ++parsed;
        } catch (const FatalStop& stop) {
            ADD_FAILURE() << key << ": " << stop.what();
        }
    }
    if (parsed == 0)
        GTEST_SKIP() << "the overlay holds no cell texts yet";
}
