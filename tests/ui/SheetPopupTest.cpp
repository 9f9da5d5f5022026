// The popups around a sheet: where they open, how large lists scroll, what the events of
// the event manager do to them, and the chain of the model selection popups.
#include "UiTestBed.h"

#include "cells/clLogic.h"
#include "cells/ctCategory.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiFText.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"
#include "ui/cuiPopupPlacement.h"
#include "ui/indFlector.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int beepPlace = 0x107AE;

TEST(PopupPlacementTest, BelowAboveAgainstTheBottomAndLeftOfTheCell)
{
    const QRect work(0, 0, 1000, 700);
    struct Case {
        const char* what;
        QSize popup;
        QRect cell;
        QPoint at;
    };
    const std::vector<Case> cases{
        {"below, 8 pixels in", {100, 200}, {300, 100, 80, 20}, {308, 120}},
        {"above when it does not fit below", {100, 200}, {300, 600, 80, 20}, {308, 400}},
        {"against the bottom when it fits neither", {100, 650}, {300, 300, 80, 20}, {308, 50}},
        {"pushed left at the right edge", {300, 200}, {900, 100, 80, 20}, {700, 120}},
        {"bottom and right: left of the cell", {300, 650}, {900, 300, 80, 20}, {600, 50}},
        {"bottom and right, no room on the left", {300, 650}, {200, 300, 80, 20}, {208, 50}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cuiPopupPlacement::Place(c.popup, c.cell, work), c.at) << c.what;
}

class SheetPopupTest : public testing::Test {
protected:
    cuiSheet& Settings()
    {
        sheet = &bed.Open("GI_Sheet_Test_Settings");
        return *sheet;
    }
    void Go(clLogic logic, int arg = 0, ctCategory category = ctCategory::CT_Null)
    {
        ASSERT_TRUE(sheet->JumpToCell(static_cast<int>(category), clIndex(logic), arg));
    }
    // The capsule a sheet cell hands to the host when it opens a popup.
    cmcCellCapsule OpenerAt(int col, int row)
    {
        cmcCellCapsule capsule;
        capsule.owner = &sheet->Grid();
        capsule.eventSource = &sheet->Grid();
        capsule.cell = &sheet->CellAt(col, row).cell;
        const QRect rect = sheet->Grid().CellRect(col, row);
        capsule.rect = {rect.left(), rect.top(), rect.width(), rect.height()};
        return capsule;
    }

    UiTestBed bed;
    cuiSheet* sheet = nullptr;
};

TEST_F(SheetPopupTest, SmallListFitsItsCellsAndLargeListScrollsInTheWorkArea)
{
    Settings();
    bed.host.OpenSelectionPopup(OpenerAt(1, 1), "GI_Sheet_Sel_Misc_OnOff", clIndex(clLogic::Flex0), 1);
    auto* small = dynamic_cast<cuiFlector*>(bed.host.LastPopup());
    ASSERT_NE(small, nullptr);
    bed.Settle();
    cuiGrid& grid = small->Sheet().Grid();
    EXPECT_FALSE(grid.ScrollBarsShown());
    EXPECT_EQ(grid.viewport()->size(), QSize(grid.TotalWidth(), grid.TotalHeight()));
    EXPECT_EQ(small->Sheet().CellAt(small->Sheet().CurrentCol(), small->Sheet().CurrentRow()).cell.arg, 1);
    small->Cancel();
    bed.Settle();

    bed.host.OpenSelectionPopup(OpenerAt(1, 1), "GI_Sheet_Test_Long", clIndex(clLogic::Flex0), 0);
    auto* large = dynamic_cast<cuiFlector*>(bed.host.LastPopup());
    ASSERT_NE(large, nullptr);
    bed.Settle();
    const QRect work = large->WorkArea();
    EXPECT_TRUE(large->Sheet().Grid().ScrollBarsShown());
    EXPECT_LE(large->height(), work.height());
    EXPECT_GT(large->Sheet().Grid().TotalHeight(), work.height());
    EXPECT_TRUE(work.contains(large->geometry()));
    large->Cancel();
}

TEST_F(SheetPopupTest, ClosingTheSheetClosesItsPopupWithoutAResult)
{
    Settings();
    Go(clLogic::CL_SetM_BeepOn);
    const std::uint8_t before = bed.Image().GetByte(beepPlace);
    QTest::keyClick(&sheet->Grid(), Qt::Key_Return);
    ASSERT_EQ(cuiPopup::OpenCount(), 1);
    QTest::keyClick(&dynamic_cast<cuiFlector*>(bed.host.LastPopup())->Sheet().Grid(), Qt::Key_Down);
    bed.Close(); // event 1 for the sheet's grid
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(bed.Image().GetByte(beepPlace), before);
}

TEST_F(SheetPopupTest, WheelOfTheSheetWaitsWhileItsPopupIsOpen)
{
    Settings();
    Go(clLogic::CL_SetM_BeepOn);
    QTest::keyClick(&sheet->Grid(), Qt::Key_Return);
    ASSERT_EQ(cuiPopup::OpenCount(), 1);
    const int row = sheet->CurrentRow();
    QWidget* viewport = sheet->Grid().viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    EXPECT_EQ(sheet->CurrentRow(), row); // event 25 answered by the popup
    bed.host.LastPopup()->Cancel();
    bed.Settle();
    QApplication::sendEvent(viewport, &down);
    EXPECT_EQ(sheet->CurrentRow(), row + 1);
}

TEST_F(SheetPopupTest, CommitEventCommitsTheEditorAndAcceptsTheTextPopup)
{
    Settings();
    Go(clLogic::CL_Comm_Tot_Timer);
    QTest::keyClick(&sheet->Grid(), '4');
    ASSERT_TRUE(sheet->EditorShown());
    QTest::keyClick(sheet->Editor(), '5');
    bed.events.Send(cmcEvCode::CommitEdits);
    EXPECT_FALSE(sheet->EditorShown());
    EXPECT_EQ(bed.Image().GetByte(0x10B68), 45);

    Go(clLogic::CL_KDisp_OpeningText);
    QTest::keyClick(&sheet->Grid(), 'Q');
    auto* text = dynamic_cast<cuiFText*>(bed.host.LastPopup());
    ASSERT_NE(text, nullptr);
    bed.events.Send(cmcEvCode::CommitEdits);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(bed.Image().GetByte(0x11A85), 'Q');
}

class ScanSelectorTest : public SheetPopupTest {
protected:
    void Prepare(int channels)
    {
        bed.ProgramChannels(channels);
        datCh list(bed.Image());
        list.decode(datKindScanList, 1);
        list.Set(datField::ScanMode, 2); // a priority scan: priority channel 1 applies
        list.encode(datKindScanList, 1);
        sheet = &bed.Open("GI_Sheet_Test_Scan");
        Go(clLogic::CL_ScanList_Prio1_CH, 1, ctCategory::CT_Scan);
    }
    datCh List()
    {
        datCh list(bed.Image());
        list.decode(datKindScanList, 1);
        return list;
    }
    cuiFlector& Popup() { return *dynamic_cast<cuiFlector*>(bed.host.LastPopup()); }
    void Choose(int value)
    {
        cuiSheet& items = Popup().Sheet();
        for (int i = 0; i < 40 && items.CellAt(items.CurrentCol(), items.CurrentRow()).cell.arg != value; ++i)
            QTest::keyClick(&items.Grid(), Qt::Key_Down);
        QTest::keyClick(&items.Grid(), Qt::Key_Return);
        Flush();
    }
    // Deletes the closed popups. The window system's events stay queued: the offscreen
    // platform deactivates the whole application when a popup it had activated hides, which
    // would close the next popup of a chain (a real desktop does not activate popups).
    static void Flush() { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

TEST_F(ScanSelectorTest, FixedChannelOpensTheChannelSelectorWhoseChoiceIsStored)
{
    Prepare(4);
    QTest::keyClick(&sheet->Grid(), Qt::Key_Return);
    Choose(5); // "Fixed channel" opens the channel selector next
    auto* channels = dynamic_cast<indFlector*>(bed.host.LastPopup());
    ASSERT_NE(channels, nullptr);
    EXPECT_EQ(cuiPopup::OpenCount(), 1);
    EXPECT_EQ(channels->Sheet().SheetName(), "GI_Sheet_Sel_ScanCHSel");
    EXPECT_EQ(channels->Sheet().RowCount(), 1 + 4); // the zone row and the bank's channels
    Choose(2);
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(List().Get(datField::ScanPrio1Mode), 5u);
    EXPECT_EQ(List().Get(datField::ScanPrio1Ch), 2u);
}

TEST_F(ScanSelectorTest, ZoneChoiceReopensTheSelectorOrTheZoneSelectorForAnEmptyBank)
{
    Prepare(2);
    QTest::keyClick(&sheet->Grid(), Qt::Key_Return);
    Choose(5);
    // The zone item of the channel selector: a zone with channels opens its channel selector.
    cuiFlector* first = &Popup();
    first->Sheet().MoveTo(0, 0);
    QTest::keyClick(&first->Sheet().Grid(), Qt::Key_Return);
    Flush();
    ASSERT_EQ(cuiPopup::OpenCount(), 1);
    EXPECT_EQ(Popup().Sheet().SheetName(), "GI_Sheet_Sel_ScanCHSel");
    Popup().Cancel();
    bed.Settle();

    // With no channel in the bank the zone selector opens instead.
    datSetChannelCount(bed.Image(), 0, 0);
    (void)Static2Dynamic(bed.Image(), false);
    QTest::keyClick(&sheet->Grid(), Qt::Key_Return);
    Choose(5);
    ASSERT_EQ(Popup().Sheet().RowCount(), 1); // only the zone row
    QTest::keyClick(&Popup().Sheet().Grid(), Qt::Key_Return);
    Flush();
    ASSERT_EQ(cuiPopup::OpenCount(), 1);
    EXPECT_EQ(Popup().Sheet().SheetName(), "GI_Sheet_Sel_ScanZoneSel");
    QTest::keyClick(&Popup().Sheet().Grid(), Qt::Key_Escape);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
}

} // namespace
