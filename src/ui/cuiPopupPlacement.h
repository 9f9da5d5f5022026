#pragma once
// Where a popup editor opens: below the opening cell, 8 pixels in from its left edge; above
// the cell when it does not fit below; against the work area's bottom when it fits neither
// (and then left of the cell when there is room); never past the work area's right edge.
#include <QPoint>
#include <QRect>
#include <QSize>

class cuiPopupPlacement {
public:
    // cell and workArea in screen coordinates.
    [[nodiscard]] static QPoint Place(const QSize& popup, const QRect& cell, const QRect& workArea);
};
