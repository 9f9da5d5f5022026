// The main menu's Edit item with a real sheet: the sheet's popup menu copied in by event 11,
// its item states from the sheet's current cell through event 12, a copied item running the
// sheet's command, and the copy taken out by event 10 (or with the sheet) and replaced by
// the "no item" menu.
#include "BuilderTestBed.h"

#include "base/cmcEvMan.h"
#include "cells/clLogic.h"
#include "cells/datClipCh.h"
#include "cells/datRecordKind.h"
#include "ui/cuiGrid.h"
#include "ui/cuiMenu.h"
#include "ui/cuiSheet.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

constexpr int editTop = clIndex(clLogic::CL_Menu_Edit_Top);

class EditMenuMirrorTest : public testing::Test {
protected:
    EditMenuMirrorTest()
    {
        menu.Build();
        bed.host.mainMenu = &menu;
        edit = menu.FindItemByLogic(editTop);
        bed.ui.ProgramChannels(3);
    }
    ~EditMenuMirrorTest() override { bed.host.mainMenu = nullptr; }

    QAction* copied(clLogic logic) const
    {
        for (QAction* action : edit->menu()->actions()) {
            const cmcCellObj* cell = menu.CellOf(action);
            if (cell != nullptr && cell->logic == clIndex(logic))
                return action;
        }
        return nullptr;
    }
    void refresh() { bed.ui.events.Send(cmcEvCode::RefreshMenus); }

    BuilderTestBed bed;
    QWidget window;
    QMenuBar bar;
    cuiMenu menu{&window, &bar, bed.host, bed.table, "GI_Menu_Main"};
    QAction* edit = nullptr;
};

TEST_F(EditMenuMirrorTest, TheEditMenuHoldsTheCurrentCellsPopupMenu)
{
    cuiSheet& sheet = bed.ui.Open("GI_Sheet_Test_Channels");
    ASSERT_NE(sheet.PopupMenu(), nullptr);
    EXPECT_EQ(sheet.PopupMenuName(), "GI_PMenu_Rec");
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), BuilderTestBed::Structure(*sheet.PopupMenu()));

    // States follow the sheet's current cell: a channel in use, then a blank row.
    sheet.MoveTo(1, 2);
    refresh();
    ASSERT_NE(copied(clLogic::CL_PMenu_Copy), nullptr);
    EXPECT_TRUE(copied(clLogic::CL_PMenu_Copy)->isEnabled());
    EXPECT_TRUE(copied(clLogic::CL_PMenu_Edit)->isEnabled());
    sheet.MoveTo(1, 6);
    refresh();
    EXPECT_FALSE(copied(clLogic::CL_PMenu_Copy)->isEnabled());

    // A copied item runs the sheet's command on the sheet's current cell.
    sheet.MoveTo(1, 2);
    refresh();
    copied(clLogic::CL_PMenu_Copy)->trigger();
    refresh();
    EXPECT_TRUE(bed.host.Clipboard().Has(datKindChannel));
    EXPECT_TRUE(copied(clLogic::CL_PMenu_Paste)->isEnabled());
    EXPECT_TRUE(bed.host.commands.empty());
}

TEST_F(EditMenuMirrorTest, LosingTheSheetLeavesTheNoItemMenu)
{
    cuiSheet& sheet = bed.ui.Open("GI_Sheet_Test_Channels");
    ASSERT_TRUE(cuiMenu::HasSubItems(edit));

    // The grid loses the focus: event 10 takes the copy out, event 9's refresh asks for the
    // "no item" menu, which the next dispatcher tick builds.
    sheet.Grid().clearFocus();
    EXPECT_FALSE(cuiMenu::HasSubItems(edit));
    bed.Settle();
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), "No item");

    // Back in the grid, the sheet's copy replaces it.
    sheet.Grid().setFocus();
    bed.Settle();
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), BuilderTestBed::Structure(*sheet.PopupMenu()));
}

TEST_F(EditMenuMirrorTest, TheCopyGoesWithTheSheet)
{
    bed.ui.Open("GI_Sheet_Test_Channels");
    ASSERT_TRUE(cuiMenu::HasSubItems(edit));
    bed.ui.Close();
    EXPECT_FALSE(cuiMenu::HasSubItems(edit));
    refresh();
    bed.Settle();
    EXPECT_EQ(BuilderTestBed::Structure(*edit->menu()), "No item");
}

} // namespace
