// cuiSheet: keyboard, mouse, wheel and focus notifications of the grid.
#include "base/cmcEvMan.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

namespace {
// Pixels from a header border within which a double click fits the column.
constexpr int fitMargin = 4;

// Virtual-key codes of the keys a sheet hands to the cell logic.
constexpr int vkLeft = 0x25;
constexpr int vkRight = 0x27;
constexpr int vkF1 = 0x70;

// Sets the modifiers of the event being handled for the time of one call.
class EventScope {
public:
    EventScope(bool& flag, Qt::KeyboardModifiers& store, Qt::KeyboardModifiers modifiers) : flag_(flag)
    {
        store = modifiers;
        flag_ = true;
    }
    ~EventScope() { flag_ = false; }
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

private:
    bool& flag_;
};

// The character code a key press types (1-255), 0 for none.
int typedCode(const QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return '\r';
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1)
        return 0;
    const char16_t ch = text.at(0).unicode();
    if (ch < 32 || ch > 255 || ch == 127)
        return 0;
    return ch;
}
} // namespace

void cuiSheet::statusClear()
{
    cmcEvents().Send(cmcEvCode::StatusText, 0x80000008, 0x8000000F, "");
}

bool cuiSheet::GridKeyPress(QKeyEvent& event)
{
    if (cells_.empty())
        return false;
    EventScope scope(inEvent_, eventModifiers_, event.modifiers());
    closeEditor(true);
    statusClear();
    const int col = grid_->Col();
    const int row = grid_->Row();
    switch (event.key()) {
    case Qt::Key_PageUp:
        MoveBy(0, -10);
        return true;
    case Qt::Key_PageDown:
        MoveBy(0, 10);
        return true;
    case Qt::Key_End:
        MoveBy(0, rows_);
        return true;
    case Qt::Key_Home:
        MoveBy(0, -rows_);
        return true;
    case Qt::Key_Left:
        MoveBy(-1, 0);
        if (grid_->Col() == col && grid_->Row() == row)
            DoCellAction(col, row, 256 * vkLeft);
        return true;
    case Qt::Key_Right:
        MoveBy(1, 0);
        if (grid_->Col() == col && grid_->Row() == row)
            DoCellAction(col, row, 256 * vkRight);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
            MoveBy(0, event.key() == Qt::Key_Up ? -1 : 1);
        return true;
    default:
        break;
    }
    if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F12) {
        DoCellAction(col, row, 256 * (vkF1 + event.key() - Qt::Key_F1));
        return true;
    }
    const int code = typedCode(event);
    if (code == 0)
        return false;
    if (popupMode_) {
        // A list popup takes Enter as the choice; Escape goes on to the popup window.
        if (code == '\r') {
            DoCellAction(col, row, code);
            return true;
        }
        return code != 27;
    }
    DoCellAction(col, row, code);
    return true;
}

void cuiSheet::GridKeyRelease(QKeyEvent& event)
{
    if (event.key() == Qt::Key_Menu && !popupMode_) {
        const QRect rect = grid_->CellRect(grid_->Col(), grid_->Row());
        OpenPopupMenu(grid_->viewport()->mapToGlobal(rect.isEmpty() ? QPoint(0, 0) : rect.center()));
    }
}

void cuiSheet::GridMousePress(QMouseEvent& event)
{
    if (cells_.empty())
        return;
    EventScope scope(inEvent_, eventModifiers_, event.modifiers());
    const QPoint pos = event.position().toPoint();
    if (event.button() == Qt::LeftButton)
        pressSeen_ = true;
    if (event.button() != Qt::RightButton) {
        dragging_ = true;
        return;
    }
    if (popupMode_)
        return;
    int col = 0;
    int row = 0;
    bool open = blockActive_;
    if (!open && grid_->CellAt(pos, col, row)) {
        col = tailStart(col, row);
        MoveTo(col, row);
        open = grid_->Col() == col && grid_->Row() == row;
    }
    if (open)
        OpenPopupMenu(grid_->viewport()->mapToGlobal(pos));
}

void cuiSheet::GridMouseRelease(QMouseEvent& event)
{
    dragging_ = false;
    if (popupMode_ && event.button() == Qt::LeftButton && pressSeen_) {
        pressSeen_ = false;
        GridMouseDoubleClick(event);
    }
}

void cuiSheet::GridMouseDoubleClick(QMouseEvent& event)
{
    if (cells_.empty())
        return;
    const QPoint pos = event.position().toPoint();
    int col = -1;
    int row = -1;
    const bool inCell = grid_->CellAt(pos, col, row);
    const int fixedCols = grid_->FixedCols();
    const int fixedRows = grid_->FixedRows();
    if (colSizing_ && !popupMode_) {
        if (inCell && col >= fixedCols && row < fixedRows) {
            const QRect rect = grid_->CellRect(col, row);
            if (pos.x() - rect.left() <= fitMargin) {
                int c = col - 1;
                while (c >= fixedCols && grid_->ColWidth(c) == 0)
                    --c;
                if (c >= fixedCols)
                    autoFitColumn(c);
                return;
            }
            if (rect.left() + rect.width() - pos.x() <= fitMargin) {
                autoFitColumn(col);
                return;
            }
        } else if (!inCell && fixedRows > 0) {
            int last = cols_ - 1;
            while (last >= fixedCols && grid_->ColWidth(last) == 0)
                --last;
            const QRect rect = grid_->CellRect(last, fixedRows - 1);
            if (last >= fixedCols && !rect.isEmpty()) {
                const int border = rect.left() + rect.width();
                if (pos.x() >= border && pos.x() - border <= fitMargin) {
                    autoFitColumn(last);
                    return;
                }
            }
        }
    }
    if (!inCell)
        return;
    col = tailStart(col, row);
    if (col == grid_->Col() && row == grid_->Row())
        DoCellAction(col, row, 256);
}

void cuiSheet::GridMouseMove(QMouseEvent& event)
{
    if (!popupMode_ || cells_.empty())
        return;
    const QPoint pos = event.position().toPoint();
    if (pos == lastMouse_ || EditorShown())
        return;
    lastMouse_ = pos;
    int col = 0;
    int row = 0;
    if (grid_->CellAt(pos, col, row))
        MoveTo(tailStart(col, row), row);
}

bool cuiSheet::GridWheel(int direction)
{
    if (!window()->isEnabled())
        return true;
    if (!popupMode_) {
        const cmcEvAnswers answers = cmcEvents().Ask(
            cmcEvCode::AskPopupOpen, 0, reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(grid_)));
        if (std::any_of(answers.begin(), answers.end(), [](const cmcEvAns& a) { return a.value != 0; }))
            return true;
    }
    const int target = grid_->Row() + (direction == 1 ? -1 : 1);
    if (target >= grid_->FixedRows() && target < rows_) {
        wheelDirection_ = direction;
        grid_->SetCurrent(grid_->Col(), target, true, true);
        wheelDirection_ = 0;
    }
    return true;
}

void cuiSheet::GridTimedScroll(int dx, int dy)
{
    MoveBy(dx, dy);
}

// The highlighted cells change between the focused and the inactive highlight colour.
void cuiSheet::invalidateHighlighted()
{
    if (cells_.empty())
        return;
    const int col = grid_->Col();
    const int row = grid_->Row();
    grid_->InvalidateCell(col, row);
    for (int c = col + 1; c < cols_ && (CellAt(c, row).cell.marks & cmcCellObj::Tail) != 0; ++c)
        grid_->InvalidateCell(c, row);
    if (!blockActive_ && !marksMaySet_)
        return;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const clsSheetCellId& entry = CellAt(c, r);
            if (entry.selected || entry.rowMarked)
                grid_->InvalidateCell(c, r);
        }
    }
}

void cuiSheet::GridFocusIn()
{
    refreshPopupMenu(grid_->Col(), grid_->Row(), true);
    invalidateHighlighted();
}

void cuiSheet::GridFocusOut()
{
    // A popup (a menu, a list) opening over the grid keeps the menu; anything else drops it.
    if (QApplication::activePopupWidget() != nullptr)
        return;
    if (!EditorShown() || !editor_->hasFocus()) {
        if (menu_) {
            destroyPopupMenu();
            cmcEvents().Send(cmcEvCode::RefreshMenus);
        }
    }
    invalidateHighlighted();
}
