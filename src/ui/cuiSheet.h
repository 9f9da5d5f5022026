#pragma once
// A sheet: the program's one editing surface. Every settings page, channel list and popup
// list is a sheet laid out from three overlay records named after it ("_Style",
// "_BasicCell", "_Cells"); the sheet knows nothing of what a cell means. It hands every
// paint and every user action on a cell to its cell handler (normally the cell-logic
// dispatcher) in a cmcCellCapsule and applies the answer: the text to show, the editor to
// open, the cell to jump to, the block to select, the cells to repaint.
//
// The implementation is split by concern: building (cuiSheet.cpp), drawing
// (cuiSheetDraw.cpp), moving and selecting (cuiSheetMove.cpp), actions, the in-place editor
// and the popup menu (cuiSheetAction.cpp), keyboard and mouse (cuiSheetInput.cpp), stored
// column widths and the events of the event manager (cuiSheetWidths.cpp).
#include "cells/cmcCellCapsule.h"
#include "ui/clsSheeRowAtr.h"
#include "ui/clsSheetCellId.h"
#include "ui/cuiGridHandler.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CellHost;
class QAction;
class QFrame;
class QImage;
class QLabel;
class QMenu;
class QPaintDevice;
class cmcGTex;
class cuiCellEditor;
class cuiGrid;
class cuiImageList;
class cuiSheetMenu;
struct cmcEvent;

class cuiSheet : public QWidget, protected cuiGridHandler {
    Q_OBJECT
public:
    // The cell handler: mode 0 paints (the capsule's output is drawn), mode 1 acts.
    using CellHandler = std::function<int(cmcCellCapsule& capsule, int mode)>;
    // Draws a cell whose handler asked for its own painting (cmcPaint::Custom) into rect.
    using CellPainter = std::function<void(QPainter& painter, const QRect& rect,
                                           const cmcCellCapsule& capsule, const QColor& fontColour)>;
    static constexpr int ModePaint = 0;
    static constexpr int ModeAction = 1;
    enum class MultiSelect { None, Cell, Line };

    // source: the capsule of the cell that opened this sheet (popup sheets), or none.
    // startLogic/startArg: the stop cell made current on Build (0: none). images: the image
    // list of the marks (none: the standard marks).
    cuiSheet(QWidget* parent, CellHost& host, const cmcCellCapsule* source, int startLogic, int startArg,
             cmcGTex& overlay, std::string sheetName, const cuiImageList* images = nullptr);
    ~cuiSheet() override;
    cuiSheet(const cuiSheet&) = delete;
    cuiSheet& operator=(const cuiSheet&) = delete;

    // --- configuration before Build ---
    void SetCellHandler(CellHandler handler) { handler_ = std::move(handler); }
    void SetCellPainter(CellPainter painter) { cellPainter_ = std::move(painter); }
    void SetPopupMode(bool on) { popupMode_ = on; }
    // Printing: the printer's vertical resolution over the screen's, as integers.
    void SetPrinter(QPaintDevice* printer);
    void SetPrintTarget(QPaintDevice* printer, QImage* bitmap);
    void SetPrintToBitmap(bool on) { printToBitmap_ = on; }
    void SetFontHeight(int height) { fontHeight_ = height; }
    void SetStartPosition(int col, int row, int leftCol, int topRow);
    void SetWidthKey(std::string reference) { widthKey_ = std::move(reference); }
    // Set by the main window before Build: forget every stored column width.
    void SetResetWidths(bool on) { resetWidths_ = on; }
    virtual std::string SetKind(std::string kind);

    [[nodiscard]] const std::string& Kind() const { return kind_; }
    [[nodiscard]] const std::string& WidthKey() const { return widthKey_; }
    [[nodiscard]] const std::string& SheetName() const { return name_; }
    [[nodiscard]] bool PopupMode() const { return popupMode_; }
    [[nodiscard]] bool Printing() const { return printer_ != nullptr; }
    [[nodiscard]] double PrintScale() const { return printScale_; }
    [[nodiscard]] int PrintFontRatio() const { return printFontRatio_; }
    [[nodiscard]] MultiSelect MultiSelectMode() const { return multiSelect_; }
    // Size the whole table would need without scrolling (popup windows size to it).
    [[nodiscard]] int PreferredWidth() const;
    [[nodiscard]] int PreferredHeight() const;

    // --- operations ---
    virtual void Build();
    // The cell table entry; outside the table (or before Build) a fatal stop.
    clsSheetCellId& CellAt(int col, int row);
    [[nodiscard]] int ColCount() const { return cols_; }
    [[nodiscard]] int RowCount() const { return rows_; }
    [[nodiscard]] int CurrentCol() const;
    [[nodiscard]] int CurrentRow() const;
    void MoveTo(int col, int row);
    void PlaceAt(int col, int row);
    void MoveBy(int dx, int dy);
    // The first stop cell (rows from the top, columns from the left) with this identity
    // becomes current; false when there is none.
    bool JumpToCell(int category, int logic, int arg);
    // The road of every edit: key, popup-menu command or committed text on a cell.
    void DoCellAction(int col, int row, int key, int command = 0, const std::string* text = nullptr);
    void RedrawRelated(const cmcCellCapsule& capsule, int scope);
    void CommitEditor();
    void ClearSelection();
    [[nodiscard]] bool BlockSelectionActive() const { return blockActive_; }
    // Paints one cell as the grid would (the printing engine draws with it).
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect);

    virtual std::string GetTitle();
    virtual bool IsPrintable();
    virtual bool CanPrint() { return IsPrintable(); }
    virtual void LoadColumnWidths();
    virtual void SaveColumnWidths();

    [[nodiscard]] cuiGrid& Grid() { return *grid_; }
    [[nodiscard]] CellHost& Host() { return host_; }
    // The in-place editor, none before its first use.
    [[nodiscard]] cuiCellEditor* Editor() { return editor_; }
    [[nodiscard]] bool EditorShown() const;
    // The popup menu built for the current cell, none when no menu is built.
    [[nodiscard]] QMenu* PopupMenu() const;
    [[nodiscard]] const std::string& PopupMenuName() const { return menuName_; }
    // The item of the popup menu whose cell has this logic, none when there is none.
    [[nodiscard]] QAction* PopupMenuItem(int logic) const;
    // Opens the popup menu at a global position (refreshed for the current cell first).
    void OpenPopupMenu(const QPoint& globalPos);
    [[nodiscard]] const cmcCellObj& BasicCell() const { return basicCell_; }

    // Keys the editor hands back (Page Up and Page Down after committing).
    bool EditorKey(QKeyEvent& event);

protected:
    // The state of the first pass over the "_Cells" record, open to model sheets that add
    // directives of their own.
    struct ScanState {
        int line = 0;
        int skip = 0;
        int loopStart = -1;
        int loopEnd = -1;
        int loopCount = -1;
        bool selectOn = true;
        int bodyRows = 0;
    };

    virtual void ApplyStyleItem(const std::string& item);
    virtual void ApplyDirective(const std::string& directive, ScanState& scan);
    virtual void BuildCells();
    virtual void LoadBasicCell();
    virtual void ScanRows(const std::string& key);
    virtual void FillCells(const std::string& key);
    virtual void BeforeRow(int row) { (void)row; }
    virtual void BeforeCell(int col, int row)
    {
        (void)col;
        (void)row;
    }
    // Events 37, 39 and 40 belong to the model sheets.
    virtual void RefreshTitleEvent() {}
    virtual void AddRowsEvent(int count) { (void)count; }
    virtual void RemoveRowsEvent(int count) { (void)count; }

    // cuiGridHandler
    void GridDrawCell(QPainter& painter, int col, int row, const QRect& rect) override;
    bool GridSelectCell(int col, int row) override;
    void GridColumnResized() override;
    bool GridKeyPress(QKeyEvent& event) override;
    void GridKeyRelease(QKeyEvent& event) override;
    void GridMousePress(QMouseEvent& event) override;
    void GridMouseRelease(QMouseEvent& event) override;
    void GridMouseDoubleClick(QMouseEvent& event) override;
    void GridMouseMove(QMouseEvent& event) override;
    bool GridWheel(int direction) override;
    void GridTimedScroll(int dx, int dy) override;
    void GridFocusIn() override;
    void GridFocusOut() override;

    [[nodiscard]] cmcGTex& Overlay() { return overlay_; }
    [[nodiscard]] int StyleFixedCols() const { return styleFixedCols_; }
    [[nodiscard]] int StyleFixedRows() const { return styleFixedRows_; }
    std::vector<clsSheeRowAtr>& Rows() { return rowAtr_; }
    // Appends one row of the row table (grid rows follow after the scan).
    void AddRow(int line, bool selectOn);

private:
    struct Cursor {
        int col = -1;
        int row = -1;
    };

    [[nodiscard]] QSize chromeSize() const;
    // building
    void parseStyleLine(const std::string& line);
    void buildPanels();
    void applyStartPosition();
    // drawing
    void updateHighlightColours();
    void drawMark(QPainter& painter, const QRect& rect, const cmcCellCapsule& capsule, bool rightAligned,
                  int penX);
    void drawPrintedMark(QPainter& painter, int x, int y, int m, bool error);
    // moving and selecting
    bool isStop(int col, int row);
    bool findStep(int& col, int& row, int dx, int dy, bool wrap);
    void selectionChanged(int col, int row);
    void updateRowMarks();
    void setSelected(clsSheetCellId& entry, int col, int row, bool on);
    int tailStart(int col, int row);
    void invalidateHighlighted();
    void selectBlockByArgs(int actedCol, int actedRow, const cmcCellCapsule& capsule);
    // actions
    void prepareCapsule(cmcCellCapsule& capsule, int col, int row);
    int callHandler(cmcCellCapsule& capsule, int mode);
    void openEditor(int col, int row);
    void closeEditor(bool giveFocusBack);
    void reopenEditor(const cmcCellCapsule& capsule, int flag);
    void refreshPopupMenu(int col, int row, bool forced);
    void destroyPopupMenu();
    void runMenuItem(int logic);
    // widths
    [[nodiscard]] std::string widthSubkey() const;
    void clampColumnWidths(bool loading);
    void resetStoredWidths();
    void autoFitColumn(int col);
    [[nodiscard]] int textWidth(const std::string& text, const QFont& font) const;
    // events
    static void onEvent(void* user, const cmcEvent& event);
    void statusClear();
    [[nodiscard]] bool shiftHeld() const;

    CellHost& host_;
    cmcGTex& overlay_;
    std::string name_;
    std::string widthKey_;
    std::string kind_;
    const cuiImageList* images_;
    std::unique_ptr<cmcCellCapsule> source_; // copy of the opening capsule; none for main sheets
    CellHandler handler_;
    CellPainter cellPainter_;
    int startLogic_ = 0;
    int startArg_ = 0;
    int startCol_ = -1;
    int startRow_ = -1;
    int startLeft_ = -1;
    int startTop_ = -1;
    bool popupMode_ = false;
    cmcRowCounters counters_{};
    cmcCellObj basicCell_;
    cmcCellCapsule paintCapsule_;
    int firstStopCol_ = 0;
    int firstStopRow_ = 0;
    Cursor anchor_;
    Cursor remembered_{0, 0};
    bool blockActive_ = false;
    bool dragging_ = false;
    bool marksMaySet_ = false;
    bool building_ = false;
    int wheelDirection_ = 0;
    Qt::KeyboardModifiers eventModifiers_;
    bool inEvent_ = false;
    // style
    std::string titleText_;
    std::uint32_t titleColour_ = cmcCellObj{}.colour;
    std::unique_ptr<cmcCellFont> titleFont_;
    int styleFixedCols_ = 0;
    int styleFixedRows_ = 0;
    bool noPrint_ = false;
    int printFontRatio_ = 100;
    MultiSelect multiSelect_ = MultiSelect::None;
    bool colSizing_ = false;
    bool colorSelectLine_ = false;
    // printing
    QPaintDevice* printer_ = nullptr;
    QImage* printBitmap_ = nullptr;
    bool printToBitmap_ = false;
    double printScale_ = 1.0;
    int fontHeight_ = 0;
    bool resetWidths_ = false;
    bool loadingWidths_ = false;
    // table
    int cols_ = 0;
    int rows_ = 0;
    std::vector<clsSheeRowAtr> rowAtr_;
    std::vector<clsSheetCellId> cells_;
    // widgets
    QLabel* title_ = nullptr;
    QFrame* panel_ = nullptr;
    cuiGrid* grid_ = nullptr;
    cuiCellEditor* editor_ = nullptr;
    Cursor edited_;
    bool editorCommitting_ = false;
    bool editorCancelling_ = false;
    // popup menu
    std::unique_ptr<cuiSheetMenu> menu_;
    std::string menuName_;
    Cursor menuCell_;
    QPoint lastMouse_{-1, -1};
    bool pressSeen_ = false;
    // highlight colours
    QColor selectLineColour_;
    QColor inactiveHighlight_;
    QColor baseText_, baseWindow_, baseFace_;

    friend class cuiCellEditor;
};
