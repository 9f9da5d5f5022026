// Moving the cursor with the keyboard, the mouse and the wheel over the navigation fixture:
//   row 0 headers; col 0 fixed labels
//   row 1: a1 b1 . d1      (stops, "." not a stop)
//   row 2: a2 . . .
//   row 3: . . c3 d3 tail  (the tail belongs to d3)
//   rows 4-23: a b c d     (a loop of 20)
//   row 24: z . . .
#include "UiTestBed.h"

#include "ui/cuiGrid.h"

#include <QTest>

#include <functional>

#include <gtest/gtest.h>

namespace {

struct Action {
    int col;
    int row;
    int key;
};

class SheetNavigationTest : public testing::Test {
protected:
    void SetUp() override
    {
        sheet = &bed.Open("GI_Sheet_Test_Nav", [this](cuiSheet& s) {
            s.SetCellHandler([this, &s](cmcCellCapsule& capsule, int mode) {
                if (mode == cuiSheet::ModePaint) {
                    capsule.output = capsule.cell->DisplayText();
                    return 0;
                }
                for (int r = 0; r < s.RowCount(); ++r)
                    for (int c = 0; c < s.ColCount(); ++c)
                        if (&s.CellAt(c, r).cell == capsule.cell)
                            actions.push_back({c, r, capsule.key});
                if (respond)
                    respond(capsule);
                return 0;
            });
        });
    }
    std::pair<int, int> At() const { return {sheet->CurrentCol(), sheet->CurrentRow()}; }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&sheet->Grid(), key, modifiers);
    }
    void Place(int col, int row)
    {
        sheet->MoveTo(col, row);
        ASSERT_EQ(At(), std::make_pair(col, row));
    }
    QPoint Centre(int col, int row)
    {
        sheet->Grid().ScrollIntoView(col, row);
        return sheet->Grid().CellRect(col, row).center();
    }

    UiTestBed bed;
    cuiSheet* sheet = nullptr;
    std::vector<Action> actions;
    std::function<void(cmcCellCapsule&)> respond; // what the cell answers to an action
};

TEST_F(SheetNavigationTest, BuildSettlesOnTheFirstStopCell)
{
    EXPECT_EQ(At(), std::make_pair(1, 1));
}

TEST_F(SheetNavigationTest, ArrowsPageKeysHomeAndEnd)
{
    struct Step {
        int fromCol, fromRow;
        Qt::Key key;
        int col, row;
    };
    const std::vector<Step> steps{
        {1, 1, Qt::Key_Right, 2, 1},     // next stop to the right
        {2, 1, Qt::Key_Right, 4, 1},     // over a cell that is no stop
        {1, 1, Qt::Key_Down, 1, 2},      //
        {1, 2, Qt::Key_Down, 1, 4},      // over a3, which is no stop
        {2, 1, Qt::Key_Down, 2, 4},      // straight down over two rows
        {4, 3, Qt::Key_Up, 4, 1},        //
        {1, 1, Qt::Key_PageDown, 1, 12}, // ten stops down
        {1, 12, Qt::Key_PageUp, 1, 1},   //
        {1, 5, Qt::Key_Home, 1, 1},      // the topmost stop of the column
        {1, 5, Qt::Key_End, 1, 24},      // the bottommost
        {2, 5, Qt::Key_End, 1, 24},      // past column b's last stop the side search finds z
        {3, 10, Qt::Key_Home, 1, 1},     // above c3 the side search goes on to a2 and a1
    };
    for (const Step& s : steps) {
        Place(s.fromCol, s.fromRow);
        Key(s.key);
        EXPECT_EQ(At(), std::make_pair(s.col, s.row))
            << "key " << QTest::toString(QKeySequence(s.key)) << " from " << s.fromCol << "," << s.fromRow;
    }
    EXPECT_TRUE(actions.empty());
}

TEST_F(SheetNavigationTest, SideSearchTakesTheStopNearestToTheRememberedPlace)
{
    Place(1, 1);
    Key(Qt::Key_Down); // a2, remembered
    Key(Qt::Key_Right);
    EXPECT_EQ(At(), std::make_pair(2, 1)); // column b: b1 is one row away, b4 two
    Place(1, 6);
    Key(Qt::Key_Up); // a5, remembered
    Place(1, 2);     // a click does not change the remembered place
    Key(Qt::Key_Right);
    EXPECT_EQ(At(), std::make_pair(2, 5));
}

TEST_F(SheetNavigationTest, LeftAndRightAtTheEdgeGoToTheCell)
{
    Place(1, 1);
    Key(Qt::Key_Left);
    Place(4, 1);
    Key(Qt::Key_Right);
    Key(Qt::Key_F2);
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].key, 0x2500);
    EXPECT_EQ(actions[0].col, 1);
    EXPECT_EQ(actions[1].key, 0x2700);
    EXPECT_EQ(actions[1].col, 4);
    EXPECT_EQ(actions[2].key, 0x7100);
    EXPECT_EQ(At(), std::make_pair(4, 1));
}

TEST_F(SheetNavigationTest, RedirectMovesTheCursorAndRepeatsShowEachStepAfterAShorterPause)
{
    const cmcCellObj& b1 = sheet->CellAt(2, 1).cell;
    int repeats = 0;
    respond = [&](cmcCellCapsule& capsule) {
        if (capsule.key == 'j') // to b1, typing 'k' there
            capsule.redirect = {1, b1.category, b1.logic, b1.arg, 'k'};
        else if (capsule.key == 'k' && ++repeats < 7) // again and again, six times
            capsule.redirect = {0, 0, 0, 0, 'k'};
    };
    Place(1, 5);
    const std::uint32_t start = bed.timers.NowMs();
    QTest::keyClick(&sheet->Grid(), 'j');
    EXPECT_EQ(At(), std::make_pair(2, 1));
    ASSERT_EQ(actions.size(), 8u); // 'j', then 'k' seven times
    EXPECT_EQ(actions[1].col, 2);
    EXPECT_EQ(actions[1].row, 1);
    EXPECT_EQ(actions.back().key, 'k');
    // 30, 24, 18, 12 and 6 ms between the first rounds, none after.
    EXPECT_EQ(bed.timers.NowMs() - start, 90u);
}

TEST_F(SheetNavigationTest, CtrlUpAndDownDoNotMove)
{
    Place(1, 5);
    Key(Qt::Key_Down, Qt::ControlModifier);
    Key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(At(), std::make_pair(1, 5));
    Key(Qt::Key_Down, Qt::ShiftModifier); // the sheet has no block selection: just a move
    EXPECT_EQ(At(), std::make_pair(1, 6));
}

TEST_F(SheetNavigationTest, TypedCharactersAndEnterGoToTheCurrentCell)
{
    Place(2, 4);
    QTest::keyClicks(&sheet->Grid(), "7x");
    Key(Qt::Key_Return);
    ASSERT_EQ(actions.size(), 3u);
    EXPECT_EQ(actions[0].key, '7');
    EXPECT_EQ(actions[1].key, 'x');
    EXPECT_EQ(actions[2].key, 13);
    EXPECT_EQ(actions[2].col, 2);
}

TEST_F(SheetNavigationTest, MouseSelectsStopsAndTailsSelectTheirStop)
{
    QWidget* viewport = sheet->Grid().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(4, 3));
    EXPECT_EQ(At(), std::make_pair(4, 3));
    QTest::mouseClick(viewport, Qt::LeftButton, {}, Centre(2, 2)); // no stop: stays
    EXPECT_EQ(At(), std::make_pair(4, 3));
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, Centre(5, 3)); // the tail of d3
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_EQ(actions[0].key, 256);
    EXPECT_EQ(actions[0].col, 4);
}

TEST_F(SheetNavigationTest, WheelSkipsCellsThatAreNoStops)
{
    Place(1, 2);
    QWidget* viewport = sheet->Grid().viewport();
    const QPoint at = Centre(1, 2);
    QWheelEvent down(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &down);
    EXPECT_EQ(At(), std::make_pair(1, 4)); // a3 is no stop: on to a4
    QWheelEvent up(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &up);
    EXPECT_EQ(At(), std::make_pair(1, 2));
}

TEST_F(SheetNavigationTest, ColumnWidthsAreStoredAndReloaded)
{
    cuiGrid& grid = sheet->Grid();
    const int original = grid.ColWidth(2);
    // Drag the right border of column b in the header row 40 pixels to the right.
    const QRect header = grid.CellRect(2, 0);
    const QPoint border(header.left() + header.width(), header.center().y());
    QWidget* viewport = grid.viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, border);
    QMouseEvent move(QEvent::MouseMove, border + QPoint(40, 0), viewport->mapToGlobal(border + QPoint(40, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, border + QPoint(40, 0));
    EXPECT_EQ(grid.ColWidth(2), original + 40);

    const std::string key = "Software\\Zelk\\Torvane (NXDN)\\Display\\Navigation\\colwidth";
    EXPECT_EQ(bed.settings.ReadInteger(cmcSettingsRoot::CurrentUser, key, "2"), original + 40);

    // A column dragged narrower than 10 pixels snaps to 10.
    const QRect headerC = grid.CellRect(4, 0);
    const QPoint borderC(headerC.left() + headerC.width(), headerC.center().y());
    QTest::mousePress(viewport, Qt::LeftButton, {}, borderC);
    QMouseEvent narrow(QEvent::MouseMove, borderC - QPoint(headerC.width() - 2, 0),
                       viewport->mapToGlobal(borderC - QPoint(headerC.width() - 2, 0)), Qt::NoButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &narrow);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, borderC);
    EXPECT_EQ(grid.ColWidth(4), 10);

    // The next sheet of that name starts with the stored widths.
    bed.Close();
    cuiSheet& again = bed.Open("GI_Sheet_Test_Nav");
    EXPECT_EQ(again.Grid().ColWidth(2), original + 40);
    EXPECT_EQ(again.Grid().ColWidth(4), 10);
}

TEST_F(SheetNavigationTest, WidthsOfSheetsNotInTheListAreNeverStored)
{
    bed.Close(); // the navigation sheet is in the list: its widths are stored
    (void)bed.Open("GI_Sheet_Test_Loops");
    bed.Close();
    int stored = 0;
    for (const auto& [key, values] : bed.settings.Keys()) {
        if (key.second.find("\\Display\\") == std::string::npos)
            continue;
        ++stored;
        EXPECT_EQ(key.second, "Software\\Zelk\\Torvane (NXDN)\\Display\\Navigation\\colwidth");
    }
    EXPECT_EQ(stored, 1);
}

} // namespace
