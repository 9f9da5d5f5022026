#pragma once
// What a grid (cuiGrid) tells the sheet that owns it: paint requests for single cells, the
// question whether the cursor may move to a cell, scrolling, column resizing, and the raw
// keyboard, mouse, wheel and focus events. The grid itself knows nothing of cells.
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QRect;

class cuiGridHandler {
public:
    virtual ~cuiGridHandler() = default;

    // Paints cell (col, row) into rect (viewport coordinates); the painter is clipped to rect.
    virtual void GridDrawCell(QPainter& painter, int col, int row, const QRect& rect) = 0;
    // May the cursor move to (col, row)? Asked before every change of the current cell that
    // the grid or the sheet requests with asking on.
    virtual bool GridSelectCell(int col, int row) = 0;
    virtual void GridTopLeftChanged() {}
    // After the user changed a column width by dragging its border.
    virtual void GridColumnResized() {}
    // A key pressed on the grid; true when the handler consumed it.
    virtual bool GridKeyPress(QKeyEvent& event) = 0;
    virtual void GridKeyRelease(QKeyEvent& event) { (void)event; }
    // Mouse notifications come after the grid's own handling (a left press has already
    // moved the cursor to the cell under the pointer).
    virtual void GridMousePress(QMouseEvent& event) { (void)event; }
    virtual void GridMouseRelease(QMouseEvent& event) { (void)event; }
    virtual void GridMouseDoubleClick(QMouseEvent& event) { (void)event; }
    virtual void GridMouseMove(QMouseEvent& event) { (void)event; }
    // One wheel step: direction 1 up, 2 down. True swallows the step; otherwise the grid
    // moves its current row one step.
    virtual bool GridWheel(int direction)
    {
        (void)direction;
        return false;
    }
    // Dragging beyond the grid's edge: dx, dy are -1, 0 or 1.
    virtual void GridTimedScroll(int dx, int dy)
    {
        (void)dx;
        (void)dy;
    }
    virtual void GridFocusIn() {}
    virtual void GridFocusOut() {}
};
