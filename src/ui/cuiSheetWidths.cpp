// cuiSheet: column widths stored in the settings (sheets named in GI_CellWidthRegList),
// their limits, fitting a column to its texts, and the events of the event manager.
#include "app/indProcess.h"
#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcSettingsStore.h"
#include "base/cmcTextTables.h"
#include "cells/CellHost.h"
#include "cells/indActiveCell.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetMenu.h"
#include "ui/cuiSheetRef.h"

#include <QFontMetricsF>
#include <QMenu>

#include <algorithm>

namespace {
constexpr const char* widthListKey = "GI_CellWidthRegList";
constexpr int minWidth = 10;
constexpr int maxWidth = 650;

std::string widthKeyPath(const std::string& subkey)
{
    return std::string(indProcess::SettingsRoot) + "\\Display\\" + subkey + "\\colwidth";
}
} // namespace

std::string cuiSheet::widthSubkey() const
{
    const std::string name = cuiSheetRef::Parse(widthKey_).name;
    cmcGTex& main = MainText();
    for (int i = 0;; ++i) {
        const std::string line = main.GetEntry(widthListKey, i);
        const std::size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos)
            return {};
        if (!name.empty() && line.compare(0, colon, name) == 0 && colon == name.size())
            return line.substr(colon + 1);
    }
}

void cuiSheet::LoadColumnWidths()
{
    const std::string subkey = widthSubkey();
    if (subkey.empty() || cells_.empty())
        return;
    cmcSettingsStore& store = cmcSettings();
    const std::string path = widthKeyPath(subkey);
    const int headerRow = std::min(styleFixedRows_, rows_ - 1);
    loadingWidths_ = true;
    for (int c = 0; c < cols_; ++c) {
        if (!CellAt(c, headerRow).cell.IsStop())
            continue;
        const std::optional<std::int32_t> value =
            store.ReadInteger(cmcSettingsRoot::CurrentUser, path, std::to_string(c));
        if (!value)
            continue;
        if (Printing()) {
            // The stored screen width, scaled to the printer's font, never wider than measured.
            const QFont font = cuiCellStyle::Font(basicCell_.EffectiveFont(), printScale_);
            const double f =
                font.pointSizeF() > 0
                    ? font.pointSizeF() * 16.0 / std::max(1, host_.MenuState().zoomPercent * 16 / 100) * 0.1
                    : 1.0;
            grid_->SetColWidth(c, std::min(grid_->ColWidth(c), static_cast<int>(*value * f + 0.5)));
        } else {
            grid_->SetColWidth(c, *value);
        }
    }
    clampColumnWidths(true);
    loadingWidths_ = false;
}

void cuiSheet::SaveColumnWidths()
{
    if (Printing() || cells_.empty())
        return;
    const std::string subkey = widthSubkey();
    if (subkey.empty())
        return;
    cmcSettingsStore& store = cmcSettings();
    const std::string path = widthKeyPath(subkey);
    const int headerRow = grid_->FixedRows();
    for (int c = 0; c < cols_; ++c) {
        if (CellAt(c, headerRow).cell.IsStop())
            store.WriteInteger(cmcSettingsRoot::CurrentUser, path, std::to_string(c), grid_->ColWidth(c));
    }
}

void cuiSheet::resetStoredWidths()
{
    cmcGTex& main = MainText();
    cmcSettingsStore& store = cmcSettings();
    for (int i = 0;; ++i) {
        const std::string line = main.GetEntry(widthListKey, i);
        const std::size_t colon = line.find(':');
        if (line.empty() || line[0] == '#' || colon == std::string::npos)
            break;
        store.DeleteKey(cmcSettingsRoot::CurrentUser, indProcess::SettingsRoot,
                        "Display\\" + line.substr(colon + 1) + "\\colwidth");
    }
}

void cuiSheet::clampColumnWidths(bool loading)
{
    if (cells_.empty())
        return;
    int limit = maxWidth;
    if (!loading)
        limit = std::clamp(grid_->viewport()->width() - grid_->FixedWidth(), minWidth, maxWidth);
    const int headerRow = grid_->FixedRows();
    for (int c = 0; c < cols_; ++c) {
        if (!CellAt(c, headerRow).cell.IsStop())
            continue;
        const int width = grid_->ColWidth(c);
        if (width < minWidth)
            grid_->SetColWidth(c, minWidth);
        else if (width > limit)
            grid_->SetColWidth(c, limit);
    }
}

void cuiSheet::GridColumnResized()
{
    clampColumnWidths(loadingWidths_);
    SaveColumnWidths();
}

int cuiSheet::textWidth(const std::string& text, const QFont& font) const
{
    if (text.empty())
        return 0;
    const QFontMetricsF metrics(font);
    double width = 0;
    for (const QString& line : QString::fromStdString(text).split('\n'))
        width = std::max(width, metrics.horizontalAdvance(line));
    return static_cast<int>(width + 8 * printScale_ + 0.5);
}

void cuiSheet::autoFitColumn(int col)
{
    if (col < 0 || col >= cols_)
        return;
    const int fixedRows = grid_->FixedRows();
    int width = 0;
    for (int r = 0; r < rows_; ++r) {
        cmcCellObj& cell = CellAt(col, r).cell;
        const QFont font = cuiCellStyle::Font(cell.EffectiveFont() != nullptr ? cell.EffectiveFont()
                                                                              : basicCell_.EffectiveFont());
        if (r < fixedRows) {
            if (col + 1 < cols_ && (CellAt(col + 1, r).cell.layout & cmcCellObj::Joined) != 0)
                continue;
            width = std::max(width, textWidth(cell.DisplayText(), font));
        } else {
            indActiveCell active(host_);
            width =
                std::max(width, textWidth(cell.HasLogic() ? active.textOf(&cell) : cell.DisplayText(), font));
        }
    }
    grid_->SetColWidth(col, width);
    clampColumnWidths(false);
    SaveColumnWidths();
}

// --- events ---------------------------------------------------------------------------------

void cuiSheet::onEvent(void* user, const cmcEvent& event)
{
    auto& sheet = *static_cast<cuiSheet*>(user);
    switch (event.code) {
    case cmcEvCode::AskCurrentCell:
        if (sheet.menu_ && event.arg1 == reinterpret_cast<std::intptr_t>(&sheet.menu_->Menu()) &&
            !sheet.cells_.empty()) {
            // The asker copies the cell at once.
            cmcEvents().Answer(
                reinterpret_cast<std::intptr_t>(&sheet.CellAt(sheet.grid_->Col(), sheet.grid_->Row()).cell));
        }
        break;
    case cmcEvCode::RedrawAll:
    case cmcEvCode::RedrawIndex:
    case cmcEvCode::RedrawFromIndex: {
        cmcCellObj cell;
        cell.category = 0;
        cell.logic = 0;
        cell.arg = event.code == cmcEvCode::RedrawAll ? -1 : static_cast<int>(event.arg2);
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        const int scope = event.code == cmcEvCode::RedrawAll     ? 0x20
                          : event.code == cmcEvCode::RedrawIndex ? 0x08
                                                                 : 0x40;
        sheet.RedrawRelated(capsule, scope);
        break;
    }
    case cmcEvCode::CommitEdits:
        sheet.CommitEditor();
        break;
    case cmcEvCode::RefreshSheetTitle:
        sheet.RefreshTitleEvent();
        break;
    case cmcEvCode::AddRows:
        sheet.AddRowsEvent(event.arg1 == 0 ? 1 : static_cast<int>(event.arg1));
        break;
    case cmcEvCode::RemoveRows:
        sheet.RemoveRowsEvent(event.arg1 == 0 ? 1 : static_cast<int>(event.arg1));
        break;
    default:
        break;
    }
}
