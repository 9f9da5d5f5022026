#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/clLogic.h"
#include "cells/cmcCellNames.h"
#include "cells/cmcCellParser.h"
#include "cells/ctCategory.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// The cell models of the built-in bit sheet and a few of our own, as the main text table.
class ModelTexts {
public:
    ModelTexts()
    {
        table_.SetLines({
            "#CellModel_iChI",
            "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
            "#CellModel_eWh",
            "S<_WHB",
            "#CellModel_iQp",
            "(%CT_Null.CL_Misc_QuarterPillar)",
            "#CellModel_Basic",
            "<-(Color=clWindow)(Font=DEFAULT_CHARSET,,clWindowText,-17,,,)(PopupMenu=GI_PMenu_Edit)",
            "#CellModel_Header",
            "($iChI)X(ImageIndex=4)",
            "#CellModel_Loop",
            "B($Loop)",
            "#End_Of_Ovl",
        });
        cmcSetTextTables(&table_, nullptr, nullptr);
    }
    ~ModelTexts() { cmcSetTextTables(nullptr, nullptr, nullptr); }
    ModelTexts(const ModelTexts&) = delete;
    ModelTexts& operator=(const ModelTexts&) = delete;

private:
    cmcGTex table_;
};

cmcCellObj Parse(std::string_view text, const cmcCellObj* parent = nullptr,
                 cmcRowCounters* counters = nullptr)
{
    cmcCellObj cell;
    EXPECT_EQ(cmcParseCell(cell, text, counters, parent), "");
    return cell;
}

// The fatal text a parse stops with, or "" when it does not stop.
std::string FatalTextOf(std::string_view text, cmcRowCounters* counters = nullptr)
{
    FatalCatcher catcher;
    try {
        cmcCellObj cell;
        cmcParseCell(cell, text, counters, nullptr);
    } catch (const FatalStop& stop) {
        return stop.what();
    }
    return "";
}

int Logic(clLogic logic)
{
    return clIndex(logic);
}
int Category(ctCategory category)
{
    return static_cast<int>(category);
}
} // namespace

TEST(CellTablesTest, EveryLogicAndCategoryNameFindsItsIndex)
{
    FatalCatcher catcher; // a name listed twice would stop here
    for (int i = 0; i < clLogicCount; ++i)
        ASSERT_EQ(clLogicIndex(clLogicName(i)), i) << clLogicName(i);
    for (int i = 0; i < ctCategoryCount; ++i)
        ASSERT_EQ(ctCategoryIndex(ctCategories[static_cast<std::size_t>(i)].name), i);

    EXPECT_EQ(clLogicName(Logic(clLogic::CL_Mch_FreqR)), "CL_Mch_FreqR");
    EXPECT_EQ(clLogicName(-1), "");
    EXPECT_EQ(clLogicName(clLogicCount), "");
    EXPECT_EQ(clLogicIndex("cl_mch_freqr"), -1); // exact case
    EXPECT_EQ(clLogicIndex(""), -1);
    EXPECT_EQ(ctCategoryIndex("CT_Mch "), -1);
}

TEST(CellTablesTest, RecordKindOfACategory)
{
    FatalCatcher catcher;
    EXPECT_EQ(ctRecordKind(Category(ctCategory::CT_Null)), 0);
    EXPECT_EQ(ctRecordKind(Category(ctCategory::CT_Mch)), 1);
    EXPECT_EQ(ctRecordKind(Category(ctCategory::CT_Rpt)), 22);
    EXPECT_EQ(ctRecordKind(Category(ctCategory::CT_MultiTable)), 26);
    EXPECT_EQ(ctRecordKind(ctNoCategory), 0);
    for (int bad : {-1, 36, 1000}) {
        try {
            (void)ctRecordKind(bad);
            ADD_FAILURE() << bad << " did not stop";
        } catch (const FatalStop& stop) {
            EXPECT_EQ(std::string(stop.what()), "Unknown Cell Category. (" + std::to_string(bad) + ")");
        }
    }
}

TEST(CellTablesTest, NameTables)
{
    EXPECT_EQ(cmcColourByName("clRed"), 0x000000FFu);
    EXPECT_EQ(cmcColourByName("clHightlightText"), 0x8000000Eu); // spelt as the overlays do
    EXPECT_EQ(cmcColourByName("clHighlightText"), std::nullopt);
    EXPECT_EQ(cmcColourByName("clBtnHighlight"), 0x80000014u);
    EXPECT_EQ(cmcColourByName("clred"), std::nullopt);
    for (const cmcColourName& colour : cmcColourNames)
        EXPECT_EQ(cmcColourByName(colour.name), colour.value) << colour.name;
    EXPECT_EQ(cmcFindName(cmcCharsetNames, "OEM_CHARSET"), 255);
    EXPECT_EQ(cmcFindName(cmcCharsetNames, "SHIFTJIS_CHARSET"), 128);
    EXPECT_EQ(cmcFindName(cmcStyleNames, "fsStrikeOut"), 8);
    EXPECT_EQ(cmcFindName(cmcPitchNames, "fpVariable"), 2);
    EXPECT_EQ(cmcFindName(cmcPitchNames, "fpvariable"), std::nullopt);

    FatalCatcher catcher;
    cmcHash hash;
    const std::string_view twice[] = {"CL_A", "CL_B", "CL_A"};
    EXPECT_THROW(cmcFillNameHash(hash, twice), FatalStop);
}

TEST(CellParserTest, SplitsAtTheFirstUnescapedBar)
{
    struct Case {
        const char* row;
        const char* rest;
        int cells;
    };
    const Case cases[] = {
        {"", "", 1},
        {"abc", "", 1},
        {"a|b", "b", 2},
        {"a\\|b|c", "c", 2},
        {"{(%Flex0[1]:x\\|y)}|z|", "z|", 3},
        {"||", "|", 3},
        {"a\\", "", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cmcSplitCell(c.row), c.rest) << c.row;
        EXPECT_EQ(cmcCountCells(c.row), c.cells) << c.row;
    }

    // An escaped bar stays in the cell and in its display text.
    cmcCellObj cell;
    EXPECT_EQ(cmcParseCell(cell, "Rx\\|Tx|next", nullptr, nullptr), "next");
    EXPECT_EQ(cell.DisplayText(), "Rx|Tx");
    cmcCellObj arg;
    (void)cmcParseCell(arg, "{(%Flex0[1]:x\\|y)}|z", nullptr, nullptr);
    EXPECT_EQ(arg.argText, "x|y");
}

TEST(CellParserTest, CountOnlyLeavesTheCellAlone)
{
    cmcCellObj cell = Parse("{S(Color=clRed)}Kept");
    EXPECT_EQ(cmcParseCell(cell, "{!S}Other|rest", nullptr, nullptr, true), "rest");
    EXPECT_TRUE(cell.IsStop());
    EXPECT_EQ(cell.DisplayText(), "Kept");
    EXPECT_EQ(cell.colour, 0x000000FFu);
}

TEST(CellParserTest, LayoutLetters)
{
    cmcCellObj parent = Parse("{>_WH+BXST}");
    struct Case {
        const char* text;
        const cmcCellObj* parent;
        std::uint8_t layout;
        std::uint8_t marks;
    };
    using C = cmcCellObj;
    const Case cases[] = {
        {"{}", nullptr, 0, 0},
        {"{<~}", nullptr, 0, 0},
        {"{^-}", nullptr, 0x01 | 0x04, 0},
        {"{>_}", nullptr, 0x02 | 0x08, 0},
        {"{WH+B}", nullptr, C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule, 0},
        {"{X}", nullptr, 0, 1},
        {"{Q}", nullptr, 0, 2},
        {"{XQ}", nullptr, 0, 2},
        {"{ST}", nullptr, 0, C::Stop | C::Tail},
        {"{Szy?}", nullptr, 0, C::Stop}, // other characters mean nothing
        {"{\\S}", nullptr, 0, 0},        // an escaped letter is no letter
        // Inherited from the parent, then cleared one letter at a time.
        {"", &parent, 0x02 | 0x08 | C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule,
         1 | C::Stop | C::Tail},
        {"{!S!W}", &parent, 0x02 | 0x08 | C::AutoHeight | C::Joined | C::BottomRule, 1 | C::Tail},
        {"{!H!+!B!X!T}", &parent, 0x02 | 0x08 | C::AutoWidth, C::Stop},
        {"{!Q}", &parent, 0x02 | 0x08 | C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule,
         C::Stop | C::Tail},
        // The negation lasts one character and never touches an alignment.
        {"{!<!~}", &parent, C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule, 1 | C::Stop | C::Tail},
        {"{!xS}", &parent, 0x02 | 0x08 | C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule,
         1 | C::Stop | C::Tail},
        {"{!(Color=clRed)S}", &parent, 0x02 | 0x08 | C::AutoWidth | C::AutoHeight | C::Joined | C::BottomRule,
         1 | C::Stop | C::Tail},
        // Several brace pairs join in order.
        {"{S}a{!S}b", nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        const cmcCellObj cell = Parse(c.text, c.parent);
        EXPECT_EQ(cell.layout, c.layout) << c.text;
        EXPECT_EQ(cell.marks, c.marks) << c.text;
    }
}

TEST(CellParserTest, ResetFromTheParent)
{
    ModelTexts texts;
    cmcCellObj parent = Parse("{($Basic)(%CT_Mch.CL_Mch_FreqR[7]:Text)(ImageIndex=3)(Flag2=1)}Parent");
    cmcCellObj cell = Parse("Child", &parent);
    EXPECT_EQ(cell.parent, &parent);
    EXPECT_EQ(cell.counters, nullptr);
    EXPECT_EQ(cell.category, Category(ctCategory::CT_Mch));
    EXPECT_EQ(cell.logic, Logic(clLogic::CL_Mch_FreqR));
    EXPECT_EQ(cell.arg, 7);
    EXPECT_EQ(cell.argText, "Text");
    EXPECT_EQ(cell.imageIndex, 3);
    EXPECT_EQ(cell.marks, cmcCellObj::Flag2);
    EXPECT_EQ(cell.DisplayText(), "Child");
    // Font and popup menu stay with the parent and are reached through it.
    EXPECT_FALSE(cell.font.has_value());
    EXPECT_TRUE(cell.popupMenu.empty());
    EXPECT_EQ(cell.PopupMenuName(), "GI_PMenu_Edit");
    ASSERT_NE(cell.EffectiveFont(), nullptr);
    EXPECT_EQ(cell.EffectiveFont()->height, -17);
    EXPECT_EQ(Parse("{(PopupMenu=GI_PMenu_NoItem)}", &parent).PopupMenuName(), "GI_PMenu_NoItem");

    // Without a parent everything but the category starts afresh.
    cmcCellObj reused = Parse("{(%CT_Rpt.CL_Mch_FreqR[4]:x)(PopupMenu=P)(Font=,,clRed,,,,)S}t");
    (void)cmcParseCell(reused, "plain", nullptr, nullptr);
    EXPECT_EQ(reused.category, Category(ctCategory::CT_Rpt));
    EXPECT_EQ(reused.logic, clNoLogic);
    EXPECT_EQ(reused.arg, 0);
    EXPECT_FALSE(reused.argText.has_value());
    EXPECT_EQ(reused.PopupMenuName(), "");
    EXPECT_EQ(reused.EffectiveFont(), nullptr);
    EXPECT_EQ(reused.marks, 0);
    EXPECT_EQ(reused.colour, clWindowColour);
}

TEST(CellParserTest, GroupsColourImageFlags)
{
    cmcCellObj parent = Parse("{(Color=clTeal)(Flag0=1)(Flag4=1)}");
    struct Case {
        const char* text;
        std::uint32_t colour;
        std::uint8_t marks;
        std::uint8_t extra;
    };
    const Case cases[] = {
        {"{(Color=clRed)}", 0x000000FF, 0x10, 1},
        {"{(Color= clRed)}", 0x00808000, 0x10, 1}, // taken as written: no such name
        {"{(Color=clBogus)}", 0x00808000, 0x10, 1},
        {"{(Color)}", 0x00808000, 0x10, 1},
        {"{(Flag0=0)(Flag3=1)}", 0x00808000, 0x80, 1},
        {"{(Flag1=1)(Flag2=1)}", 0x00808000, 0x70, 1},
        {"{(Flag5=0)}", 0x00808000, 0x10, 0},
        {"{(Flag8=0)}", 0x00808000, 0x10, 0},
        {"{(Flag8=0)(Flag5=1)}", 0x00808000, 0x10, 1},
        {"{(Flag9=0)(Flag0=2)(Flag0:0)(Flag=1)}", 0x00808000, 0x10, 1}, // other forms are ignored
        {"{(Whatever=1)(ImageIndex=12)}", 0x00808000, 0x10, 1},
    };
    for (const Case& c : cases) {
        const cmcCellObj cell = Parse(c.text, &parent);
        EXPECT_EQ(cell.colour, c.colour) << c.text;
        EXPECT_EQ(cell.marks, c.marks) << c.text;
        EXPECT_EQ(cell.extra, c.extra) << c.text;
    }
    EXPECT_EQ(Parse("{(ImageIndex=12)}").imageIndex, 12);
    EXPECT_EQ(Parse("{(ImageIndex= 7)}").imageIndex, 7);
    EXPECT_EQ(Parse("{}").imageIndex, -1);
}

TEST(CellParserTest, FontGroup)
{
    ModelTexts texts;
    const cmcCellObj basic = Parse("{($Basic)}");
    cmcCellObj tiny = Parse("{(Font=,,,-1,2,,)}");
    struct Case {
        const char* text;
        const cmcCellObj* parent;
        cmcCellFont font;
    };
    const cmcCellFont dflt = cmcDefaultCellFont();
    auto with = [](cmcCellFont f, auto change) {
        change(f);
        return f;
    };
    const cmcCellFont basicFont = *basic.font;
    const Case cases[] = {
        {"{(Font=,,,,,,)}", nullptr, dflt},
        {"{(Font=)}", nullptr, dflt},
        {"{(Font=,,,,,,)}", &basic, basicFont},
        {"{(Font=ANSI_CHARSET  , Courier New,clRed,-20,10,fsItalic, fpFixed)}", &basic,
         with(basicFont,
              [](cmcCellFont& f) {
                  f.charset = 0;
                  f.face = "Courier New";
                  f.colour = 0xFF;
                  f.height = -20;
                  f.size = 10;
                  f.style = 2;
                  f.pitch = 1;
              })},
        // A name with blanks in front, or an unknown name, keeps the value.
        {"{(Font= ANSI_CHARSET,,clBogus,,,fsBogus,fpNone)}", &basic, basicFont},
        {"{(Font=,,,abc,0,,)}", &basic, basicFont},
        // Percentages truncate toward zero and never give 0.
        {"{(Font=,,,%150,%50,,)}", &basic,
         with(basicFont,
              [](cmcCellFont& f) {
                  f.height = -25;
                  f.size = 4;
              })},
        {"{(Font=,,,%50,%50,,)}", &tiny,
         with(*tiny.font,
              [](cmcCellFont& f) {
                  f.height = 1;
                  f.size = 1;
              })},
        // Styles: the first known name starts afresh, unknown names are skipped.
        {"{(Font=,,,,,fsBold+fsUnderline,)}", nullptr, with(dflt, [](cmcCellFont& f) { f.style = 5; })},
        {"{(Font=,,,,,fsBold)(Font=,,,,,fsNone+fsStrikeOut,)}", nullptr,
         with(dflt, [](cmcCellFont& f) { f.style = 8; })},
        {"{(Font=,,,,,fsBold)(Font=,,,,,fsNone,)}", nullptr, with(dflt, [](cmcCellFont& f) { f.style = 1; })},
        // A second group works on the font of the first.
        {"{(Font=,,,-10,,,)(Font=,,,%200,,,)}", nullptr, with(dflt, [](cmcCellFont& f) { f.height = -20; })},
    };
    for (const Case& c : cases) {
        const cmcCellObj cell = Parse(c.text, c.parent);
        ASSERT_TRUE(cell.font.has_value()) << c.text;
        EXPECT_EQ(*cell.font, c.font) << c.text;
    }
    EXPECT_EQ(basicFont.height, -17);
    EXPECT_EQ(basicFont.colour, 0x80000008u);
    EXPECT_EQ(basicFont.charset, 1);

    // The same fields applied to a font outside any cell (a sheet's title font).
    cmcCellFont title;
    cmcApplyFontFields(title, "SYMBOL_CHARSET,Sans,clNavy,-14,,fsItalic+fsBold,fpVariable");
    EXPECT_EQ(title, with(cmcCellFont{}, [](cmcCellFont& f) {
                  f.charset = 2;
                  f.face = "Sans";
                  f.colour = 0x00800000;
                  f.height = -14;
                  f.style = 3;
                  f.pitch = 2;
              }));
}

TEST(CellParserTest, CellModels)
{
    ModelTexts texts;
    const cmcCellObj header = Parse("{($iChI)}%d");
    EXPECT_EQ(header.HorizontalAlignment(), 1);
    EXPECT_EQ(header.VerticalAlignment(), 1);
    EXPECT_EQ(header.layout & (cmcCellObj::AutoWidth | cmcCellObj::AutoHeight),
              cmcCellObj::AutoWidth | cmcCellObj::AutoHeight);
    EXPECT_EQ(header.colour, 0x00808080u);
    ASSERT_TRUE(header.font.has_value());
    EXPECT_EQ(header.font->colour, 0x00FFFFFFu);
    EXPECT_EQ(header.font->style, 1);
    EXPECT_EQ(header.DisplayText(), "%d");

    const cmcCellObj bit = Parse("{($eWh)^(%CL_FBits[3])}9");
    EXPECT_TRUE(bit.IsStop());
    EXPECT_EQ(bit.HorizontalAlignment(), 1); // the letter after the model wins
    EXPECT_EQ(bit.VerticalAlignment(), 2);
    EXPECT_EQ(bit.layout & cmcCellObj::BottomRule, cmcCellObj::BottomRule);
    EXPECT_EQ(bit.logic, Logic(clLogic::CL_FBits));
    EXPECT_EQ(bit.arg, 3);

    const cmcCellObj pillar = Parse("{($iQp)}");
    EXPECT_EQ(pillar.category, Category(ctCategory::CT_Null));
    EXPECT_EQ(pillar.logic, Logic(clLogic::CL_Misc_QuarterPillar));

    // A model naming a model.
    const cmcCellObj nested = Parse("{($Header)}");
    EXPECT_EQ(nested.colour, 0x00808080u);
    EXPECT_EQ(nested.marks & cmcCellObj::RightRuleMask, 1);
    EXPECT_EQ(nested.imageIndex, 4);

    // A model that names itself, or one that does not exist, stops the program.
    EXPECT_EQ(FatalTextOf("{($Loop)}"), "Cell models nested too deep.\n'CellModel_Loop'");
    EXPECT_EQ(FatalTextOf("{($Nothing)}"), "GTEX Error !\nThe index 'CellModel_Nothing' was not found.");
}

TEST(CellParserTest, LogicReferences)
{
    cmcCellObj parent = Parse("{(%CT_Mch.CL_Mch_FreqR[2]:P)}");
    const cmcCellObj full = Parse("{(%CT_Rpt.CL_Mch_FreqR[15])}");
    EXPECT_EQ(full.category, Category(ctCategory::CT_Rpt));
    EXPECT_EQ(full.logic, Logic(clLogic::CL_Mch_FreqR));
    EXPECT_EQ(full.arg, 15);
    EXPECT_FALSE(full.argText.has_value());

    // Category and '.' without a logic name: logic none, text from outside the braces.
    const cmcCellObj categoryOnly = Parse("{(%CT_PopupMenu.)} Edit ", &parent);
    EXPECT_EQ(categoryOnly.category, Category(ctCategory::CT_PopupMenu));
    EXPECT_EQ(categoryOnly.logic, clNoLogic);
    EXPECT_EQ(categoryOnly.DisplayText(), "Edit");

    // No '.': the category stays; ':' before '[' makes the brackets part of the text.
    const cmcCellObj check = Parse("{(%CL_Check_Mch:[St_ChBank]GI_Sheet_Mch_%s,Bank %d)}", &parent);
    EXPECT_EQ(check.category, Category(ctCategory::CT_Mch));
    EXPECT_EQ(check.logic, Logic(clLogic::CL_Check_Mch));
    EXPECT_EQ(check.arg, 2);
    EXPECT_EQ(check.argText, "[St_ChBank]GI_Sheet_Mch_%s,Bank %d");

    const cmcCellObj edit = Parse("+Edit...\t{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}");
    EXPECT_EQ(edit.logic, Logic(clLogic::CL_PMenu_Edit));
    EXPECT_EQ(edit.argText, "Enter");
    EXPECT_EQ(edit.DisplayText(), "+Edit...");

    // An empty category name means none; backslashes leave the text argument.
    const cmcCellObj noCategory = Parse("{(%.CL_Null[-3]:a\\:b\\\\c\\)d\\)}", &parent);
    EXPECT_EQ(noCategory.category, ctNoCategory);
    EXPECT_EQ(noCategory.logic, Logic(clLogic::CL_Null));
    EXPECT_EQ(noCategory.arg, -3);
    EXPECT_EQ(noCategory.argText, "a:b\\c)d)");

    EXPECT_EQ(FatalTextOf("{(%CT_Nowhere.CL_Null)}"), "Cannot use the specified category.\n'CT_Nowhere'");
    EXPECT_EQ(FatalTextOf("{(%CT_Mch.CL_Nothing[1])}"), "Cannot use the specified cell.\n'CL_Nothing'");
    EXPECT_EQ(FatalTextOf("{(%cl_null)}"), "Cannot use the specified cell.\n'cl_null'");
}

TEST(CellParserTest, RowCounters)
{
    cmcRowCounters counters{};
    cmcCellObj cell;
    std::string_view row = "{(@ch0=5)}|{(%Flex0[@ch0])}\\(@ch0)|{(@ch3= 41)(@ch3++)}\\(@ch3 + 2)";
    row = cmcParseCell(cell, row, &counters, nullptr);
    row = cmcParseCell(cell, row, &counters, nullptr);
    EXPECT_EQ(cell.arg, 5);
    EXPECT_EQ(cell.DisplayText(), "5");
    EXPECT_EQ(cell.counters, nullptr); // only set while parsing
    row = cmcParseCell(cell, row, &counters, nullptr);
    EXPECT_EQ(row, "");
    EXPECT_EQ(counters[3], 42);
    EXPECT_EQ(cell.DisplayText(), "44");

    // An increment in every row numbers the rows; the counters carry from row to row.
    counters = {};
    std::vector<std::string> numbers;
    for (int r = 0; r < 3; ++r) {
        const std::vector<cmcCellObj> cells =
            cmcParseRow("{(@ch0++)}|{(%Flex0[@ch0])}Ch \\(@ch0+100)", &counters, nullptr);
        ASSERT_EQ(cells.size(), 2u);
        EXPECT_EQ(cells[1].arg, r + 1);
        numbers.push_back(cells[1].DisplayText());
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"Ch 101", "Ch 102", "Ch 103"}));

    // A counter at the top of its range stays there.
    EXPECT_EQ(Parse("{(@ch2=99999999999)(@ch2++)}\\(@ch2)", nullptr, &counters).DisplayText(), "214748");
    EXPECT_EQ(counters[2], 2147483647);

    // At most six characters are inserted.
    counters[1] = 123456789;
    EXPECT_EQ(Parse("n=\\(@ch1)", nullptr, &counters).DisplayText(), "n=123456");

    struct Bad {
        const char* text;
        const char* fatal;
    };
    const Bad bad[] = {
        {"{(@ch10++)}", "Ch No. Error"}, {"{(@ch++)}", "Ch No. Error"},
        {"{(@cx1++)}", "Ch No. Error"},  {"{(%Flex0[@ch12])}", "Ch No. Error"},
        {"\\(@ch1+1", "Illegal Ch No."}, {"\\(@ch1-1)", "Illegal Ch No."},
        {"\\(@ch12)", "Ch No. Error"},
    };
    for (const Bad& b : bad)
        EXPECT_EQ(FatalTextOf(b.text, &counters), b.fatal) << b.text;
    // A cell without row counters cannot use them.
    EXPECT_EQ(FatalTextOf("{(@ch0++)}"), "Ch No. Error");
    EXPECT_EQ(FatalTextOf("{(%Flex0[@ch0])}"), "Ch No. Error");
    EXPECT_EQ(FatalTextOf("\\(@ch0)"), "Ch No. Error");
}

TEST(CellParserTest, DisplayText)
{
    struct Case {
        const char* text;
        const char* display; // nullptr: no text
    };
    const Case cases[] = {
        {"", nullptr},
        {"   \t ", nullptr},
        {"{S}   ", nullptr},
        {"  a b  ", "a b"},
        {"\\_a\\_", " a "},
        {"Line1\\nLine2\\NLine3", "Line1\nLine2\nLine3"},
        {"50\\%\\x\\\\", "50%x\\"},
        {"\\(x)", "(x)"},
        {"a{S}b{W}c", "abc"},
        {"Frequency (MHz)", "Frequency (MHz)"},
        {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    };
    for (const Case& c : cases) {
        const cmcCellObj cell = Parse(c.text);
        EXPECT_EQ(cell.text.has_value(), c.display != nullptr) << c.text;
        EXPECT_EQ(cell.DisplayText(), c.display ? c.display : "") << c.text;
    }
}

TEST(CellParserTest, BasicCellOfASheet)
{
    ModelTexts texts;
    struct Case {
        int heightOverride;
        int zoom;
        int printScale;
        int height;
    };
    const Case cases[] = {
        {0, 100, 100, -17}, {0, 150, 100, -25}, {-20, 150, 100, -20},
        {0, 150, 50, -12},  {-9, 100, 10, 1}, // a product truncated to 0 becomes 1
    };
    for (const Case& c : cases) {
        const cmcCellObj basic = cmcParseBasicCell("{($Basic)(PopupMenu=GI_PMenu_NoItem)}", c.heightOverride,
                                                   c.zoom, c.printScale);
        ASSERT_TRUE(basic.font.has_value());
        EXPECT_EQ(basic.font->height, c.height) << c.heightOverride << " " << c.zoom << " " << c.printScale;
        EXPECT_EQ(basic.PopupMenuName(), "GI_PMenu_NoItem");
    }
    // Without a font of its own the basic cell scales the default font; a second cell of the
    // text does not swallow the font groups.
    const cmcCellObj plain = cmcParseBasicCell("{S}|{W}", 0, 200, 100);
    ASSERT_TRUE(plain.font.has_value());
    EXPECT_EQ(plain.font->height, cmcDefaultCellFont().height * 2);
    EXPECT_TRUE(plain.IsStop());
}
