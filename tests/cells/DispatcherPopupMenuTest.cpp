// A record's popup menu through the dispatcher: the record edits with their confirmations
// as a sheet sends them to its current cell, the items' enabled states, help and the copy
// of the serial number.
#include "DispatcherTestHost.h"

#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcTextTables.h"
#include "cells/clPopupMenu.h"

#include <gtest/gtest.h>

namespace {

class DispatcherPopupMenuTest : public testing::Test, protected DispatcherBed {
protected:
    // The sheet sends the chosen item's logic as a command to its current cell.
    int command(FakeCell& cell, clLogic item)
    {
        cell.Key(0).command = clIndex(item);
        cell.capsule.notify = [this](cmcCellCapsule&, int f) { flags = f; };
        flags = 0;
        return Dispatch(cell, true);
    }
    // The item's display rule for the owner cell: true when it stays enabled.
    bool enabled(clLogic item, FakeCell& owner)
    {
        FakeCell cell(ctCategory::CT_PopupMenu, item);
        cell.Draw().source = &owner.capsule;
        Dispatch(cell);
        return (cell.cell.marks & cmcCellObj::Flag2) == 0;
    }
    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const cmcMessage& box : boxes.Boxes())
            texts.push_back(box.text);
        return texts;
    }
    static std::string text(const char* key) { return MainText().GetMultiLineText(key); }

    int flags = 0;
};

TEST_F(DispatcherPopupMenuTest, DeleteAsksFirstAndTheRowsBelowMoveUp)
{
    ProgramChannels(3);
    cmcEeprom before;
    before.CopyFrom(Image());
    FakeCell name(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 1);

    boxes.Queue(cmcMbResult::Cancel);
    command(name, clLogic::CL_PMenu_Delete);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{text("GI_AppMess_Conv_Delete")});
    EXPECT_TRUE(Image().Equals(before));

    boxes.ClearBoxes();
    (void)bed.TakeEvents();
    boxes.Queue(cmcMbResult::Ok);
    EXPECT_EQ(command(name, clLogic::CL_PMenu_Delete), cmcRunResult::Done);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{text("GI_AppMess_Conv_Delete")});
    EXPECT_EQ(datChannelCount(Image(), 0), 2);
    EXPECT_EQ(ChannelName(1), "CH2");
    EXPECT_EQ(name.capsule.redirect, (std::array<int, 5>{1, static_cast<int>(ctCategory::CT_Mch),
                                                         clIndex(clLogic::CL_Mch_Text), 1, 0}));
    EXPECT_EQ(flags & cmcRepaint::All, cmcRepaint::All);
    EXPECT_TRUE(bed.Raised(cmcEvCode::StatusText));
}

TEST_F(DispatcherPopupMenuTest, CopiedRowsPasteOverUsedRowsOnlyAfterConfirmation)
{
    ProgramChannels(4);
    FakeCell first(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 0);
    first.capsule.multiSel = true;
    first.capsule.selFirst = 0;
    first.capsule.selLast = 1;
    command(first, clLogic::CL_PMenu_Copy);
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_TRUE(host.records.Has(datKindChannel));

    FakeCell target(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 2);
    target.capsule.multiSel = false;
    boxes.Queue(cmcMbResult::Ok);
    command(target, clLogic::CL_PMenu_Paste);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{text("GI_AppMess_Conv_Overwrite")});
    EXPECT_EQ(ChannelName(2), "CH0");
    EXPECT_EQ(ChannelName(3), "CH1");
    EXPECT_TRUE(target.capsule.multiSel);
    EXPECT_EQ(target.capsule.selFirst, 2);
    EXPECT_EQ(target.capsule.selLast, 3);
}

TEST_F(DispatcherPopupMenuTest, InsertingIntoAFullBankShowsTheOverflowAndChangesNothing)
{
    ProgramChannels(32);
    cmcEeprom before;
    before.CopyFrom(Image());
    FakeCell name(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 5);
    command(name, clLogic::CL_PMenu_Insert);
    EXPECT_EQ(boxTexts(), std::vector<std::string>{text("GI_AppMess_ChErr_Overflow")});
    EXPECT_TRUE(Image().Equals(before));
}

TEST_F(DispatcherPopupMenuTest, EditIsEnterOnTheCell)
{
    FakeCell sheet(ctCategory::CT_Null, clLogic::CallSheet);
    sheet.cell.argText = "GI_Sheet_Common";
    command(sheet, clLogic::CL_PMenu_Edit);
    EXPECT_EQ(host.commands,
              (std::vector<DispatchCommand>{{clIndex(clLogic::CallSheet), 0, "GI_Sheet_Common"}}));
}

TEST_F(DispatcherPopupMenuTest, ItemsAreEnabledForWhatTheOwnersRecordAllows)
{
    ProgramChannels(3);
    FakeCell used(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 1);
    FakeCell last(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 2);
    FakeCell newRow(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 3);
    FakeCell beyond(ctCategory::CT_Mch, clLogic::CL_Mch_Text, 5);
    FakeCell setting(ctCategory::CT_Null, clLogic::CL_SetM_BeepOn);

    EXPECT_TRUE(enabled(clLogic::CL_PMenu_Copy, used));
    EXPECT_TRUE(enabled(clLogic::CL_PMenu_Delete, used));
    EXPECT_TRUE(enabled(clLogic::CL_PMenu_CarryDown, used));
    EXPECT_FALSE(enabled(clLogic::CL_PMenu_CarryDown, last));
    EXPECT_FALSE(enabled(clLogic::CL_PMenu_Paste, used)) << "nothing copied yet";
    EXPECT_FALSE(enabled(clLogic::CL_PMenu_Copy, newRow));
    EXPECT_TRUE(enabled(clLogic::CL_PMenu_Insert, newRow));
    EXPECT_FALSE(enabled(clLogic::CL_PMenu_Insert, beyond));

    command(used, clLogic::CL_PMenu_Copy);
    EXPECT_TRUE(enabled(clLogic::CL_PMenu_Paste, last));

    for (clLogic item : {clLogic::CL_PMenu_Copy, clLogic::CL_PMenu_Paste, clLogic::CL_PMenu_Clear,
                         clLogic::CL_PMenu_Insert, clLogic::CL_PMenu_WinCopy, clLogic::CL_PMenu_NoItem})
        EXPECT_FALSE(enabled(item, setting)) << clLogicName(clIndex(item));
    for (clLogic item : {clLogic::CL_PMenu_Edit, clLogic::CL_PMenu_Help, clLogic::CL_PMenu_Help_Test04})
        EXPECT_TRUE(enabled(item, setting)) << clLogicName(clIndex(item));
    FakeCell serial(ctCategory::CT_Null, clLogic::CL_CloneInfo_Esn);
    EXPECT_TRUE(enabled(clLogic::CL_PMenu_WinCopy, serial));
}

TEST_F(DispatcherPopupMenuTest, HelpCommandsOpenTheCellsPage)
{
    cmcHelpGTex help;
    ASSERT_TRUE(help.SetLines({"#GI_AppItem_CellName_to_HtmlHelpName", "CL_Mch_Inh",
                               "CL_Mch_Text\tname_54973", "CL_Mch_FreqR\t00120.htm", "#", "#End_Of_Ovl"}));
    cmcGTex& main = MainText();
    cmcGTex& languages = LanguageText();
    cmcHelpGTex& shipped = HelpText();
    cmcSetTextTables(&main, &languages, &help);

    FakeCell name(ctCategory::CT_Null, clLogic::CL_Mch_Text);
    FakeCell freq(ctCategory::CT_Null, clLogic::CL_Mch_FreqR);
    FakeCell inhibit(ctCategory::CT_Null, clLogic::CL_Mch_Inh);
    command(name, clLogic::CL_PMenu_Help);
    command(freq, clLogic::CL_PMenu_Help_Test01);
    command(name, clLogic::CL_PMenu_Help_Test02);
    command(inhibit, clLogic::CL_PMenu_Help); // an entry without a page never matches
    EXPECT_EQ(host.helpPopups, (std::vector<int>{54973, 120, 54973}));
    command(name, clLogic::CL_PMenu_Help_Test03);
    command(inhibit, clLogic::CL_PMenu_Help_Test03);
    command(inhibit, clLogic::CL_PMenu_Help_Test04);
    EXPECT_EQ(host.helpTopics, (std::vector<std::string>{"name_54973.htm", "54973.htm"}));

    cmcSetTextTables(&main, &languages, &shipped);
    EXPECT_EQ(clHelpTopicNumber("54973.htm"), 54973);
    EXPECT_EQ(clHelpTopicNumber("contents.htm"), 0);
    EXPECT_EQ(clHelpTopicNumber("page12.5"), 13);
    EXPECT_EQ(clHelpTopicNumber("p-2.5"), -3);
}

TEST_F(DispatcherPopupMenuTest, TheSerialNumberIsCopiedAsDecimalFields)
{
    host.serial = "000A0B00000C";
    FakeCell esn(ctCategory::CT_Null, clLogic::CL_CloneInfo_Esn);
    FakeCell other(ctCategory::CT_Null, clLogic::CL_CloneInfo_Model);
    command(other, clLogic::CL_PMenu_WinCopy);
    EXPECT_EQ(host.clipboard, "");
    command(esn, clLogic::CL_PMenu_WinCopy);
    EXPECT_EQ(host.clipboard, "001011000012");

    host.clipboard.clear();
    for (const char* bad : {"000A0B00000G", "000A0B00000", ""}) {
        host.serial = bad;
        command(esn, clLogic::CL_PMenu_WinCopy);
        EXPECT_EQ(host.clipboard, "") << bad;
    }
}

} // namespace
