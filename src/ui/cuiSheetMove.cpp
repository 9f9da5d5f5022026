// cuiSheet: moving the cursor (MoveBy with its straight and side search, MoveTo, PlaceAt,
// JumpToCell), the grid's selection request, and block selection.
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>

bool cuiSheet::isStop(int col, int row)
{
    return col >= 0 && row >= 0 && col < cols_ && row < rows_ && CellAt(col, row).cell.IsStop();
}

void cuiSheet::MoveTo(int col, int row)
{
    if (col == grid_->Col() && row == grid_->Row())
        return;
    grid_->SetCurrent(col, row, true, true);
}

void cuiSheet::PlaceAt(int col, int row)
{
    grid_->SetCurrent(col, row, true, false);
}

bool cuiSheet::JumpToCell(int category, int logic, int arg)
{
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const cmcCellObj& cell = CellAt(c, r).cell;
            if (cell.IsStop() && cell.category == category && cell.logic == logic && cell.arg == arg) {
                PlaceAt(c, r);
                // A redirect to a row out of sight (a paste further down) brings it into view.
                if (grid_->Col() == c && grid_->Row() == r && grid_->CellRect(c, r).isEmpty())
                    grid_->ScrollIntoView(c, r);
                return true;
            }
        }
    }
    return false;
}

// One step of MoveBy from (col, row): the straight search, then (outside popup mode) the
// side search. False when no stop cell was found and the position stays.
bool cuiSheet::findStep(int& col, int& row, int dx, int dy, bool wrap)
{
    const bool horizontal = dx != 0;
    const int step = horizontal ? (dx > 0 ? 1 : -1) : (dy > 0 ? 1 : -1);
    // Straight search.
    int c = col;
    int r = row;
    while (true) {
        if (horizontal)
            c += step;
        else
            r += step;
        if (wrap) {
            c = (c + cols_) % cols_;
            r = (r + rows_) % rows_;
            if (c == col && r == row)
                break;
        } else if (c < 0 || r < 0 || c >= cols_ || r >= rows_) {
            break;
        }
        if (isStop(c, r)) {
            col = c;
            row = r;
            return true;
        }
    }
    if (popupMode_)
        return false;
    // Side search: advance line by line; in each take the stop nearest to the remembered
    // position across the move, the smaller index winning a tie.
    if (horizontal) {
        for (int cc = col + step; cc >= 0 && cc < cols_; cc += step) {
            int best = -1;
            for (int rr = 0; rr < rows_; ++rr) {
                if (isStop(cc, rr) &&
                    (best < 0 || std::abs(rr - remembered_.row) < std::abs(best - remembered_.row)))
                    best = rr;
            }
            if (best >= 0) {
                col = cc;
                row = best;
                return true;
            }
        }
    } else {
        for (int rr = row + step; rr >= 0 && rr < rows_; rr += step) {
            int best = -1;
            for (int cc = 0; cc < cols_; ++cc) {
                if (isStop(cc, rr) &&
                    (best < 0 || std::abs(cc - remembered_.col) < std::abs(best - remembered_.col)))
                    best = cc;
            }
            if (best >= 0) {
                col = best;
                row = rr;
                return true;
            }
        }
    }
    return false;
}

void cuiSheet::MoveBy(int dx, int dy)
{
    if (cells_.empty() || (dx == 0 && dy == 0))
        return;
    if (dx != 0)
        dy = 0;
    const bool wrap = popupMode_ && !grid_->ScrollBarsShown() && std::abs(dx) <= 1 && std::abs(dy) <= 1;
    int col = grid_->Col();
    int row = grid_->Row();
    const int steps = std::abs(dx != 0 ? dx : dy);
    for (int i = 0; i < steps; ++i) {
        if (!findStep(col, row, dx, dy, wrap))
            break;
        remembered_ = {col, row};
    }
    remembered_ = {col, row};
    MoveTo(col, row);
    int left = grid_->LeftCol();
    int top = grid_->TopRow();
    if (grid_->Col() <= firstStopCol_)
        left = grid_->FixedCols();
    if (grid_->Row() <= firstStopRow_)
        top = grid_->FixedRows();
    grid_->SetTopLeft(left, top);
}

bool cuiSheet::GridSelectCell(int col, int row)
{
    statusClear();
    if (cells_.empty())
        return false;
    const clsSheetCellId& entry = CellAt(col, row);
    const bool may = entry.cell.IsStop() && (!blockActive_ || entry.multiSelectable);
    if (!may && wheelDirection_ != 0) {
        const int direction = wheelDirection_;
        wheelDirection_ = 0;
        MoveBy(0, direction == 1 ? -1 : 1);
    }
    if (may) {
        const int oldCol = grid_->Col();
        const int oldRow = grid_->Row();
        if (row != oldRow && !popupMode_) {
            grid_->InvalidateRow(oldRow);
            grid_->InvalidateRow(row);
        }
        // A tail follows its stop cell's highlight.
        for (int c = oldCol + 1; c < cols_ && (CellAt(c, oldRow).cell.marks & cmcCellObj::Tail) != 0; ++c)
            grid_->InvalidateCell(c, oldRow);
        for (int c = col + 1; c < cols_ && (CellAt(c, row).cell.marks & cmcCellObj::Tail) != 0; ++c)
            grid_->InvalidateCell(c, row);
        refreshPopupMenu(col, row, false);
        selectionChanged(col, row);
    }
    closeEditor(true);
    return may;
}

bool cuiSheet::shiftHeld() const
{
    const Qt::KeyboardModifiers modifiers = inEvent_ ? eventModifiers_ : QGuiApplication::keyboardModifiers();
    return (modifiers & Qt::ShiftModifier) != 0;
}

void cuiSheet::setSelected(clsSheetCellId& entry, int col, int row, bool on)
{
    if (on && !entry.cell.IsStop())
        on = false;
    if (entry.selected == on)
        return;
    entry.selected = on;
    grid_->InvalidateCell(col, row);
}

void cuiSheet::selectionChanged(int col, int row)
{
    const int curCol = grid_->Col();
    const int curRow = grid_->Row();
    clsSheetCellId& current = CellAt(curCol, curRow);
    clsSheetCellId& target = CellAt(col, row);
    const bool extending = shiftHeld() || dragging_;
    const bool blockable =
        ((multiSelect_ != MultiSelect::None && (col != curCol || row != curRow)) || blockActive_) &&
        current.multiSelectable && target.multiSelectable;
    if (!(extending && blockable) || anchor_.col < 0)
        anchor_ = {col, row};
    if (extending && blockable) {
        const int left = std::min({curCol, anchor_.col, col});
        const int right = std::max({curCol, anchor_.col, col});
        const int top = std::min({curRow, anchor_.row, row});
        const int bottom = std::max({curRow, anchor_.row, row});
        const int c0 = std::min(anchor_.col, col);
        const int c1 = std::max(anchor_.col, col);
        const int r0 = std::min(anchor_.row, row);
        const int r1 = std::max(anchor_.row, row);
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c)
                setSelected(CellAt(c, r), c, r, c >= c0 && c <= c1 && r >= r0 && r <= r1);
        }
        blockActive_ = true;
    } else if (blockActive_) {
        ClearSelection();
    } else {
        setSelected(current, curCol, curRow, false);
        if (current.rowMarked) {
            current.rowMarked = false;
            grid_->InvalidateCell(curCol, curRow);
        }
    }
    setSelected(target, col, row, true);
    updateRowMarks();
}

void cuiSheet::updateRowMarks()
{
    const bool marking = blockActive_ && multiSelect_ == MultiSelect::Line;
    if (!marking && !marksMaySet_)
        return;
    for (int r = 0; r < rows_; ++r) {
        bool any = false;
        if (marking) {
            for (int c = 0; c < cols_ && !any; ++c)
                any = CellAt(c, r).selected;
        }
        for (int c = marking ? grid_->FixedCols() : 0; c < cols_; ++c) {
            clsSheetCellId& entry = CellAt(c, r);
            if (entry.rowMarked != any) {
                entry.rowMarked = any;
                grid_->InvalidateCell(c, r);
            }
        }
    }
    marksMaySet_ = marking;
}

void cuiSheet::ClearSelection()
{
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            clsSheetCellId& entry = CellAt(c, r);
            if (entry.selected) {
                entry.selected = false;
                grid_->InvalidateCell(c, r);
            }
        }
    }
    blockActive_ = false;
    updateRowMarks();
}

// The stop cell a tail cell belongs to: (col, row) moved left over tail cells.
int cuiSheet::tailStart(int col, int row)
{
    while (col > 0 && (CellAt(col, row).cell.marks & cmcCellObj::Tail) != 0)
        --col;
    return col;
}

void cuiSheet::selectBlockByArgs(int actedCol, int actedRow, const cmcCellCapsule& capsule)
{
    ClearSelection();
    const cmcCellObj& acted = CellAt(actedCol, actedRow).cell;
    const int first = std::min(capsule.selFirst, capsule.selLast);
    const int last = std::max(capsule.selFirst, capsule.selLast);
    const int other = acted.arg == first ? last : first;
    int anchorRow = -1;
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            clsSheetCellId& entry = CellAt(c, r);
            if (entry.cell.logic != acted.logic || entry.cell.arg < first || entry.cell.arg > last)
                continue;
            setSelected(entry, c, r, true);
            if (entry.cell.arg == other)
                anchorRow = r;
        }
    }
    if (anchorRow >= 0)
        anchor_ = {actedCol, anchorRow};
    blockActive_ = true;
    updateRowMarks();
}
