#pragma once
// The grid control of a sheet: a custom-painted table with fixed (non-scrolling) rows and
// columns, a width per column and a height per row, scroll bars that step by whole rows and
// columns, a current cell, and no drawing of its own: every visible cell is painted by the
// handler (cuiGridHandler), and only the cells inside the repainted area are asked for.
#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QRegion>

#include <memory>
#include <vector>

class QTimer;
class cuiGridHandler;

class cuiGrid final : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit cuiGrid(QWidget* parent = nullptr);
    ~cuiGrid() override;

    void SetHandler(cuiGridHandler* handler) { handler_ = handler; }

    // Dimensions. New columns and rows take the default width and height.
    void SetSize(int cols, int rows);
    void SetDefaultSizes(int colWidth, int rowHeight);
    void SetFixed(int fixedCols, int fixedRows);
    [[nodiscard]] int ColCount() const { return static_cast<int>(colWidths_.size()); }
    [[nodiscard]] int RowCount() const { return static_cast<int>(rowHeights_.size()); }
    [[nodiscard]] int FixedCols() const { return fixedCols_; }
    [[nodiscard]] int FixedRows() const { return fixedRows_; }
    [[nodiscard]] int ColWidth(int col) const;
    [[nodiscard]] int RowHeight(int row) const;
    void SetColWidth(int col, int width);
    void SetRowHeight(int row, int height);
    [[nodiscard]] int TotalWidth() const;
    [[nodiscard]] int TotalHeight() const;
    [[nodiscard]] int FixedWidth() const;
    [[nodiscard]] int FixedHeight() const;

    // The current cell.
    [[nodiscard]] int Col() const { return col_; }
    [[nodiscard]] int Row() const { return row_; }
    // Makes (col, row) current. With ask the handler may refuse (false is returned); with
    // scroll the cell is then scrolled fully into view.
    bool SetCurrent(int col, int row, bool ask, bool scroll);

    // Scrolling: the first non-fixed column and row shown.
    [[nodiscard]] int LeftCol() const { return leftCol_; }
    [[nodiscard]] int TopRow() const { return topRow_; }
    void SetTopLeft(int leftCol, int topRow);
    void ScrollIntoView(int col, int row);
    // Non-fixed columns and rows that fit completely into the visible area (at least 1).
    [[nodiscard]] int VisibleColCount() const;
    [[nodiscard]] int VisibleRowCount() const;
    void SetScrollBarsShown(bool shown);
    [[nodiscard]] bool ScrollBarsShown() const { return scrollBarsShown_; }

    // Cell rectangle in viewport coordinates; empty when the cell is not on screen.
    [[nodiscard]] QRect CellRect(int col, int row) const;
    // The cell under a viewport point; false outside every cell.
    bool CellAt(QPoint point, int& col, int& row) const;

    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateAll();

    // Column sizing with the mouse on the borders of the fixed rows.
    void SetColumnSizing(bool on) { colSizing_ = on; }
    [[nodiscard]] bool ColumnSizing() const { return colSizing_; }
    // The viewport follows the mouse even without a button held (popup lists).
    void SetMouseFollow(bool on);
    void SetBackground(const QColor& colour);

    // Paints the cells within area (viewport coordinates) onto painter, as a paint event would.
    void PaintCells(QPainter& painter, const QRegion& area);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int colLeft(int col) const; // viewport x of a visible column, -1 when hidden
    int rowTop(int row) const;
    int maxTopRow() const;
    int maxLeftCol() const;
    int sizingBorder(QPoint point) const; // column whose right border is under point, -1 none
    void updateScrollBars();
    void onScrollTimer();

    cuiGridHandler* handler_ = nullptr;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    int fixedCols_ = 0;
    int fixedRows_ = 0;
    int col_ = 0;
    int row_ = 0;
    int leftCol_ = 0;
    int topRow_ = 0;
    bool colSizing_ = false;
    bool scrollBarsShown_ = true;
    bool updatingScrollBars_ = false;
    // Mouse state.
    bool selecting_ = false;
    int sizingCol_ = -1;
    int sizingStartX_ = 0;
    int sizingStartWidth_ = 0;
    QPoint lastMouse_;
    int wheelRest_ = 0;
    std::unique_ptr<QTimer> scrollTimer_;
    int scrollDx_ = 0;
    int scrollDy_ = 0;
};
