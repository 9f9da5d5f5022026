// The dispatcher's run: what it does before and around a logic (no behaviour, Flex items,
// double click, result flags, the re-check turn) and the blank rows and redirects of the
// channel, ID-list and repeater tables; the evaluation helpers.
#include "DispatcherTestHost.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clDispatchTable.h"
#include "cells/datMemoryMap.h"
#include "image/cmcBigEndian.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <array>

namespace {

class DispatcherTest : public testing::Test, protected DispatcherBed {
protected:
    cmcEeprom& image() { return host.Image(); }
    void programChannels(int n) { ProgramChannels(n); }

    // Bank 0's second flag: the bank is a trunked bank.
    void setTrunked(bool on)
    {
        std::uint8_t& flags = image().Bytes()[datBankFlags2Place];
        flags = static_cast<std::uint8_t>(on ? (flags | 0x80) : (flags & 0x7F));
    }

    static std::array<int, 5> redirect(ctCategory category, clLogic logic, int arg, int key)
    {
        return {1, static_cast<int>(category), clIndex(logic), arg, key};
    }
};

TEST_F(DispatcherTest, LogicsWithoutBehaviourShowTheirIndex)
{
    FakeCell unbound(ctCategory::CT_Null, clLogic::CL_EeDebugWin_Adr);
    EXPECT_EQ(Dispatch(unbound), cmcRunResult::Done);
    EXPECT_EQ(unbound.capsule.output, Format("%d *Yet*", clIndex(clLogic::CL_EeDebugWin_Adr)));

    FakeCell beyond(ctNoCategory, clLogicCount + 3);
    Dispatch(beyond);
    EXPECT_EQ(beyond.capsule.output, Format("%d *Yet*", clLogicCount + 3));

    // No logic and the logics that do nothing draw nothing.
    for (int logic : {clNoLogic, clIndex(clLogic::CL_Null), clIndex(clLogic::CL_Maker_TxcDelayTimer),
                      clIndex(clLogic::CL_Mdc_Alias3_Text), clIndex(clLogic::CL_Adjust_BPF_H_T2_Bar)}) {
        FakeCell quiet(ctNoCategory, logic);
        quiet.capsule.output = "stale";
        Dispatch(quiet);
        EXPECT_EQ(quiet.capsule.output, "") << logic;
    }
}

TEST_F(DispatcherTest, ListItemsShowTheirDisplayText)
{
    for (clLogic flex : {clLogic::Flex0, clLogic::Flex2, clLogic::FlexMark, clLogic::FlexCHSel}) {
        FakeCell item(ctNoCategory, clIndex(flex));
        item.cell.text = "Wide";
        Dispatch(item);
        EXPECT_EQ(item.capsule.output, "Wide") << clLogicName(clIndex(flex));
    }
    FakeCell language(ctNoCategory, clIndex(clLogic::Flex_Language_ChNo));
    language.cell.text = "English";
    Dispatch(language);
    EXPECT_EQ(language.capsule.output, "");
}

TEST_F(DispatcherTest, DoubleClickActsAsEnter)
{
    FakeCell sheet(ctCategory::CT_Null, clLogic::CallSheet);
    sheet.cell.argText = "GI_Sheet_Common";
    Dispatch(sheet);
    sheet.Key(cmcKey::Space);
    Dispatch(sheet);
    EXPECT_TRUE(host.commands.empty()) << "drawing and other keys run no command";

    sheet.Key(cmcKey::DoubleClick);
    Dispatch(sheet);
    EXPECT_EQ(sheet.capsule.key, cmcKey::Enter);
    sheet.Key(cmcKey::Enter);
    Dispatch(sheet);
    const DispatchCommand expected{clIndex(clLogic::CallSheet), 0, "GI_Sheet_Common"};
    EXPECT_EQ(host.commands, (std::vector<DispatchCommand>{expected, expected}));
}

TEST_F(DispatcherTest, EveryRunWithAnEventTurnsTheRecheckOnceAndReportsItsFlags)
{
    programChannels(2);
    FakeCell name(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 0);
    FakeCell setting(ctCategory::CT_Null, clLogic::CL_EeDebugWin_0);
    std::vector<int> reported;
    const auto record = [&](cmcCellCapsule&, int flags) { reported.push_back(flags); };

    name.Draw().notify = record;
    Dispatch(name, true);
    setting.Draw().notify = record;
    Dispatch(setting, true);
    Dispatch(setting, false);
    EXPECT_EQ(host.afterEventRuns, 0);
    EXPECT_EQ(reported,
              (std::vector<int>{cmcRepaint::SameCell | cmcRepaint::SameRecord, cmcRepaint::SameCell}));

    setting.Key('x');
    Dispatch(setting);
    setting.Input("1");
    Dispatch(setting);
    setting.Choice(clLogic::Flex0, 1);
    Dispatch(setting);
    setting.Key(0).command = clIndex(clLogic::CL_PMenu_NoItem);
    Dispatch(setting);
    EXPECT_EQ(host.afterEventRuns, 4);
}

TEST_F(DispatcherTest, ABlankChannelRowIsEmptyAndSendsTypedCharactersToTheFrequency)
{
    programChannels(3);
    FakeCell name(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 3);
    Dispatch(name);
    EXPECT_EQ(name.capsule.output, "");

    cmcEeprom before;
    before.CopyFrom(image());
    for (int key : {int{'a'}, int{'7'}, cmcKey::Enter, cmcKey::Backspace}) {
        name.Key(key);
        EXPECT_EQ(Dispatch(name), cmcRunResult::Done);
        EXPECT_EQ(name.capsule.redirect, redirect(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR, 3, key));
    }
    EXPECT_TRUE(image().Equals(before));
    EXPECT_TRUE(host.popups.empty());

    // A row in use keeps its cells; no redirect.
    FakeCell used(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 2);
    used.Key('a');
    Dispatch(used);
    EXPECT_EQ(used.capsule.redirect[0], 0);
    EXPECT_EQ(used.capsule.redirect[2], clIndex(clLogic::CL_Mch_Text));
}

TEST_F(DispatcherTest, ATypedDigitOnTheBlankRowAddsAChannelOnlyWhileOneFits)
{
    const auto typeDigitAtRow = [&](int row) {
        FakeCell freq(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR, row);
        freq.Key('1');
        return Dispatch(freq);
    };
    const std::string overflow = MainText().GetMultiLineText("GI_AppMess_ChErr_Overflow");

    // A full bank: the row below its last channel refuses.
    programChannels(32);
    cmcEeprom before;
    before.CopyFrom(image());
    EXPECT_EQ(typeDigitAtRow(32), cmcRunResult::Done);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, overflow);
    EXPECT_TRUE(image().Equals(before));

    // Room in the bank but not in the radio's memory.
    boxes.ClearBoxes();
    programChannels(5);
    SetBE16(image().Bytes() + datUsedEndPlace, 0xFF80 - 64);
    before.CopyFrom(image());
    typeDigitAtRow(5);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, overflow);
    EXPECT_TRUE(image().Equals(before));

    // Room for it: the channel is added and the editor starts with the digit.
    boxes.ClearBoxes();
    programChannels(2);
    EXPECT_EQ(typeDigitAtRow(2), cmcRunResult::StartEditor);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(datChannelCount(image(), 0), 3);
}

TEST_F(DispatcherTest, TheBankTypeDecidesTheRowsFirstCellAndWhichCellsAreGrey)
{
    programChannels(2);
    FakeCell freq(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR, 1);
    FakeCell group(ctCategory::CT_Mch, clLogic::CL_Grp_RxId, 1);
    FakeCell name(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 1);

    // Conventional bank: the group cells do not apply.
    Dispatch(group);
    EXPECT_EQ(group.capsule.fontColour, clSilverColour);
    group.Key('5');
    Dispatch(group);
    EXPECT_EQ(group.capsule.redirect, redirect(ctCategory::CT_Mch, clLogic::CL_Mch_FreqR, 1, '5'));
    Dispatch(name);
    EXPECT_NE(name.capsule.fontColour, clSilverColour);

    // Trunked bank: the frequency, tone and lockout cells do not apply.
    setTrunked(true);
    Dispatch(freq);
    EXPECT_EQ(freq.capsule.fontColour, clSilverColour);
    freq.Key('5');
    Dispatch(freq);
    EXPECT_EQ(freq.capsule.redirect, redirect(ctCategory::CT_Mch, clLogic::CL_Grp_RxId, 1, '5'));
    FakeCell blankName(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 2);
    blankName.Key('q');
    Dispatch(blankName);
    EXPECT_EQ(blankName.capsule.redirect, redirect(ctCategory::CT_Mch, clLogic::CL_Grp_RxId, 2, 'q'));
}

TEST_F(DispatcherTest, IdListAndRepeaterRowsPastTheUsedCountAreBlank)
{
    // The default image holds one individual ID, one talk group and no repeater.
    const struct {
        ctCategory category;
        clLogic cell;
        clLogic first;
        int row;
    } rows[] = {
        {ctCategory::CT_DIG_Inv, clLogic::CL_Digi_Ind_Id_Name, clLogic::CL_Digi_Ind_Id_Dec, 1},
        {ctCategory::CT_DIG_Tg, clLogic::CL_Digi_Grp_Id_Hex, clLogic::CL_Digi_Grp_Id_Dec, 7},
        {ctCategory::CT_Rpt, clLogic::CL_Rpt_RxDat, clLogic::CL_Rpt_FreqR, 0},
    };
    for (const auto& r : rows) {
        FakeCell cell(r.category, r.cell, r.row);
        Dispatch(cell);
        EXPECT_EQ(cell.capsule.output, "") << clLogicName(clIndex(r.cell));
        cell.Key('3');
        Dispatch(cell);
        EXPECT_EQ(cell.capsule.redirect, redirect(r.category, r.first, r.row, '3'));
    }
    // The site's own cells are not part of a repeater row.
    FakeCell siteText(ctCategory::CT_Rpt, clLogic::CL_Rpt_Text, 0);
    siteText.Key('3');
    Dispatch(siteText);
    EXPECT_EQ(siteText.capsule.redirect[0], 0);
}

TEST_F(DispatcherTest, HelpersReportTheBankAndTheRoomLeft)
{
    programChannels(3);
    indActiveCell cells = Cells();
    EXPECT_EQ(cells.bankInfo(), (indActiveCell::RangeInfo{0, 0, 2, 3}));
    EXPECT_EQ(cells.siteInfo(), (indActiveCell::RangeInfo{0, 0, 0, 0}));
    host.currentBank = -1;
    EXPECT_EQ(cells.bankInfo(), indActiveCell::RangeInfo{});
    host.currentBank = 0;

    const int mch = static_cast<int>(ctCategory::CT_Mch);
    EXPECT_EQ(cells.maxFitting(mch, 5, 0), 5);
    // Leave room for two more channels (a channel needs 65 bytes of the dynamic area).
    SetBE16(image().Bytes() + datUsedEndPlace, 0xFF80 - 2 * 65);
    EXPECT_EQ(cells.maxFitting(mch, 5, 0), 2);

    EXPECT_EQ(cells.textOf(nullptr), "");
    cmcCellObj flex;
    flex.logic = clIndex(clLogic::Flex0);
    flex.text = "label";
    EXPECT_EQ(cells.textOf(&flex), "label");
    EXPECT_EQ(indActiveCell::logicName(clIndex(clLogic::CallSheet)), "CallSheet");
    EXPECT_EQ(indActiveCell::recordKindOf(static_cast<int>(ctCategory::CT_Rpt)), 22);
}

TEST(DispatchTable, ALogicBoundTwiceIsADefinitionError)
{
    static const clBinding first[] = {{clLogic::CL_Menu_File_New, [](clRun&) {}}};
    static const clBinding second[] = {{clLogic::CL_Menu_File_New, [](clRun&) {}}};
    const std::array<std::span<const clBinding>, 1> one{first};
    EXPECT_NE(clJoinFamilies(one)[static_cast<std::size_t>(clIndex(clLogic::CL_Menu_File_New))], nullptr);
    const std::array<std::span<const clBinding>, 2> both{first, second};
    FatalCatcher catcher;
    EXPECT_THROW((void)clJoinFamilies(both), FatalStop);
}

} // namespace
