// Editing through real sheets and the cell-logic dispatcher: the in-place editor, the list,
// bit and text popups, block selection and the record commands of the popup menu.
#include "UiTestBed.h"

#include "cells/clLogic.h"
#include "cells/ctCategory.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/indActiveCell.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiFBitsR.h"
#include "ui/cuiFText.h"
#include "ui/cuiFlector.h"
#include "ui/cuiGrid.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr int mch = static_cast<int>(ctCategory::CT_Mch);
constexpr int beepPlace = 0x107AE;
constexpr int openingTextPlace = 0x11A85;

class SheetEditTest : public testing::Test {
protected:
    // The channel list, its paints recorded cell by cell.
    cuiSheet& Channels(int programmed)
    {
        bed.ProgramChannels(programmed);
        return Open("GI_Sheet_Test_Channels");
    }
    cuiSheet& Open(const std::string& name)
    {
        sheet = &bed.Open(name, [this](cuiSheet& s) {
            s.SetCellHandler([this](cmcCellCapsule& capsule, int mode) {
                if (mode == cuiSheet::ModePaint)
                    painted.insert(capsule.cell);
                return indActiveCell(bed.host).run(capsule, mode == cuiSheet::ModeAction);
            });
        });
        return *sheet;
    }
    void Go(int logic, int arg, int category = mch)
    {
        ASSERT_TRUE(sheet->JumpToCell(category, logic, arg)) << "no cell " << logic << "[" << arg << "]";
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    // Each character goes where the focus is then, as typing does (the first one may open
    // the editor).
    void Type(const char* text)
    {
        for (const char* c = text; *c != '\0'; ++c)
            QTest::keyClick(QApplication::focusWidget(), *c);
    }
    datCh Channel(int slot)
    {
        datCh ch(bed.Image());
        ch.decode(datKindChannel, slot);
        return ch;
    }
    const cmcCellObj* CellOf(int logic, int arg)
    {
        for (int r = 0; r < sheet->RowCount(); ++r)
            for (int c = 0; c < sheet->ColCount(); ++c) {
                const cmcCellObj& cell = sheet->CellAt(c, r).cell;
                if (cell.logic == clIndex(static_cast<clLogic>(logic)) && cell.arg == arg)
                    return &cell;
            }
        return nullptr;
    }
    template <class Popup> Popup& OpenedPopup()
    {
        auto* popup = dynamic_cast<Popup*>(bed.host.LastPopup());
        if (popup == nullptr)
            throw std::runtime_error("the popup did not open");
        return *popup;
    }
    std::string OpeningText()
    {
        std::string text;
        for (int i = 0; i < 24; ++i)
            text.push_back(static_cast<char>(bed.Image().GetByte(openingTextPlace + i)));
        return text;
    }

    UiTestBed bed;
    cuiSheet* sheet = nullptr;
    std::set<const cmcCellObj*> painted;
};

TEST_F(SheetEditTest, TypingAFrequencyStoresItAndRepaintsItsRecord)
{
    Channels(3);
    Go(clIndex(clLogic::CL_Mch_FreqR), 1);
    Type("146.5");
    ASSERT_TRUE(sheet->EditorShown());
    EXPECT_EQ(sheet->Editor()->text(), "146.5");
    bed.Settle();
    painted.clear();
    Key(Qt::Key_Return);
    bed.Settle();
    EXPECT_FALSE(sheet->EditorShown());
    EXPECT_EQ(Channel(1).Get(datField::ChRxFreq), 146'500'000u);
    EXPECT_EQ(Channel(1).Get(datField::ChTxFreq), 146'500'000u); // it followed the receive frequency
    EXPECT_EQ(Channel(0).Get(datField::ChRxFreq), 150'000'000u);
    // The cells of the record were painted again, with the new values.
    EXPECT_TRUE(painted.count(CellOf(clIndex(clLogic::CL_Mch_FreqT), 1)));
    EXPECT_TRUE(painted.count(CellOf(clIndex(clLogic::CL_Mch_Text), 1)));
    EXPECT_EQ(
        indActiveCell(bed.host).textOf(const_cast<cmcCellObj*>(CellOf(clIndex(clLogic::CL_Mch_FreqT), 1))),
        "<-"); // the same as the receive frequency
    EXPECT_EQ(sheet->CurrentRow(), 2);
}

TEST_F(SheetEditTest, EscapeCancelsTheEditEvenWhenTheFocusMovesOn)
{
    Channels(3);
    Go(clIndex(clLogic::CL_Mch_FreqR), 0);
    Type("147");
    ASSERT_TRUE(sheet->EditorShown());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(sheet->EditorShown());
    QTest::mouseClick(sheet->Grid().viewport(), Qt::LeftButton, {},
                      sheet->Grid().CellRect(2, 3).center()); // somewhere else
    bed.Settle();
    EXPECT_EQ(Channel(0).Get(datField::ChRxFreq), 150'000'000u);
}

TEST_F(SheetEditTest, EnterThenUpCommitsAndMoves)
{
    Channels(3);
    Go(clIndex(clLogic::CL_Mch_FreqR), 2);
    Type("440");
    Key(Qt::Key_Up);
    EXPECT_EQ(Channel(2).Get(datField::ChRxFreq), 440'000'000u);
    EXPECT_EQ(sheet->CurrentRow(), 2); // channel 1's row
}

TEST_F(SheetEditTest, ListPopupChosenByKeyboardAndByMouse)
{
    Open("GI_Sheet_Test_Settings");
    Go(clIndex(clLogic::CL_SetM_BeepOn), 0, static_cast<int>(ctCategory::CT_Null));
    const bool before = (bed.Image().GetByte(beepPlace) & 0x80) != 0;

    Key(Qt::Key_Return);
    auto& list = OpenedPopup<cuiFlector>();
    ASSERT_TRUE(list.isVisible());
    EXPECT_EQ(list.Sheet().CellAt(list.Sheet().CurrentCol(), list.Sheet().CurrentRow()).cell.arg,
              before ? 1 : 0);
    QTest::keyClick(&list.Sheet().Grid(), Qt::Key_Down); // the list wraps round: the other value
    QTest::keyClick(&list.Sheet().Grid(), Qt::Key_Return);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ((bed.Image().GetByte(beepPlace) & 0x80) != 0, !before);

    Key(Qt::Key_Return);
    auto& again = OpenedPopup<cuiFlector>();
    cuiSheet& items = again.Sheet();
    // The item of the original value, under the mouse: pointing moves the cursor, a click chooses.
    int row = 0;
    while (items.CellAt(0, row).cell.arg != (before ? 1 : 0))
        ++row;
    const QPoint at = items.Grid().CellRect(0, row).center();
    QTest::mouseMove(items.Grid().viewport(), at);
    QMouseEvent move(QEvent::MouseMove, at, items.Grid().viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(items.Grid().viewport(), &move);
    EXPECT_EQ(items.CurrentRow(), row);
    QTest::mouseClick(items.Grid().viewport(), Qt::LeftButton, {}, at);
    bed.Settle();
    EXPECT_EQ((bed.Image().GetByte(beepPlace) & 0x80) != 0, before);
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
}

TEST_F(SheetEditTest, ListPopupEscapeAndClickElsewhereChooseNothing)
{
    Open("GI_Sheet_Test_Settings");
    Go(clIndex(clLogic::CL_SetM_BeepOn), 0, static_cast<int>(ctCategory::CT_Null));
    const std::uint8_t before = bed.Image().GetByte(beepPlace);
    Key(Qt::Key_Return);
    QTest::keyClick(&OpenedPopup<cuiFlector>().Sheet().Grid(), Qt::Key_Down);
    QTest::keyClick(&OpenedPopup<cuiFlector>().Sheet().Grid(), Qt::Key_Escape);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    Key(Qt::Key_Return);
    QTest::keyClick(&OpenedPopup<cuiFlector>().Sheet().Grid(), Qt::Key_Down);
    OpenedPopup<cuiFlector>().hide(); // what a click elsewhere does to a popup window
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(bed.Image().GetByte(beepPlace), before);
}

TEST_F(SheetEditTest, BitPopupAcceptsWithOkEnterAndClickElsewhereAndCancelsWithEscape)
{
    Channels(2);
    const std::uint32_t before = Channel(0).ScanMembership();
    const auto toggledFirst = [&] { return before ^ (1u << 15); }; // list 1 is the most significant
    struct Case {
        const char* how;
        bool accepted;
    };
    for (const Case c : {Case{"ok", true}, Case{"enter", true}, Case{"elsewhere", true},
                         Case{"escape", false}, Case{"cancel", false}}) {
        Go(clIndex(clLogic::CL_Mch_Scan), 0);
        Key(Qt::Key_Return);
        auto& bits = OpenedPopup<cuiFBitsR>();
        EXPECT_EQ(bits.Value(), before) << c.how;
        QTest::keyClick(&bits.Sheet().Grid(), Qt::Key_Space); // the first bit cell is current
        EXPECT_EQ(bits.Value(), toggledFirst()) << c.how;
        const std::string how = c.how;
        if (how == "ok")
            QTest::mouseClick(&bits.OkButton(), Qt::LeftButton);
        else if (how == "enter")
            QTest::keyClick(&bits.Sheet().Grid(), Qt::Key_Return);
        else if (how == "elsewhere")
            bits.hide();
        else if (how == "escape")
            QTest::keyClick(&bits.Sheet().Grid(), Qt::Key_Escape);
        else
            QTest::mouseClick(&bits.CancelButton(), Qt::LeftButton);
        bed.Settle();
        EXPECT_EQ(cuiPopup::OpenCount(), 0) << c.how;
        EXPECT_EQ(Channel(0).ScanMembership(), c.accepted ? toggledFirst() : before) << c.how;
        if (c.accepted) { // back to where it was
            Go(clIndex(clLogic::CL_Mch_Scan), 0);
            Key(Qt::Key_Return);
            QTest::keyClick(&OpenedPopup<cuiFBitsR>().Sheet().Grid(), Qt::Key_Space);
            QTest::mouseClick(&OpenedPopup<cuiFBitsR>().OkButton(), Qt::LeftButton);
            bed.Settle();
            ASSERT_EQ(Channel(0).ScanMembership(), before);
        }
    }
}

TEST(FBitsLabelTest, LabelsByType)
{
    std::string b;
    for (int i = 1; i <= 8; ++i)
        b += cuiFBitsR::Label(i, 8, 6) + " ";
    EXPECT_EQ(b, "B7 B6 B5 B4 B3 B2 B1 B0 ");
    EXPECT_EQ(cuiFBitsR::Label(10, 16, 2), "0");
    EXPECT_EQ(cuiFBitsR::Label(10, 16, 3), "A");
    EXPECT_EQ(cuiFBitsR::Label(17, 17, 3), "Z");
    EXPECT_EQ(cuiFBitsR::Label(2, 5, 4), "B");
    EXPECT_EQ(cuiFBitsR::Label(12, 16, 1), "C");
    EXPECT_EQ(cuiFBitsR::Label(4, 5, 5), "GSA");
}

TEST_F(SheetEditTest, GpsSentenceBitsAllowThreeAtMost)
{
    cmcCellObj cell;
    cmcCellCapsule opener;
    opener.cell = &cell;
    // GGA, GLL and GSA set; RMC (the first bit cell, current) is the most significant bit.
    cuiFBitsR bits(opener, bed.host, bed.main, 0b01110, 1, 5, 5, 1);
    bits.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_TRUE(bits.OkButton().isEnabled());
    cuiGrid& grid = bits.Sheet().Grid();
    QTest::keyClick(&grid, Qt::Key_Space); // a fourth sentence
    EXPECT_EQ(bits.Value(), 0b11110u);
    EXPECT_FALSE(bits.OkButton().isEnabled());
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Space); // GGA off again: three
    EXPECT_EQ(bits.Value(), 0b10110u);
    EXPECT_TRUE(bits.OkButton().isEnabled());
    bits.Cancel();
}

TEST_F(SheetEditTest, TextPopupStoresTheTextAndEscapeKeepsTheOldOne)
{
    Open("GI_Sheet_Test_Settings");
    Go(clIndex(clLogic::CL_KDisp_OpeningText), 0, static_cast<int>(ctCategory::CT_Null));
    const std::string before = OpeningText();

    Key(Qt::Key_Return);
    auto& text = OpenedPopup<cuiFText>();
    EXPECT_TRUE(text.TextBox().hasSelectedText() || text.TextBox().text().isEmpty());
    QTest::keyClicks(&text.TextBox(), "HELLO 100%");
    EXPECT_EQ(text.Bytes(), "HELLO 100%");
    QTest::keyClick(&text.TextBox(), Qt::Key_Return);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(OpeningText().substr(0, 10), "HELLO 100%");

    Type("X"); // a typed character opens the popup on that character
    auto& typed = OpenedPopup<cuiFText>();
    EXPECT_EQ(typed.TextBox().text(), "X");
    QTest::keyClicks(&typed.TextBox(), "YZ");
    QTest::keyClick(&typed.TextBox(), Qt::Key_Escape);
    bed.Settle();
    EXPECT_EQ(cuiPopup::OpenCount(), 0);
    EXPECT_EQ(OpeningText().substr(0, 10), "HELLO 100%");
    EXPECT_NE(OpeningText(), before);
}

TEST_F(SheetEditTest, TextPopupPickerInsertsCharactersOfTheRadiosSet)
{
    Open("GI_Sheet_Test_Settings");
    Go(clIndex(clLogic::CL_KDisp_OpeningText), 0, static_cast<int>(ctCategory::CT_Null));
    Type("A");
    auto& text = OpenedPopup<cuiFText>();
    cuiSheet& picker = text.Picker();
    picker.Grid().setFocus();
    ASSERT_TRUE(picker.JumpToCell(picker.CellAt(0, 0).cell.category, clIndex(clLogic::Flex0), '%'));
    QTest::keyClick(&picker.Grid(), Qt::Key_Space); // inserts the picked '%', escaped
    EXPECT_EQ(text.TextBox().text(), "A%%");
    EXPECT_TRUE(picker.Grid().hasFocus());
    QTest::keyClick(&picker.Grid(), Qt::Key_Eacute, Qt::NoModifier); // not in the radio's set
    EXPECT_EQ(text.TextBox().text(), "A%%");
    EXPECT_TRUE(picker.Grid().hasFocus());
    QTest::keyClicks(&picker.Grid(), "q"); // typed in the picker: inserted, focus to the box
    EXPECT_EQ(text.TextBox().text(), "A%%q");
    EXPECT_TRUE(text.TextBox().hasFocus());
    EXPECT_EQ(text.Bytes(), "A%q");
    text.hide(); // a click elsewhere accepts
    bed.Settle();
    EXPECT_EQ(OpeningText().substr(0, 3), "A%q");
}

TEST_F(SheetEditTest, BlockSelectionByShiftAndByDrag)
{
    Channels(6);
    Go(clIndex(clLogic::CL_Mch_FreqR), 1);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(sheet->BlockSelectionActive());
    const auto marked = [&](int row) { return sheet->CellAt(3, row).rowMarked; };
    // Rows of channels 1 to 3 (grid rows 2 to 4) are marked from the fixed column on.
    EXPECT_FALSE(marked(1));
    EXPECT_TRUE(marked(2) && marked(3) && marked(4));
    EXPECT_FALSE(marked(5));
    EXPECT_FALSE(sheet->CellAt(0, 3).rowMarked);
    Key(Qt::Key_Down); // without Shift the block goes
    EXPECT_FALSE(sheet->BlockSelectionActive());
    EXPECT_FALSE(marked(3));

    // Dragging from channel 4 up to channel 2.
    cuiGrid& grid = sheet->Grid();
    const QPoint from = grid.CellRect(2, 5).center();
    const QPoint to = grid.CellRect(2, 3).center();
    QTest::mousePress(grid.viewport(), Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, grid.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, {}, to);
    EXPECT_TRUE(sheet->BlockSelectionActive());
    EXPECT_TRUE(marked(3) && marked(4) && marked(5));
    EXPECT_FALSE(marked(2) || marked(6));
}

TEST_F(SheetEditTest, PopupMenuCopiesPastesAndDeletesSelectedRows)
{
    Channels(6);
    const auto name = [&](int slot) {
        std::string text = Channel(slot).Text(datField::ChName);
        return text.substr(0, text.find_last_not_of(' ') + 1);
    };
    const auto run = [&](clLogic command) {
        sheet->OpenPopupMenu(sheet->mapToGlobal(QPoint(20, 20)));
        QAction* action = sheet->PopupMenuItem(clIndex(command));
        if (action == nullptr || !action->isEnabled())
            return false;
        action->trigger();
        if (sheet->PopupMenu() != nullptr)
            sheet->PopupMenu()->hide();
        bed.Settle();
        // The offscreen platform does not hand the activation back by itself.
        QApplication::setActiveWindow(sheet->window());
        sheet->Grid().setFocus();
        return true;
    };
    Go(clIndex(clLogic::CL_Mch_Text), 0);
    Key(Qt::Key_Down, Qt::ShiftModifier); // channels 0 and 1
    EXPECT_EQ(sheet->PopupMenuName(), "GI_PMenu_Rec");
    // The main menu's Edit item learns about the menu (event 11) and the current cell (event 12).
    const cmcEvAnswers owner =
        bed.events.Ask(cmcEvCode::AskCurrentCell, reinterpret_cast<std::intptr_t>(sheet->PopupMenu()));
    ASSERT_EQ(owner.size(), 1u);
    EXPECT_EQ(owner[0].value, reinterpret_cast<std::intptr_t>(CellOf(clIndex(clLogic::CL_Mch_Text), 1)));
    ASSERT_TRUE(run(clLogic::CL_PMenu_Copy));

    Go(clIndex(clLogic::CL_Mch_Text), 4);
    Key(Qt::Key_Down); // no block any more: the paste goes to channel 4 on
    Key(Qt::Key_Up);
    bed.boxes.Queue(cmcMbResult::Ok); // the rows are in use: overwrite them
    ASSERT_TRUE(run(clLogic::CL_PMenu_Paste));
    EXPECT_EQ(name(4), "CH0");
    EXPECT_EQ(name(5), "CH1");
    EXPECT_EQ(bed.boxes.Boxes().size(), 1u);
    // The pasted rows are selected now.
    EXPECT_TRUE(sheet->BlockSelectionActive());
    EXPECT_TRUE(sheet->CellAt(2, 5).rowMarked && sheet->CellAt(2, 6).rowMarked);
    EXPECT_FALSE(sheet->CellAt(2, 4).rowMarked);

    // Deleting them: after the confirmation the table is two channels shorter.
    bed.boxes.Queue(cmcMbResult::Ok);
    ASSERT_TRUE(run(clLogic::CL_PMenu_Delete));
    EXPECT_EQ(datChannelCount(bed.Image(), 0), 4);
    EXPECT_EQ(name(3), "CH3");
    EXPECT_EQ(bed.boxes.Boxes().size(), 2u);

    // A cancelled delete changes nothing.
    Go(clIndex(clLogic::CL_Mch_Text), 1);
    bed.boxes.Queue(cmcMbResult::Cancel);
    ASSERT_TRUE(run(clLogic::CL_PMenu_Delete));
    EXPECT_EQ(datChannelCount(bed.Image(), 0), 4);
    EXPECT_EQ(name(1), "CH1");
}

} // namespace
