// The menu builder: nesting by indentation (shared with the tree), the state of every item
// from its logic's display rule, the default click handler, the items a sheet's popup menu
// puts under an item through events 11, 12 and 10, and the shipped definitions.
#include "BuilderTestBed.h"

#include "base/cmcEvMan.h"
#include "base/cmcText.h"
#include "cells/clLogic.h"
#include "cells/ctCategory.h"
#include "cells/indActiveCell.h"
#include "ui/cuiMenu.h"
#include "ui/cuiTree.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int editTop = clIndex(clLogic::CL_Menu_Edit_Top);

// The item of logic (and arg, when not negative), depth first.
QAction* itemOf(const cuiMenu& menu, const QWidget& container, clLogic logic, int arg = -1)
{
    for (QAction* action : container.actions()) {
        const cmcCellObj* cell = menu.CellOf(action);
        if (cell != nullptr && cell->logic == clIndex(logic) && (arg < 0 || cell->arg == arg))
            return action;
        if (action->menu() != nullptr) {
            if (QAction* found = itemOf(menu, *action->menu(), logic, arg))
                return found;
        }
    }
    return nullptr;
}

// Every item with a cell, depth first.
void allCells(const cuiMenu& menu, const QWidget& container, std::vector<cmcCellObj*>& out)
{
    for (QAction* action : container.actions()) {
        if (cmcCellObj* cell = menu.CellOf(action))
            out.push_back(cell);
        if (action->menu() != nullptr)
            allCells(menu, *action->menu(), out);
    }
}

class MenuBuilderTest : public testing::Test {
protected:
    BuilderTestBed bed;
    QWidget window;
};

struct NestingCase {
    const char* name;
    const char* structure;
};

// Lines indented 0, 1, 1, 2, 0; jumps of several columns in and several levels out; a line
// between two levels' indentations; separators, dots as indentation and a line without "+";
// an empty body.
constexpr NestingCase nestingCases[] = {
    {"GI_Menu_TestLevels", "A(A1,A2(A21)),B"},
    {"GI_Menu_TestJumps", "A(A1(A11(A111))),B"},
    {"GI_Menu_TestBetween", "A(A1,A2,A3(A31),A4),B"},
    {"GI_Menu_TestMarks", "A(-,A1(A2),-),~,B"},
    {"GI_Menu_TestEmpty", ""},
};

TEST_F(MenuBuilderTest, MenusAndTreesNestByIndentation)
{
    for (const NestingCase& c : nestingCases) {
        SCOPED_TRACE(c.name);
        QMenu root;
        cuiMenu menu(&window, &root, bed.host, bed.table, c.name);
        menu.Build();
        EXPECT_EQ(BuilderTestBed::Structure(root), c.structure);

        cuiTree tree(&window, bed.host, bed.table, c.name, bed.treeImages);
        tree.Build();
        EXPECT_EQ(BuilderTestBed::Structure(*tree.View()), c.structure);
    }
}

TEST_F(MenuBuilderTest, BuildReplacesTheItemsAndFreesTheirCells)
{
    QMenu root;
    root.addAction("not the menu's");
    cuiMenu menu(&window, &root, bed.host, bed.table, "GI_Menu_TestLevels");
    menu.Build();
    QAction* a21 = root.actions()[1]->menu()->actions()[1]->menu()->actions()[0];
    ASSERT_NE(menu.CellOf(a21), nullptr);

    menu.SetSource(bed.table, "GI_Menu_TestJumps");
    menu.Build();
    EXPECT_EQ(BuilderTestBed::Structure(root), "not the menu's,A(A1(A11(A111))),B");
    EXPECT_EQ(menu.CellOf(a21), nullptr);
}

TEST_F(MenuBuilderTest, ItemsShowCaptionsShortcutsAndAmpersands)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    EXPECT_EQ(BuilderTestBed::Captions(bar),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Port", "&Clone", "&Language", "&Help"}));
    QAction* open = itemOf(menu, bar, clLogic::CL_Menu_File_Open);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), "&Open...");
    EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_TRUE(itemOf(menu, bar, clLogic::CL_Menu_File_SaveAs)->shortcut().isEmpty());
}

TEST_F(MenuBuilderTest, RefreshSetsCheckVisibleEnabledAndCaptionFromTheLogics)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    bed.host.state.zoomPercent = 125;
    bed.host.state.toolBarShown = false;
    bed.host.state.comPort = 2;
    bed.host.state.canPrintCurrent = false;
    bed.host.recent = {"a&b.icf"};
    bed.ui.events.Send(cmcEvCode::RefreshMenus);

    EXPECT_TRUE(itemOf(menu, bar, clLogic::CL_Menu_View_FontSize, 125)->isChecked());
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_View_FontSize, 100)->isChecked());
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_View_ToolBar)->isChecked());
    EXPECT_TRUE(itemOf(menu, bar, clLogic::CL_Menu_Port_Com, 2)->isChecked());
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_Port_Com, 1)->isChecked());
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_File_Print_Current)->isEnabled());
    QAction* recent0 = itemOf(menu, bar, clLogic::CL_Menu_File_Recent, 0);
    QAction* recent1 = itemOf(menu, bar, clLogic::CL_Menu_File_Recent, 1);
    EXPECT_EQ(recent0->text(), "&1 a&&b.icf"); // Flag3: the caption the logic made
    EXPECT_TRUE(recent0->isEnabled());
    EXPECT_FALSE(recent1->isVisible()); // Flag1
    EXPECT_FALSE(recent1->isEnabled()); // Flag2

    // The flags are recomputed, not accumulated.
    bed.host.state.networkLink = true;
    bed.host.state.canPrintCurrent = true;
    bed.host.recent.clear();
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_Port_Com, 2)->isChecked());
    EXPECT_FALSE(itemOf(menu, bar, clLogic::CL_Menu_Port_Com, 2)->isCheckable());
    EXPECT_TRUE(itemOf(menu, bar, clLogic::CL_Menu_Tcpip_Address)->isChecked());
    EXPECT_TRUE(itemOf(menu, bar, clLogic::CL_Menu_File_Print_Current)->isEnabled());
    EXPECT_TRUE(recent0->isVisible()); // entry 0 stays in sight, disabled
    EXPECT_FALSE(recent0->isEnabled());
    EXPECT_EQ(recent0->text(), "&1 a&&b.icf"); // no Flag3: the caption stays
}

TEST_F(MenuBuilderTest, AClickRunsTheCommandAndRefreshesEveryItem)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    QAction* toolBar = itemOf(menu, bar, clLogic::CL_Menu_View_ToolBar);
    ASSERT_TRUE(toolBar->isChecked());
    bed.host.onCommand = [&](const BuilderHost::Command& c) {
        if (c.logic == clIndex(clLogic::CL_Menu_View_ToolBar))
            bed.host.state.toolBarShown = !bed.host.state.toolBarShown;
    };

    toolBar->trigger();
    ASSERT_EQ(bed.host.commands.size(), 1u);
    EXPECT_EQ(bed.host.commands[0].logic, clIndex(clLogic::CL_Menu_View_ToolBar));
    EXPECT_FALSE(toolBar->isChecked()); // refreshed without event 9

    itemOf(menu, bar, clLogic::CL_Menu_Port_Com, 3)->trigger();
    ASSERT_EQ(bed.host.commands.size(), 2u);
    EXPECT_EQ(bed.host.commands[1].arg, 3);
}

TEST_F(MenuBuilderTest, AClickThatRebuildsTheMenuIsSafe)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    // A language change rebuilds the menu from inside the click of one of its items.
    bed.host.onCommand = [&](const BuilderHost::Command&) { menu.Build(); };
    itemOf(menu, bar, clLogic::CL_Menu_Lang)->trigger();
    EXPECT_EQ(bed.host.commands.size(), 1u);
    EXPECT_NE(itemOf(menu, bar, clLogic::CL_Menu_Lang), nullptr);
    bed.Settle();
}

// A window that owns a popup menu and answers event 12 for it with a cell, like a sheet.
class FakeSheet {
public:
    FakeSheet() { cmcEvents().Register(&FakeSheet::onEvent, this); }
    ~FakeSheet() { cmcEvents().Unregister(&FakeSheet::onEvent, this); }
    FakeSheet(const FakeSheet&) = delete;
    FakeSheet& operator=(const FakeSheet&) = delete;

    QMenu popup;
    cmcCellObj current;
    bool answers = true;
    int asked = 0;

private:
    static void onEvent(void* user, const cmcEvent& event)
    {
        auto& self = *static_cast<FakeSheet*>(user);
        if (event.code != cmcEvCode::AskCurrentCell ||
            event.arg1 != reinterpret_cast<std::intptr_t>(&self.popup))
            return;
        ++self.asked;
        if (self.answers)
            cmcEvents().Answer(reinterpret_cast<std::intptr_t>(&self.current));
    }
};

TEST_F(MenuBuilderTest, PopupItemsUnderAnItemTakeTheirStateFromTheSheetsCurrentCell)
{
    bed.ui.ProgramChannels(3);
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    FakeSheet sheet;
    sheet.current.category = static_cast<int>(ctCategory::CT_Mch);
    sheet.current.logic = clIndex(clLogic::CL_Mch_FreqR);
    sheet.current.arg = 1;

    bed.ui.events.Send(cmcEvCode::BuildSubItems, reinterpret_cast<std::intptr_t>(&sheet.popup), editTop,
                       "GI_PMenu_Rec");
    QAction* edit = menu.FindItemByLogic(editTop);
    ASSERT_TRUE(cuiMenu::HasSubItems(edit));
    QAction* copy = itemOf(menu, *edit->menu(), clLogic::CL_PMenu_Copy);
    ASSERT_NE(copy, nullptr);

    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    EXPECT_GT(sheet.asked, 0);
    EXPECT_TRUE(copy->isEnabled()); // channel 1 is in use

    sheet.current.arg = 7; // a blank row
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    EXPECT_FALSE(copy->isEnabled());

    // Without an answer (no sheet open) the record items have no record to work on.
    sheet.current.arg = 1;
    sheet.answers = false;
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    EXPECT_FALSE(copy->isEnabled());

    // Event 10 takes the copied items out again.
    bed.ui.events.Send(cmcEvCode::DeleteSubItems, 0, editTop);
    EXPECT_FALSE(cuiMenu::HasSubItems(edit));
    EXPECT_EQ(menu.CellOf(copy), nullptr);
}

TEST_F(MenuBuilderTest, ACopiedItemRunsTheSheetsOwnItem)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    FakeSheet sheet;
    std::vector<int> run;
    cuiMenu popup(&window, &sheet.popup, bed.host, bed.table, "GI_PMenu_Rec",
                  [&](const cmcCellObj& cell) { run.push_back(cell.logic); });
    popup.Build();
    bed.ui.events.Send(cmcEvCode::BuildSubItems, reinterpret_cast<std::intptr_t>(&sheet.popup), editTop,
                       "GI_PMenu_Rec");
    QAction* copy = itemOf(menu, *menu.FindItemByLogic(editTop)->menu(), clLogic::CL_PMenu_Copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->shortcutContext(), Qt::WidgetShortcut); // the sheet's own item has the key

    copy->trigger();
    EXPECT_EQ(run, std::vector<int>{clIndex(clLogic::CL_PMenu_Copy)});
    EXPECT_TRUE(bed.host.commands.empty());
}

TEST_F(MenuBuilderTest, TheFillRequestOnlyFillsAnEmptyItem)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    bed.host.mainMenu = &menu;
    QAction* edit = menu.FindItemByLogic(editTop);

    // An address that is no live popup menu is taken as a fill request, not followed.
    int notAMenu = 0;
    const auto address = reinterpret_cast<std::intptr_t>(&notAMenu);
    bed.ui.events.Send(cmcEvCode::BuildSubItems, address, editTop, "GI_PMenu_Edit");
    bed.ui.events.Send(cmcEvCode::BuildSubItems, address, editTop, "GI_PMenu_Rec");
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), "&Edit...,-,&Help");
    bed.ui.events.Send(cmcEvCode::DeleteSubItems, 0, editTop);

    // The Edit item's display rule asks for the "no item" menu while it is empty. Two
    // refreshes before the dispatcher's tick ask twice; it is filled once.
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    bed.Settle();
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), "No item");
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    EXPECT_FALSE(edit->menu()->actions()[0]->isEnabled());

    // A sheet's copy replaces the "no item" menu; a fill asked for before it came is dropped.
    bed.ui.events.Send(cmcEvCode::DeleteSubItems, 0, editTop);
    bed.ui.events.Send(cmcEvCode::RefreshMenus);
    FakeSheet sheet;
    bed.ui.events.Send(cmcEvCode::BuildSubItems, reinterpret_cast<std::intptr_t>(&sheet.popup), editTop,
                       "GI_PMenu_Edit");
    bed.Settle();
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), "&Edit...,-,&Help");
}

TEST_F(MenuBuilderTest, EveryShippedMenuItemHasADisplayRule)
{
    QMenuBar bar;
    cuiMenu menu(&window, &bar, bed.host, bed.table, "GI_Menu_Main");
    menu.Build();
    std::vector<cmcCellObj*> cells;
    allCells(menu, bar, cells);
    ASSERT_GT(cells.size(), 40u);
    for (cmcCellObj* cell : cells) {
        cmcCellObj copy = *cell;
        indActiveCell active(bed.host);
        const std::string output = active.textOf(&copy);
        EXPECT_EQ(output.find("*Yet*"), std::string::npos) << cell->DisplayText();
    }
    // Items of the Edit menu come only from the sheets.
    EXPECT_TRUE(menu.IsEmptyAt(editTop));
}

} // namespace
