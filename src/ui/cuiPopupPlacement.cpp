#include "ui/cuiPopupPlacement.h"

QPoint cuiPopupPlacement::Place(const QSize& popup, const QRect& cell, const QRect& workArea)
{
    const int width = popup.width();
    const int height = popup.height();
    // Right and bottom edges are exclusive here, as the cell rectangles of the sheets are.
    const int workRight = workArea.left() + workArea.width();
    const int workBottom = workArea.top() + workArea.height();
    const int cellBottom = cell.top() + cell.height();
    int top = cellBottom;
    bool pushedToBottom = false;
    if (top + height > workBottom) {
        if (height >= cell.top() - workArea.top()) {
            top = workBottom - height;
            pushedToBottom = true;
        } else {
            top = cell.top() - height;
        }
    }
    int left = cell.left() + 8;
    if (left + width > workRight) {
        left = workRight - width;
        if (pushedToBottom && width < cell.left() - workArea.left())
            left = cell.left() - width;
    }
    return {left, top};
}
