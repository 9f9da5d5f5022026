// The tool bar builder: buttons, separators and line breaks from the definition lines, rows
// that wrap or break, the button states of event 20 and the click handlers.
#include "BuilderTestBed.h"

#include "base/cmcEvMan.h"
#include "cells/clLogic.h"
#include "ui/cuiToolBar.h"
#include "ui/cuiToolBarLayout.h"

#include <QLayout>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using Kind = cuiToolBar::Kind;

class ToolBarBuilderTest : public testing::Test {
protected:
    // Widgets of a window never shown count as hidden to the layout.
    ToolBarBuilderTest() { window.show(); }

    // Lays the bar out at width (its height follows its rows).
    static void layOut(QWidget& bar, int width)
    {
        bar.layout()->activate();
        bar.resize(width, bar.layout()->heightForWidth(width));
        bar.layout()->setGeometry(QRect(0, 0, width, bar.height()));
    }

    BuilderTestBed bed;
    QWidget window;
};

TEST_F(ToolBarBuilderTest, LinesBecomeButtonsSeparatorsAndLineBreaks)
{
    cuiToolBar bar(&window, bed.host, bed.table, "GI_ToolBar_Test", bed.toolImages);
    bar.BuildButtons();
    ASSERT_EQ(bar.ButtonCount(), 7);
    // " - " is a separator after trimming; "--" is a button.
    const Kind kinds[] = {Kind::Button, Kind::Separator, Kind::Button, Kind::Button,
                          Kind::Button, Kind::LineBreak, Kind::Button};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(bar.KindAt(i), kinds[i]);
        EXPECT_EQ(bar.Button(i) != nullptr, kinds[i] == Kind::Button);
    }
    EXPECT_EQ(bar.Button(2)->toolTip(), "--");
    EXPECT_EQ(bar.Button(3)->toolTip(), "COM2");
    EXPECT_FALSE(bar.Button(3)->icon().isNull());
    EXPECT_FALSE(bar.Button(3)->autoRaise()); // not flat
    EXPECT_EQ(bar.CellAt(3)->logic, clIndex(clLogic::CL_Menu_Port_Com));
    EXPECT_EQ(bar.CellAt(3)->arg, 2);
}

TEST_F(ToolBarBuilderTest, ALineBreakStartsANewRowAndStopsTheWrapping)
{
    cuiToolBar bar(&window, bed.host, bed.table, "GI_ToolBar_Test", bed.toolImages);
    bar.BuildButtons();
    layOut(*bar.Bar(), 40); // far too narrow for the first row
    const int firstRow = bar.Button(0)->y();
    EXPECT_EQ(bar.Button(0)->x(), cuiToolBarLayout::Indent);
    for (int i : {2, 3, 4})
        EXPECT_EQ(bar.Button(i)->y(), firstRow) << i;
    EXPECT_GT(bar.Button(6)->y(), firstRow);
    EXPECT_EQ(bar.Button(6)->x(), cuiToolBarLayout::Indent);
    EXPECT_GE(bar.Bar()->height(), 2 * bar.Button(0)->height());
}

TEST_F(ToolBarBuilderTest, ABarWithoutLineBreaksWrapsToItsWidth)
{
    cuiToolBar bar(&window, bed.host, bed.table, "GI_ToolBar_TestFlow", bed.toolImages);
    bar.BuildButtons();
    const int buttonWidth = bar.Button(0)->sizeHint().width();

    layOut(*bar.Bar(), cuiToolBarLayout::Indent + 4 * buttonWidth);
    EXPECT_EQ(bar.Button(3)->y(), bar.Button(0)->y());

    layOut(*bar.Bar(), cuiToolBarLayout::Indent + 2 * buttonWidth);
    EXPECT_EQ(bar.Button(1)->y(), bar.Button(0)->y());
    EXPECT_GT(bar.Button(2)->y(), bar.Button(0)->y());
    EXPECT_EQ(bar.Button(2)->x(), cuiToolBarLayout::Indent);
}

TEST_F(ToolBarBuilderTest, Event20SetsDownAndDisabledFromTheLogics)
{
    cuiToolBar bar(&window, bed.host, bed.table, "GI_ToolBar_Test", bed.toolImages);
    bar.BuildButtons();
    bed.host.state.comPort = 2;
    bed.host.state.canPrintCurrent = false;
    bed.ui.events.Send(cmcEvCode::RefreshToolBar);

    QToolButton* com2 = bar.Button(3);
    EXPECT_TRUE(com2->isCheckable());
    EXPECT_TRUE(com2->isChecked());
    EXPECT_FALSE(bar.Button(4)->isEnabled());
    // Recent file 1 does not exist: its rule hides and disables; a button only disables.
    EXPECT_FALSE(bar.Button(6)->isEnabled());
    EXPECT_FALSE(bar.Button(6)->isHidden());
    EXPECT_TRUE(bar.Button(0)->isEnabled());
    EXPECT_FALSE(bar.Button(0)->isCheckable());

    // A button comes up again when its rule no longer presses it.
    bed.host.state.comPort = 1;
    bed.host.state.canPrintCurrent = true;
    bed.ui.events.Send(cmcEvCode::RefreshToolBar);
    EXPECT_FALSE(com2->isChecked());
    EXPECT_FALSE(com2->isCheckable());
    EXPECT_TRUE(bar.Button(4)->isEnabled());
}

TEST_F(ToolBarBuilderTest, AClickRunsTheButtonsCellOrTheGivenHandler)
{
    cuiToolBar bar(&window, bed.host, bed.table, "GI_ToolBar_Test", bed.toolImages);
    bar.BuildButtons();
    bed.host.state.comPort = 2;
    bed.ui.events.Send(cmcEvCode::RefreshToolBar);

    bar.Button(3)->click();
    ASSERT_EQ(bed.host.commands.size(), 1u);
    EXPECT_EQ(bed.host.commands[0].logic, clIndex(clLogic::CL_Menu_Port_Com));
    EXPECT_EQ(bed.host.commands[0].arg, 2);
    // The click does not toggle the pressed state; the next refresh decides.
    EXPECT_TRUE(bar.Button(3)->isChecked());

    cuiToolBar handled(&window, bed.host, bed.table, "GI_ToolBar_Test", bed.toolImages);
    std::vector<std::pair<int, int>> clicks;
    handled.BuildButtons(
        [&](int index, const cmcCellObj& cell) { clicks.emplace_back(index, cell.imageIndex); });
    handled.Button(6)->click();
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{6, 9}}));
    EXPECT_EQ(bed.host.commands.size(), 1u);
}

} // namespace
