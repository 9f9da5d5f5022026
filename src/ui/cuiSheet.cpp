// cuiSheet: construction, Build, the style line, and the two passes over the "_Cells"
// record (ScanRows lays out the rows and loops, FillCells parses the cells).
#include "ui/cuiSheet.h"

#include "base/cmcEvMan.h"
#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "cells/CellHost.h"
#include "cells/cmcCellParser.h"
#include "cells/datCounts.h"
#include "cells/indActiveCell.h"
#include "cells/indDocument.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiGrid.h"
#include "ui/cuiImageList.h"
#include "ui/cuiSheetMenu.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QPaintDevice>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Image byte whose bit 2 tells the radio's font type (the "Only_NFont"/"Only_TFont" rows).
constexpr int fontTypePlace = 0x10B50;
constexpr std::uint8_t fontTypeBit = 0x04;
// The models of this program are not mobile models.
constexpr bool mobileModel = false;

// The text after the first '=' of an item, "" when it has none.
std::string valueOf(const std::string& item)
{
    const std::size_t eq = item.find('=');
    return eq == std::string::npos ? std::string() : item.substr(eq + 1);
}

// The decimal number after the first blank of a directive, none when there is none.
std::optional<int> numberOf(const std::string& directive)
{
    const std::size_t blank = directive.find(' ');
    if (blank == std::string::npos)
        return std::nullopt;
    const char* start = directive.c_str() + blank + 1;
    char* end = nullptr;
    const long value = std::strtol(start, &end, 10);
    if (end == start)
        return std::nullopt;
    return static_cast<int>(value);
}

// The "(...)" items of a style or directive line; text outside parentheses is ignored and
// a ')' that is the second byte of a double-byte character does not close (UTF-8 never
// puts ')' inside a multi-byte sequence, so every ')' closes).
std::vector<std::string> itemsOf(const std::string& line)
{
    std::vector<std::string> items;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = line.find('(', at);
        if (open == std::string::npos)
            break;
        const std::size_t close = line.find(')', open + 1);
        if (close == std::string::npos)
            break;
        items.push_back(line.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return items;
}

bool startsWith(const std::string& text, std::string_view word)
{
    return std::string_view(text).starts_with(word);
}

// The cells of a row as FillCells parses them: each ended by an unescaped '|', and text
// after the last '|' one more; "" is one empty cell. ("A|B|" holds two cells.)
int cellsOfRow(std::string_view row)
{
    int count = 0;
    do {
        row = cmcSplitCell(row);
        ++count;
    } while (!row.empty());
    return count;
}

int screenDpiY()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

} // namespace

cuiSheet::cuiSheet(QWidget* parent, CellHost& host, const cmcCellCapsule* source, int startLogic,
                   int startArg, cmcGTex& overlay, std::string sheetName, const cuiImageList* images)
    : QWidget(parent), host_(host), overlay_(overlay), name_(std::move(sheetName)),
      images_(images != nullptr ? images : &cuiImageList::Standard()), startLogic_(startLogic),
      startArg_(startArg)
{
    if (source != nullptr)
        source_ = std::make_unique<cmcCellCapsule>(*source);
    updateHighlightColours();
    cmcEvents().Register(&cuiSheet::onEvent, this);
}

cuiSheet::~cuiSheet()
{
    cmcEvents().Unregister(&cuiSheet::onEvent, this);
    if (!cells_.empty() && !Printing() && !popupMode_)
        SaveColumnWidths();
    if (grid_ != nullptr)
        cmcEvents().Send(cmcEvCode::ControlDestroyed, 0,
                         reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(grid_)));
    menu_.reset();
}

std::string cuiSheet::SetKind(std::string kind)
{
    kind_ = std::move(kind);
    return kind_;
}

void cuiSheet::SetPrinter(QPaintDevice* printer)
{
    printer_ = printer;
    printScale_ =
        printer != nullptr ? static_cast<double>(printer->logicalDpiY() / std::max(screenDpiY(), 1)) : 1.0;
    if (printScale_ <= 0)
        printScale_ = 1.0;
}

void cuiSheet::SetPrintTarget(QPaintDevice* printer, QImage* bitmap)
{
    printer_ = printer;
    printBitmap_ = bitmap;
    printScale_ = 1.0;
}

void cuiSheet::SetStartPosition(int col, int row, int leftCol, int topRow)
{
    startCol_ = col;
    startRow_ = row;
    startLeft_ = leftCol;
    startTop_ = topRow;
}

// Measured from the sheet's own frame and margins rather than from the viewport, whose size
// a hidden window does not update until it is shown; scroll bars that are on take their room.
QSize cuiSheet::chromeSize() const
{
    const QMargins margins = panel_->layout()->contentsMargins();
    int width = 2 * panel_->frameWidth() + margins.left() + margins.right() + 2 * grid_->frameWidth();
    int height = 2 * panel_->frameWidth() + margins.top() + margins.bottom() + 2 * grid_->frameWidth();
    if (title_ != nullptr)
        height += title_->maximumHeight();
    if (grid_->ScrollBarsShown()) {
        const int bar = grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        width += bar;
        height += bar;
    }
    return {width, height};
}

int cuiSheet::PreferredWidth() const
{
    const int outer = parentWidget() != nullptr ? parentWidget()->width() - width() : 0;
    return outer + chromeSize().width() + grid_->TotalWidth();
}

int cuiSheet::PreferredHeight() const
{
    const int outer = parentWidget() != nullptr ? parentWidget()->height() - height() : 0;
    return outer + chromeSize().height() + grid_->TotalHeight();
}

int cuiSheet::CurrentCol() const
{
    return grid_ != nullptr ? grid_->Col() : -1;
}
int cuiSheet::CurrentRow() const
{
    return grid_ != nullptr ? grid_->Row() : -1;
}

clsSheetCellId& cuiSheet::CellAt(int col, int row)
{
    if (cells_.empty() || col < 0 || row < 0 || col >= cols_ || row >= rows_)
        cmcFatalStop("Illegal Cell selection");
    return cells_[static_cast<std::size_t>(col + row * cols_)];
}

std::string cuiSheet::GetTitle()
{
    return titleText_;
}

bool cuiSheet::IsPrintable()
{
    return !noPrint_;
}

void cuiSheet::AddRow(int line, bool selectOn)
{
    // The row table grows by half again whenever it is full.
    if (rowAtr_.size() == rowAtr_.capacity())
        rowAtr_.reserve(rowAtr_.size() + rowAtr_.size() / 2 + 1);
    rowAtr_.push_back({line, selectOn});
}

// --- Build -------------------------------------------------------------------------------

void cuiSheet::Build()
{
    if (!handler_) {
        handler_ = [this](cmcCellCapsule& capsule, int mode) {
            indActiveCell active(host_);
            return active.run(capsule, mode == ModeAction);
        };
    }
    building_ = true;
    parseStyleLine(overlay_.GetEntry(name_ + "_Style", 0));
    buildPanels();
    BuildCells();

    grid_->SetColumnSizing(colSizing_ && !Printing());
    grid_->SetFixed(std::min(styleFixedCols_, cols_ - 1), std::min(styleFixedRows_, rows_ - 1));
    grid_->SetCurrent(grid_->FixedCols(), grid_->FixedRows(), false, false);
    grid_->SetMouseFollow(popupMode_);

    PlaceAt(0, 0);
    MoveBy(0, 1);
    MoveBy(0, -1);
    MoveBy(1, 0);
    MoveBy(-1, 0);
    applyStartPosition();

    if (!isStop(grid_->Col(), grid_->Row())) {
        // A sheet without stop cells is read-only and takes no focus.
        grid_->setEnabled(false);
        grid_->setFocusPolicy(Qt::NoFocus);
    }
    building_ = false;
    grid_->InvalidateAll();
    refreshPopupMenu(grid_->Col(), grid_->Row(), false);
}

void cuiSheet::parseStyleLine(const std::string& line)
{
    for (const std::string& item : itemsOf(line))
        ApplyStyleItem(item);
}

void cuiSheet::ApplyStyleItem(const std::string& item)
{
    const std::string value = valueOf(item);
    if (startsWith(item, "TitleString")) {
        if (!value.empty())
            titleText_ = value;
    } else if (startsWith(item, "TitleColor")) {
        cmcCellObj probe;
        cmcParseCell(probe, "{(Color=" + value + ")}", nullptr, nullptr);
        titleColour_ = probe.colour;
    } else if (startsWith(item, "TitleFont")) {
        titleFont_ = std::make_unique<cmcCellFont>(cmcDefaultCellFont());
        cmcApplyFontFields(*titleFont_, value);
    } else if (startsWith(item, "FixedCols")) {
        styleFixedCols_ = std::max(0, std::atoi(value.c_str()));
    } else if (startsWith(item, "FixedRows")) {
        styleFixedRows_ = std::max(0, std::atoi(value.c_str()));
    } else if (item == "NoPrint") {
        noPrint_ = true;
    } else if (startsWith(item, "PrintFontRatio")) {
        printFontRatio_ = std::atoi(value.c_str());
    } else if (startsWith(item, "MultiSelect")) {
        if (value == "Cell")
            multiSelect_ = MultiSelect::Cell;
        else if (value == "Line")
            multiSelect_ = MultiSelect::Line;
    } else if (startsWith(item, "TableNum") || startsWith(item, "TableText")) {
        // accepted, no effect
    } else if (startsWith(item, "ColSizing")) {
        colSizing_ = true;
    } else if (startsWith(item, "ColorSelectLine")) {
        colorSelectLine_ = true;
    }
}

void cuiSheet::buildPanels()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (!titleText_.empty()) {
        title_ = new QLabel(QString::fromStdString(titleText_), this);
        title_->setTextFormat(Qt::PlainText);
        title_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        title_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        title_->setLineWidth(2);
        title_->setAutoFillBackground(true);
        if (titleFont_)
            title_->setFont(cuiCellStyle::Font(titleFont_.get()));
        QPalette palette = title_->palette();
        palette.setColor(QPalette::Window, cuiCellStyle::Colour(titleColour_));
        if (titleFont_)
            palette.setColor(QPalette::WindowText, cuiCellStyle::Colour(titleFont_->colour));
        title_->setPalette(palette);
        title_->setFixedHeight(QFontMetrics(title_->font()).height() + 2 + 8);
        layout->addWidget(title_);
    }
    panel_ = new QFrame(this);
    auto* inner = new QVBoxLayout(panel_);
    if (popupMode_) {
        panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel_->setLineWidth(1);
        inner->setContentsMargins(2, 2, 2, 2);
    } else {
        panel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel_->setLineWidth(2);
        inner->setContentsMargins(0, 0, 0, 0);
    }
    grid_ = new cuiGrid(panel_);
    grid_->SetHandler(this);
    // A scroll area asks for room for its scroll bars by default; popups fit their cells.
    grid_->setMinimumSize(1, 1);
    inner->addWidget(grid_);
    layout->addWidget(panel_);
}

void cuiSheet::BuildCells()
{
    LoadBasicCell();
    ScanRows(name_ + "_Cells");
    cells_.assign(static_cast<std::size_t>(cols_) * static_cast<std::size_t>(rows_), clsSheetCellId{});
    const int size =
        Printing() && !printToBitmap_ ? std::max(1, printer_->logicalDpiY() / std::max(screenDpiY(), 1)) : 1;
    grid_->SetDefaultSizes(size, size);
    grid_->SetSize(cols_, rows_);
    firstStopCol_ = cols_;
    firstStopRow_ = rows_;
    FillCells(name_ + "_Cells");
}

void cuiSheet::LoadBasicCell()
{
    const int ratio = Printing() && printFontRatio_ != 100 ? printFontRatio_ : 100;
    basicCell_ = cmcParseBasicCell(overlay_.GetEntry(name_ + "_BasicCell", 0), fontHeight_,
                                   host_.MenuState().zoomPercent, ratio);
    grid_->SetBackground(cuiCellStyle::Colour(basicCell_.colour));
    panel_->setFont(cuiCellStyle::Font(basicCell_.EffectiveFont()));
}

void cuiSheet::ScanRows(const std::string& key)
{
    ScanState scan;
    int cols = 0;
    rowAtr_.clear();
    for (int i = 0;; ++i) {
        const std::string line = overlay_.GetEntry(key, i);
        if (!line.empty() && line[0] == '#')
            break;
        if (scan.skip > 0) {
            --scan.skip;
            continue;
        }
        scan.line = i;
        if (!line.empty() && line[0] == ':') {
            for (const std::string& directive : itemsOf(line.substr(1)))
                ApplyDirective(directive, scan);
            if (scan.loopStart >= 0 && scan.loopEnd >= 0 && scan.loopCount > 0) {
                for (int copy = 1; copy < scan.loopCount; ++copy) {
                    for (int k = 0; k < scan.bodyRows; ++k)
                        AddRow(scan.loopStart + 1 + k, scan.selectOn);
                }
                scan.loopStart = scan.loopEnd = scan.loopCount = -1;
                scan.bodyRows = 0;
            }
            continue;
        }
        cols = std::max(cols, cellsOfRow(line));
        AddRow(i, scan.selectOn);
        if (scan.loopStart >= 0 && scan.loopEnd < 0)
            ++scan.bodyRows;
        else
            scan.bodyRows = 0;
    }
    if (cols == 0 || rowAtr_.empty())
        cmcFatalStop("Illegal Cell assign");
    cols_ = cols;
    rows_ = static_cast<int>(rowAtr_.size());
}

void cuiSheet::ApplyDirective(const std::string& directive, ScanState& scan)
{
    const cmcEeprom& image = host_.Document().Working();
    const std::optional<int> n = numberOf(directive);
    // A loop that begins forgets the end of an earlier loop that never closed (a list loop
    // whose list was empty), so later loops of the record still work.
    const auto beginLoop = [&](int count) {
        scan.loopStart = scan.line;
        scan.loopEnd = -1;
        scan.loopCount = count;
        scan.bodyRows = 0;
    };
    if (startsWith(directive, "Only_NFont")) {
        if ((image.GetByte(fontTypePlace) & fontTypeBit) == 0)
            scan.skip = n.value_or(0);
    } else if (startsWith(directive, "Only_TFont")) {
        if ((image.GetByte(fontTypePlace) & fontTypeBit) != 0)
            scan.skip = n.value_or(0);
    } else if (startsWith(directive, "Only_Handy")) {
        if (mobileModel)
            scan.skip = n.value_or(0);
    } else if (startsWith(directive, "Only_Mob")) {
        if (!mobileModel)
            scan.skip = n.value_or(0);
    } else if (startsWith(directive, "Never")) {
        scan.skip = n.value_or(0);
    } else if (startsWith(directive, "TG List")) {
        beginLoop(datTalkGroupCount(image));
    } else if (startsWith(directive, "Ind List")) {
        beginLoop(datIndividualIdCount(image));
    } else if (startsWith(directive, "LoopFrom")) {
        if (n)
            beginLoop(std::max(*n, 1));
    } else if (startsWith(directive, "LoopTo") || startsWith(directive, "End")) {
        scan.loopEnd = scan.line;
    } else if (startsWith(directive, "SelectON")) {
        scan.selectOn = true;
    } else if (startsWith(directive, "SelectOFF")) {
        scan.selectOn = false;
    }
}

void cuiSheet::FillCells(const std::string& key)
{
    const double s = printScale_;
    int previousLine = -1;
    for (int r = 0; r < rows_; ++r) {
        const int line = rowAtr_[static_cast<std::size_t>(r)].line;
        const bool selectOn = rowAtr_[static_cast<std::size_t>(r)].selectOn;
        BeforeRow(r);
        const bool repeat = r > 0 && line == previousLine;
        previousLine = line;
        if (repeat) {
            for (int c = 0; c < cols_; ++c) {
                BeforeCell(c, r);
                clsSheetCellId& entry = CellAt(c, r);
                entry.cell = CellAt(c, r - 1).cell;
                entry.cell.arg += 1;
                if (entry.cell.IsStop()) {
                    firstStopCol_ = std::min(firstStopCol_, c);
                    firstStopRow_ = std::min(firstStopRow_, r);
                }
                entry.multiSelectable = multiSelect_ != MultiSelect::None && selectOn;
            }
            grid_->SetRowHeight(r, grid_->RowHeight(r - 1));
            continue;
        }
        const std::string text = overlay_.GetEntry(key, line);
        std::string_view rest = text;
        for (int c = 0; c < cols_; ++c) {
            BeforeCell(c, r);
            clsSheetCellId& entry = CellAt(c, r);
            rest = cmcParseCell(entry.cell, rest, &counters_, &basicCell_);
            cmcCellObj& cell = entry.cell;
            if ((cell.layout & (cmcCellObj::AutoWidth | cmcCellObj::AutoHeight)) != 0) {
                const QFont font = cuiCellStyle::Font(cell.EffectiveFont());
                const QFontMetricsF metrics =
                    printer_ != nullptr ? QFontMetricsF(font, printer_) : QFontMetricsF(font);
                double width = 0;
                int lines = 0;
                for (const QString& part : QString::fromStdString(cell.DisplayText()).split('\n')) {
                    width = std::max(width, metrics.horizontalAdvance(part));
                    ++lines;
                }
                const double height = lines * metrics.height();
                if ((cell.layout & cmcCellObj::AutoWidth) != 0)
                    grid_->SetColWidth(c,
                                       std::max(grid_->ColWidth(c), static_cast<int>(width + 8 * s + 0.5)));
                if ((cell.layout & cmcCellObj::AutoHeight) != 0)
                    grid_->SetRowHeight(
                        r, std::max(grid_->RowHeight(r), static_cast<int>(height + 2 * s + 0.5)));
            }
            if (cell.IsStop()) {
                firstStopCol_ = std::min(firstStopCol_, c);
                firstStopRow_ = std::min(firstStopRow_, r);
            }
            entry.multiSelectable = multiSelect_ != MultiSelect::None && selectOn;
            if (rest.empty())
                break;
        }
    }

    if (Printing()) {
        LoadColumnWidths();
    } else if (!popupMode_) {
        if (resetWidths_)
            resetStoredWidths();
        else
            LoadColumnWidths();
        SaveColumnWidths();
    }
    resetWidths_ = false;
}

void cuiSheet::applyStartPosition()
{
    if (startCol_ >= cols_ || startRow_ >= rows_ || startLeft_ >= cols_ || startTop_ >= rows_)
        startCol_ = startRow_ = startLeft_ = startTop_ = -1;
    if (startCol_ < 0 || startRow_ < 0) {
        if (startLogic_ != 0) {
            for (int r = 0; r < rows_; ++r) {
                for (int c = 0; c < cols_; ++c) {
                    const cmcCellObj& cell = CellAt(c, r).cell;
                    if (cell.IsStop() && cell.logic == startLogic_ && cell.arg == startArg_) {
                        MoveTo(c, r);
                        return;
                    }
                }
            }
        }
        return;
    }
    if (!isStop(startCol_, startRow_))
        return;
    int left = grid_->LeftCol();
    int top = grid_->TopRow();
    if (startLeft_ >= 0 && grid_->TotalWidth() >= grid_->viewport()->width())
        left = startLeft_;
    if (startTop_ >= 0 && grid_->TotalHeight() >= grid_->viewport()->height())
        top = startTop_;
    grid_->SetTopLeft(left, top);
    PlaceAt(startCol_, startRow_);
}
