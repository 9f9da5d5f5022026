#include "ui/cuiGrid.h"

#include "ui/cuiGridHandler.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>

namespace {
// Pixels on either side of a column border where a press starts resizing.
constexpr int sizingMargin = 3;
// Repeat interval of the scroll while a drag is held beyond the grid's edge.
constexpr int timedScrollMs = 60;
constexpr int wheelStep = 120;
} // namespace

cuiGrid::cuiGrid(QWidget* parent) : QAbstractScrollArea(parent), scrollTimer_(std::make_unique<QTimer>())
{
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    scrollTimer_->setInterval(timedScrollMs);
    connect(scrollTimer_.get(), &QTimer::timeout, this, &cuiGrid::onScrollTimer);
}

cuiGrid::~cuiGrid() = default;

void cuiGrid::SetSize(int cols, int rows)
{
    colWidths_.resize(static_cast<std::size_t>(std::max(cols, 0)), defaultColWidth_);
    rowHeights_.resize(static_cast<std::size_t>(std::max(rows, 0)), defaultRowHeight_);
    fixedCols_ = std::min(fixedCols_, std::max(ColCount() - 1, 0));
    fixedRows_ = std::min(fixedRows_, std::max(RowCount() - 1, 0));
    col_ = std::clamp(col_, 0, std::max(ColCount() - 1, 0));
    row_ = std::clamp(row_, 0, std::max(RowCount() - 1, 0));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(maxLeftCol(), fixedCols_));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(maxTopRow(), fixedRows_));
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::SetDefaultSizes(int colWidth, int rowHeight)
{
    defaultColWidth_ = colWidth;
    defaultRowHeight_ = rowHeight;
    std::fill(colWidths_.begin(), colWidths_.end(), colWidth);
    std::fill(rowHeights_.begin(), rowHeights_.end(), rowHeight);
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::SetFixed(int fixedCols, int fixedRows)
{
    fixedCols_ = std::clamp(fixedCols, 0, std::max(ColCount() - 1, 0));
    fixedRows_ = std::clamp(fixedRows, 0, std::max(RowCount() - 1, 0));
    leftCol_ = std::max(leftCol_, fixedCols_);
    topRow_ = std::max(topRow_, fixedRows_);
    updateScrollBars();
    viewport()->update();
}

int cuiGrid::ColWidth(int col) const
{
    return col >= 0 && col < ColCount() ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

int cuiGrid::RowHeight(int row) const
{
    return row >= 0 && row < RowCount() ? rowHeights_[static_cast<std::size_t>(row)] : 0;
}

void cuiGrid::SetColWidth(int col, int width)
{
    if (col < 0 || col >= ColCount() || colWidths_[static_cast<std::size_t>(col)] == width)
        return;
    colWidths_[static_cast<std::size_t>(col)] = std::max(width, 0);
    updateScrollBars();
    viewport()->update();
}

void cuiGrid::SetRowHeight(int row, int height)
{
    if (row < 0 || row >= RowCount() || rowHeights_[static_cast<std::size_t>(row)] == height)
        return;
    rowHeights_[static_cast<std::size_t>(row)] = std::max(height, 0);
    updateScrollBars();
    viewport()->update();
}

int cuiGrid::TotalWidth() const
{
    int sum = 0;
    for (int w : colWidths_)
        sum += w;
    return sum;
}

int cuiGrid::TotalHeight() const
{
    int sum = 0;
    for (int h : rowHeights_)
        sum += h;
    return sum;
}

int cuiGrid::FixedWidth() const
{
    int sum = 0;
    for (int c = 0; c < fixedCols_; ++c)
        sum += ColWidth(c);
    return sum;
}

int cuiGrid::FixedHeight() const
{
    int sum = 0;
    for (int r = 0; r < fixedRows_; ++r)
        sum += RowHeight(r);
    return sum;
}

bool cuiGrid::SetCurrent(int col, int row, bool ask, bool scroll)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        return false;
    if (ask && handler_ != nullptr && !handler_->GridSelectCell(col, row))
        return false;
    if (col != col_ || row != row_) {
        InvalidateCell(col_, row_);
        col_ = col;
        row_ = row;
        InvalidateCell(col_, row_);
    }
    if (scroll)
        ScrollIntoView(col, row);
    return true;
}

void cuiGrid::SetTopLeft(int leftCol, int topRow)
{
    leftCol = std::clamp(leftCol, fixedCols_, std::max(maxLeftCol(), fixedCols_));
    topRow = std::clamp(topRow, fixedRows_, std::max(maxTopRow(), fixedRows_));
    if (leftCol == leftCol_ && topRow == topRow_)
        return;
    leftCol_ = leftCol;
    topRow_ = topRow;
    updateScrollBars();
    viewport()->update();
    if (handler_ != nullptr)
        handler_->GridTopLeftChanged();
}

void cuiGrid::ScrollIntoView(int col, int row)
{
    int left = leftCol_;
    int top = topRow_;
    const int width = viewport()->width() - FixedWidth();
    const int height = viewport()->height() - FixedHeight();
    if (col >= fixedCols_) {
        if (col < left)
            left = col;
        while (left < col) {
            int span = 0;
            for (int c = left; c <= col; ++c)
                span += ColWidth(c);
            if (span <= width)
                break;
            ++left;
        }
    }
    if (row >= fixedRows_) {
        if (row < top)
            top = row;
        while (top < row) {
            int span = 0;
            for (int r = top; r <= row; ++r)
                span += RowHeight(r);
            if (span <= height)
                break;
            ++top;
        }
    }
    SetTopLeft(left, top);
}

int cuiGrid::VisibleColCount() const
{
    const int width = viewport()->width() - FixedWidth();
    int count = 0;
    int used = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        used += ColWidth(c);
        if (used > width)
            break;
        ++count;
    }
    return std::max(count, 1);
}

int cuiGrid::VisibleRowCount() const
{
    const int height = viewport()->height() - FixedHeight();
    int count = 0;
    int used = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        used += RowHeight(r);
        if (used > height)
            break;
        ++count;
    }
    return std::max(count, 1);
}

void cuiGrid::SetScrollBarsShown(bool shown)
{
    scrollBarsShown_ = shown;
    const Qt::ScrollBarPolicy policy = shown ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    updateScrollBars();
}

int cuiGrid::colLeft(int col) const
{
    if (col < 0 || col >= ColCount())
        return -1;
    int x = 0;
    if (col < fixedCols_) {
        for (int c = 0; c < col; ++c)
            x += ColWidth(c);
        return x;
    }
    if (col < leftCol_)
        return -1;
    x = FixedWidth();
    for (int c = leftCol_; c < col; ++c) {
        x += ColWidth(c);
        if (x >= viewport()->width())
            return -1;
    }
    return x < viewport()->width() ? x : -1;
}

int cuiGrid::rowTop(int row) const
{
    if (row < 0 || row >= RowCount())
        return -1;
    int y = 0;
    if (row < fixedRows_) {
        for (int r = 0; r < row; ++r)
            y += RowHeight(r);
        return y;
    }
    if (row < topRow_)
        return -1;
    y = FixedHeight();
    for (int r = topRow_; r < row; ++r) {
        y += RowHeight(r);
        if (y >= viewport()->height())
            return -1;
    }
    return y < viewport()->height() ? y : -1;
}

QRect cuiGrid::CellRect(int col, int row) const
{
    const int x = colLeft(col);
    const int y = rowTop(row);
    if (x < 0 || y < 0)
        return {};
    return {x, y, ColWidth(col), RowHeight(row)};
}

bool cuiGrid::CellAt(QPoint point, int& col, int& row) const
{
    col = -1;
    row = -1;
    int x = 0;
    for (int c = 0; c < ColCount(); ++c) {
        if (c == fixedCols_)
            c = leftCol_;
        if (c >= ColCount())
            break;
        if (point.x() >= x && point.x() < x + ColWidth(c)) {
            col = c;
            break;
        }
        x += ColWidth(c);
        if (x > viewport()->width())
            break;
    }
    int y = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (r == fixedRows_)
            r = topRow_;
        if (r >= RowCount())
            break;
        if (point.y() >= y && point.y() < y + RowHeight(r)) {
            row = r;
            break;
        }
        y += RowHeight(r);
        if (y > viewport()->height())
            break;
    }
    return col >= 0 && row >= 0;
}

void cuiGrid::InvalidateCell(int col, int row)
{
    const QRect rect = CellRect(col, row);
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void cuiGrid::InvalidateRow(int row)
{
    const int y = rowTop(row);
    if (y >= 0)
        viewport()->update(QRect(0, y, viewport()->width(), RowHeight(row)));
}

void cuiGrid::InvalidateAll()
{
    viewport()->update();
}

void cuiGrid::SetMouseFollow(bool on)
{
    viewport()->setMouseTracking(on);
}

void cuiGrid::SetBackground(const QColor& colour)
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    viewport()->setPalette(palette);
}

int cuiGrid::maxTopRow() const
{
    const int height = viewport()->height() - FixedHeight();
    int top = RowCount();
    int used = 0;
    while (top > fixedRows_) {
        used += RowHeight(top - 1);
        if (used > height)
            break;
        --top;
    }
    return std::min(top, std::max(RowCount() - 1, fixedRows_));
}

int cuiGrid::maxLeftCol() const
{
    const int width = viewport()->width() - FixedWidth();
    int left = ColCount();
    int used = 0;
    while (left > fixedCols_) {
        used += ColWidth(left - 1);
        if (used > width)
            break;
        --left;
    }
    return std::min(left, std::max(ColCount() - 1, fixedCols_));
}

void cuiGrid::updateScrollBars()
{
    updatingScrollBars_ = true;
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(maxTopRow() - fixedRows_, 0));
    v->setPageStep(VisibleRowCount());
    v->setValue(topRow_ - fixedRows_);
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(maxLeftCol() - fixedCols_, 0));
    h->setPageStep(VisibleColCount());
    h->setValue(leftCol_ - fixedCols_);
    updatingScrollBars_ = false;
}

void cuiGrid::scrollContentsBy(int, int)
{
    if (updatingScrollBars_)
        return;
    const int left = fixedCols_ + horizontalScrollBar()->value();
    const int top = fixedRows_ + verticalScrollBar()->value();
    if (left == leftCol_ && top == topRow_)
        return;
    leftCol_ = left;
    topRow_ = top;
    viewport()->update();
    if (handler_ != nullptr)
        handler_->GridTopLeftChanged();
}

void cuiGrid::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(maxLeftCol(), fixedCols_));
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(maxTopRow(), fixedRows_));
    updateScrollBars();
}

void cuiGrid::PaintCells(QPainter& painter, const QRegion& region)
{
    const QColor background = viewport()->palette().color(QPalette::Window);
    const QRect area = region.boundingRect();
    for (const QRect& part : region)
        painter.fillRect(part, background);
    if (handler_ == nullptr)
        return;
    const int width = viewport()->width();
    const int height = viewport()->height();
    int y = 0;
    for (int r = 0; r < RowCount() && y < height && y <= area.bottom(); ++r) {
        if (r == fixedRows_)
            r = topRow_;
        if (r >= RowCount())
            break;
        const int h = RowHeight(r);
        if (h > 0 && y + h > area.top()) {
            int x = 0;
            for (int c = 0; c < ColCount() && x < width && x <= area.right(); ++c) {
                if (c == fixedCols_)
                    c = leftCol_;
                if (c >= ColCount())
                    break;
                const int w = ColWidth(c);
                const QRect cell(x, y, w, h);
                if (w > 0 && x + w > area.left() && region.intersects(cell)) {
                    painter.setClipRect(cell);
                    handler_->GridDrawCell(painter, c, r, cell);
                }
                x += w;
            }
        }
        y += h;
    }
    painter.setClipping(false);
}

void cuiGrid::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    PaintCells(painter, event->region());
}

void cuiGrid::keyPressEvent(QKeyEvent* event)
{
    if (handler_ != nullptr && handler_->GridKeyPress(*event))
        event->accept();
    else
        event->ignore();
}

void cuiGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (handler_ != nullptr)
        handler_->GridKeyRelease(*event);
    event->ignore();
}

int cuiGrid::sizingBorder(QPoint point) const
{
    if (point.y() < 0 || point.y() >= FixedHeight())
        return -1;
    for (int c = 0; c < ColCount(); ++c) {
        const QRect rect = CellRect(c, 0);
        if (rect.isEmpty() || c < fixedCols_)
            continue;
        const int border = rect.left() + rect.width();
        if (std::abs(point.x() - border) <= sizingMargin)
            return c;
    }
    return -1;
}

void cuiGrid::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    lastMouse_ = pos;
    if (event->button() == Qt::LeftButton) {
        if (isEnabled() && focusPolicy() != Qt::NoFocus)
            setFocus(Qt::MouseFocusReason);
        const int border = colSizing_ ? sizingBorder(pos) : -1;
        int col = 0;
        int row = 0;
        if (border >= 0) {
            sizingCol_ = border;
            sizingStartX_ = pos.x();
            sizingStartWidth_ = ColWidth(border);
        } else if (CellAt(pos, col, row) && col >= fixedCols_ && row >= fixedRows_) {
            selecting_ = true;
            SetCurrent(col, row, true, true);
        }
    }
    if (handler_ != nullptr)
        handler_->GridMousePress(*event);
}

void cuiGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    lastMouse_ = pos;
    if (sizingCol_ >= 0) {
        SetColWidth(sizingCol_, std::max(sizingStartWidth_ + pos.x() - sizingStartX_, 1));
    } else if (selecting_ && (event->buttons() & Qt::LeftButton)) {
        const QRect inner(FixedWidth(), FixedHeight(), viewport()->width() - FixedWidth(),
                          viewport()->height() - FixedHeight());
        if (inner.contains(pos)) {
            scrollTimer_->stop();
            int col = 0;
            int row = 0;
            if (CellAt(pos, col, row) && (col != col_ || row != row_) && col >= fixedCols_ &&
                row >= fixedRows_)
                SetCurrent(col, row, true, true);
        } else {
            scrollDx_ = pos.x() < inner.left() ? -1 : (pos.x() > inner.right() ? 1 : 0);
            scrollDy_ = pos.y() < inner.top() ? -1 : (pos.y() > inner.bottom() ? 1 : 0);
            if (!scrollTimer_->isActive())
                scrollTimer_->start();
        }
    } else if (colSizing_) {
        viewport()->setCursor(sizingBorder(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
    }
    if (handler_ != nullptr)
        handler_->GridMouseMove(*event);
}

void cuiGrid::mouseReleaseEvent(QMouseEvent* event)
{
    scrollTimer_->stop();
    const bool resized = sizingCol_ >= 0;
    sizingCol_ = -1;
    selecting_ = false;
    if (resized && handler_ != nullptr)
        handler_->GridColumnResized();
    if (handler_ != nullptr)
        handler_->GridMouseRelease(*event);
}

void cuiGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (handler_ != nullptr)
        handler_->GridMouseDoubleClick(*event);
}

void cuiGrid::onScrollTimer()
{
    if (!selecting_) {
        scrollTimer_->stop();
        return;
    }
    if (handler_ != nullptr)
        handler_->GridTimedScroll(scrollDx_, scrollDy_);
}

void cuiGrid::wheelEvent(QWheelEvent* event)
{
    wheelRest_ += event->angleDelta().y();
    event->accept();
    while (std::abs(wheelRest_) >= wheelStep) {
        const int direction = wheelRest_ > 0 ? 1 : 2;
        wheelRest_ += direction == 1 ? -wheelStep : wheelStep;
        if (handler_ != nullptr && handler_->GridWheel(direction))
            continue;
        const int target = row_ + (direction == 1 ? -1 : 1);
        if (target >= fixedRows_ && target < RowCount())
            SetCurrent(col_, target, true, true);
    }
}

void cuiGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (handler_ != nullptr)
        handler_->GridFocusIn();
}

void cuiGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (handler_ != nullptr)
        handler_->GridFocusOut();
}
