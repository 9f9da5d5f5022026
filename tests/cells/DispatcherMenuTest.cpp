// Menu items through the dispatcher: the display rules (check marks, disabled and hidden
// items, captions) and the commands and events a chosen item starts.
#include "DispatcherTestHost.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"

#include <gtest/gtest.h>

namespace {

class DispatcherMenuTest : public testing::Test, protected DispatcherBed {
protected:
    // Shows the item as a menu does before it opens: flags cleared, then the logic runs
    // without a key. Answers the flag bits.
    std::uint8_t show(FakeCell& item)
    {
        item.cell.marks &= static_cast<std::uint8_t>(~cmcCellObj::FlagMask);
        item.Draw();
        item.capsule.eventSource = nullptr;
        Dispatch(item);
        return item.cell.marks & cmcCellObj::FlagMask;
    }
    // Chooses the item: the menu runs it with Enter.
    void choose(FakeCell& item)
    {
        item.Key(cmcKey::Enter);
        Dispatch(item);
    }
    static constexpr std::uint8_t checked = cmcCellObj::Flag0;
    static constexpr std::uint8_t hidden = cmcCellObj::Flag1;
    static constexpr std::uint8_t disabled = cmcCellObj::Flag2;
    static constexpr std::uint8_t caption = cmcCellObj::Flag3;
};

TEST_F(DispatcherMenuTest, CheckMarksFollowTheSettings)
{
    host.menu.zoomPercent = 125;
    host.menu.comPort = 3;
    host.menu.comSpeedHigh = 1;
    host.menu.toolBarShown = false;
    const struct {
        clLogic logic;
        int arg;
        bool serial;  // checked with the serial link
        bool network; // checked with the network link
    } items[] = {
        {clLogic::CL_Menu_View_FontSize, 125, true, true},
        {clLogic::CL_Menu_View_FontSize, 100, false, false},
        {clLogic::CL_Menu_View_ToolBar, 0, false, false},
        {clLogic::CL_Menu_Port_Com, 3, true, false},
        {clLogic::CL_Menu_Port_Com, 1, false, false},
        {clLogic::CL_Menu_Port_Usb, 0, false, false},
        {clLogic::CL_Menu_Port_SpeedHigh, 1, true, false},
        {clLogic::CL_Menu_Port_SpeedHigh, 0, false, false},
        {clLogic::CL_Menu_Tcpip_Address, 0, false, true},
        {clLogic::CL_Model_Conv_Lmr_VADOR_Rep, 0, true, true},
        {clLogic::CL_Menu_View_Ad, 0, false, false},
    };
    for (bool network : {false, true}) {
        host.menu.networkLink = network;
        for (const auto& item : items) {
            FakeCell cell(ctCategory::CT_Null, item.logic, item.arg);
            EXPECT_EQ(show(cell), (network ? item.network : item.serial) ? checked : 0)
                << clLogicName(clIndex(item.logic)) << "[" << item.arg << "] network " << network;
        }
    }
    host.menu.networkLink = false;
    host.menu.comPort = 7;
    host.menu.toolBarShown = true;
    host.menu.adjustView = true;
    host.menu.modelVariant = 1;
    for (auto [logic, expected] :
         {std::pair{clLogic::CL_Menu_Port_Usb, checked}, std::pair{clLogic::CL_Menu_View_ToolBar, checked},
          std::pair{clLogic::CL_Menu_View_Ad, checked},
          std::pair{clLogic::CL_Model_Conv_Lmr_VADOR_Rep, std::uint8_t{0}}}) {
        FakeCell cell(ctCategory::CT_Null, logic);
        EXPECT_EQ(show(cell), expected) << clLogicName(clIndex(logic));
    }
}

TEST_F(DispatcherMenuTest, RecentFilesShowTheirNameOrHideTheEmptyEntries)
{
    host.recent[0] = "R&D.icf";
    FakeCell first(ctCategory::CT_Null, clLogic::CL_Menu_File_Recent, 0);
    EXPECT_EQ(show(first), caption);
    EXPECT_EQ(first.cell.DisplayText(), "&1 R&&D.icf");

    FakeCell second(ctCategory::CT_Null, clLogic::CL_Menu_File_Recent, 1);
    EXPECT_EQ(show(second), disabled | hidden);
    host.recent.clear();
    EXPECT_EQ(show(first), disabled) << "entry 0 stays visible";

    choose(second);
    EXPECT_EQ(host.commands, (std::vector<DispatchCommand>{{clIndex(clLogic::CL_Menu_File_Recent), 1, ""}}));
}

TEST_F(DispatcherMenuTest, PrintCurrentIsDisabledWithNothingToPrint)
{
    FakeCell print(ctCategory::CT_Null, clLogic::CL_Menu_File_Print_Current);
    EXPECT_EQ(show(print), disabled);
    host.menu.canPrintCurrent = true;
    EXPECT_EQ(show(print), 0);
}

TEST_F(DispatcherMenuTest, ChosenItemsRunTheirCommandAndRaiseTheirEvents)
{
    const struct {
        clLogic logic;
        int arg;
        bool command;
        std::vector<cmcEvCode> events;
    } items[] = {
        {clLogic::CL_Menu_File_Save, 0, true, {}},
        {clLogic::CL_Menu_Port_Com, 2, true, {cmcEvCode::RefreshCommands}},
        {clLogic::CL_Menu_Port_SpeedHigh, 1, true, {cmcEvCode::RefreshCommands}},
        {clLogic::CL_Menu_Clone_Read, 0, true, {}},
        {clLogic::CL_Help_About, 0, false, {cmcEvCode::ShowAbout}},
        {clLogic::CL_Menu_Tcpip_Top, 0, false, {}},
        {clLogic::CL_Menu_Debug_Window, 0, false, {}},
    };
    for (const auto& item : items) {
        host.commands.clear();
        (void)bed.TakeEvents();
        FakeCell cell(ctCategory::CT_Null, item.logic, item.arg);
        show(cell);
        EXPECT_TRUE(host.commands.empty());
        choose(cell);
        const std::vector<DispatchCommand> expected{{clIndex(item.logic), item.arg, ""}};
        EXPECT_EQ(host.commands, item.command ? expected : std::vector<DispatchCommand>{})
            << clLogicName(clIndex(item.logic));
        std::vector<cmcEvCode> raised;
        for (const FakeRaisedEvent& e : bed.TakeEvents())
            raised.push_back(e.code);
        EXPECT_EQ(raised, item.events) << clLogicName(clIndex(item.logic));
    }

    FakeCell contents(ctCategory::CT_Null, clLogic::CL_Help_Contents);
    choose(contents);
    EXPECT_EQ(host.helpTopics, std::vector<std::string>{""});
}

TEST_F(DispatcherMenuTest, TheAdjustmentViewSwitchesOrUpdates)
{
    FakeCell update(ctCategory::CT_Null, clLogic::CL_Menu_View_Ad_Update);
    choose(update);
    const std::vector<FakeRaisedEvent> raised = bed.TakeEvents();
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(raised[0].code, cmcEvCode::RefreshCommands);
    EXPECT_EQ(raised[1].code, cmcEvCode::ToggleAdjustWindow);
    EXPECT_EQ(host.commands, (std::vector<DispatchCommand>{{clIndex(clLogic::CL_Menu_View_Ad), 0, ""}}));

    host.commands.clear();
    host.menu.adjustView = true;
    choose(update);
    EXPECT_TRUE(bed.TakeEvents().empty());
    EXPECT_EQ(host.commands,
              (std::vector<DispatchCommand>{{clIndex(clLogic::CL_Menu_View_Ad_Update), 0, ""}}));
}

TEST_F(DispatcherMenuTest, AnEmptyEditMenuIsFilledWithTheNoItemMenu)
{
    FakeCell edit(ctCategory::CT_Null, clLogic::CL_Menu_Edit_Top);
    show(edit);
    EXPECT_TRUE(bed.TakeEvents().empty()) << "no main menu";

    int mainMenu = 0;
    host.menu.mainMenu = reinterpret_cast<std::intptr_t>(&mainMenu);
    show(edit);
    EXPECT_TRUE(bed.TakeEvents().empty()) << "the Edit menu has items";
    host.menu.editMenuEmpty = true;
    show(edit);
    const std::vector<FakeRaisedEvent> raised = bed.TakeEvents();
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].code, cmcEvCode::BuildSubItems);
    EXPECT_EQ(raised[0].arg1, host.menu.mainMenu);
    EXPECT_EQ(raised[0].arg2, 25);
}

TEST_F(DispatcherMenuTest, SheetsLanguagesAndPopupHelpers)
{
    FakeCell sheet(ctCategory::CT_Null, clLogic::CallSheet);
    choose(sheet);
    EXPECT_TRUE(host.commands.empty()) << "a node without a sheet opens nothing";

    FakeCell language(ctCategory::CT_Null, clLogic::CL_Language_Text, 0);
    EXPECT_EQ(show(language), caption);
    EXPECT_EQ(language.capsule.output, "English");
    FakeCell missing(ctCategory::CT_Null, clLogic::CL_Language_Text, 5);
    EXPECT_EQ(show(missing), 0);
    EXPECT_EQ(missing.capsule.output, "");

    FakeCell from0(ctCategory::CT_Null, clLogic::CL_Misc_ChNo_0Base, 4);
    FakeCell from1(ctCategory::CT_Null, clLogic::CL_Misc_ChNo_1Base, 4);
    Dispatch(from0);
    Dispatch(from1);
    EXPECT_EQ(from0.capsule.output, "4");
    EXPECT_EQ(from1.capsule.output, "5");
    for (clLogic quiet : {clLogic::CL_FBits, clLogic::CL_Misc_QuarterPillar}) {
        FakeCell cell(ctCategory::CT_Null, quiet, 3);
        Dispatch(cell);
        EXPECT_EQ(cell.capsule.output, "");
    }
}

} // namespace
