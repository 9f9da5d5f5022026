// cuiSheet: DoCellAction (the road of every edit), the repaint of related cells, the
// in-place editor and the popup menu of the current cell.
#include "base/cmcEvMan.h"
#include "base/cmcTimerService.h"
#include "cells/CellHost.h"
#include "cells/ctCategory.h"
#include "ui/cuiCellEditor.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiGrid.h"
#include "ui/cuiSheet.h"
#include "ui/cuiSheetMenu.h"

#include <QFontMetrics>
#include <QMenu>

#include <algorithm>
#include <cstdlib>

namespace {
// The logic code of the main menu's Edit item, which mirrors the sheet's popup menu.
constexpr std::intptr_t editMenuLogic = 25;
// The first pause of a repeating action and how much shorter each next one is.
constexpr int repeatDelayMs = 30;
constexpr int repeatDelayStepMs = 6;
// A logic that keeps asking for repeats is stopped after this many rounds.
constexpr int maxRepeats = 1000;
} // namespace

int cuiSheet::callHandler(cmcCellCapsule& capsule, int mode)
{
    return handler_ ? handler_(capsule, mode) : 0;
}

void cuiSheet::prepareCapsule(cmcCellCapsule& capsule, int col, int row)
{
    capsule.Reset();
    QWidget* owner = grid_;
    capsule.owner = owner;
    capsule.eventSource = owner;
    capsule.cell = &CellAt(col, row).cell;
    QRect rect = grid_->CellRect(col, row);
    if (rect.isEmpty())
        rect = QRect(0, 0, grid_->ColWidth(col), grid_->RowHeight(row));
    rect.translate(grid_->viewport()->pos());
    capsule.rect = {rect.left(), rect.top(), rect.width(), rect.height()};
    capsule.images = const_cast<cuiImageList*>(images_);
    capsule.source = source_.get();
    capsule.notify = [this](cmcCellCapsule& c, int flags) { RedrawRelated(c, flags); };
    capsule.notifyAux = [this](cmcCellCapsule& c, int flag) { reopenEditor(c, flag); };
    const bool current = col == grid_->Col() && row == grid_->Row();
    capsule.state = static_cast<std::uint8_t>((current ? cmcCellCapsule::Current : 0) |
                                              (Printing() ? cmcCellCapsule::Printing : 0));
    capsule.sheet = this;
    if (blockActive_ && anchor_.row >= 0) {
        const int fixed = grid_->FixedCols();
        const int a = CellAt(fixed, anchor_.row).cell.arg;
        const int b = CellAt(fixed, grid_->Row()).cell.arg;
        capsule.multiSel = true;
        capsule.selFirst = std::min(a, b);
        capsule.selLast = std::max(a, b);
    }
}

void cuiSheet::DoCellAction(int col, int row, int key, int command, const std::string* text)
{
    if (cells_.empty())
        return;
    int delay = repeatDelayMs;
    cmcCellCapsule capsule;
    prepareCapsule(capsule, col, row);
    capsule.key = key;
    capsule.command = command;
    if (text != nullptr) {
        capsule.op = cmcCellCapsule::OpSetInput;
        capsule.key = 0;
        capsule.input = *text;
    }

    if (popupMode_) {
        if (key == '\r' || key == 256) {
            // The choice goes back to the cell that opened the popup; the popup window is
            // hidden first, so a popup the result opens in turn is the only one shown.
            cmcCellCapsule choice = source_ ? *source_ : cmcCellCapsule{};
            choice.source = &capsule;
            choice.op = cmcCellCapsule::OpPopupChoice;
            capsule.key = 0;
            window()->hide();
            callHandler(choice, ModeAction);
        }
    } else {
        for (int round = 0; round < maxRepeats; ++round) {
            const int answer = callHandler(capsule, ModeAction);
            if (capsule.redirect[0] != 0) {
                if (JumpToCell(capsule.redirect[1], capsule.redirect[2], capsule.redirect[3])) {
                    col = grid_->Col();
                    row = grid_->Row();
                }
            }
            if (answer == 1) {
                ClearSelection();
            } else if (answer == 2) {
                openEditor(col, row);
                if (editor_ != nullptr && editor_->isVisible()) {
                    editor_->setText(QString::fromStdString(capsule.output));
                    if (capsule.selLength > 0)
                        editor_->setSelection(capsule.selStart, capsule.selLength);
                    else
                        editor_->setCursorPosition(capsule.selStart);
                }
            }
            const int resend = capsule.redirect[4];
            if (resend == 0)
                break;
            if (delay > 0) {
                grid_->viewport()->repaint();
                cmcTimers().Pass(static_cast<std::uint32_t>(delay));
                delay = std::max(delay - repeatDelayStepMs, 0);
            }
            const bool keepMultiSel = capsule.multiSel;
            const int selFirst = capsule.selFirst;
            const int selLast = capsule.selLast;
            prepareCapsule(capsule, col, row);
            if (command != 0 && keepMultiSel) {
                capsule.multiSel = true;
                capsule.selFirst = selFirst;
                capsule.selLast = selLast;
            }
            capsule.key = resend;
            capsule.command = command;
        }
    }

    // A popup-menu command that selected rows (copy, paste, carry) leaves them selected.
    if (multiSelect_ != MultiSelect::None && command != 0 && capsule.multiSel && !popupMode_) {
        selectBlockByArgs(col, row, capsule);
    } else if (grid_->Col() >= 0) {
        ClearSelection();
        selectionChanged(grid_->Col(), grid_->Row());
    }
    cmcEvents().Send(cmcEvCode::RefreshMenus);
}

void cuiSheet::RedrawRelated(const cmcCellCapsule& capsule, int scope)
{
    if (capsule.cell == nullptr || cells_.empty() || scope == 0)
        return;
    const cmcCellObj& g = *capsule.cell;
    const int rowEnd = std::min(grid_->TopRow() + grid_->VisibleRowCount() + 1, rows_);
    const int colEnd = std::min(grid_->LeftCol() + grid_->VisibleColCount() + 1, cols_);
    const bool gHasCategory = g.category != ctNoCategory;
    for (int r = 0; r < rowEnd; ++r) {
        for (int c = 0; c < colEnd; ++c) {
            const cmcCellObj& cell = CellAt(c, r).cell;
            const bool argRule = gHasCategory && cell.HasLogic();
            const bool hit = ((scope & 0x02) != 0 && cell.category == g.category) ||
                             ((scope & 0x04) != 0 && cell.logic == g.logic) ||
                             ((scope & 0x08) != 0 && argRule && cell.arg == g.arg) ||
                             ((scope & 0x80) != 0 && argRule && cell.arg <= g.arg) ||
                             ((scope & 0x40) != 0 && argRule && cell.arg >= g.arg) ||
                             ((scope & 0x01) != 0 && cell.logic == g.logic && cell.arg == g.arg) ||
                             ((scope & 0x10) != 0 && std::abs(cell.arg - g.arg) <= 1 &&
                              cell.category == g.category && cell.HasLogic()) ||
                             ((scope & 0x20) != 0 && cell.HasLogic());
            if (hit)
                grid_->InvalidateCell(c, r);
        }
    }
}

// --- the in-place editor -------------------------------------------------------------------

bool cuiSheet::EditorShown() const
{
    return editor_ != nullptr && editor_->isVisible();
}

void cuiSheet::openEditor(int col, int row)
{
    ClearSelection();
    PlaceAt(col, row);
    if (editor_ == nullptr)
        editor_ = new cuiCellEditor(*this, grid_->viewport());
    const cmcCellObj& cell = CellAt(col, row).cell;
    const cmcCellFont* fontSpec =
        cell.EffectiveFont() != nullptr ? cell.EffectiveFont() : basicCell_.EffectiveFont();
    const QFont font = cuiCellStyle::Font(fontSpec);
    editor_->setFont(font);
    QRect rect = grid_->CellRect(col, row);
    if (rect.isEmpty()) {
        grid_->ScrollIntoView(col, row);
        rect = grid_->CellRect(col, row);
    }
    const int width = rect.width();
    const int height = rect.height() - 1;
    if (width < 1 || height <= 0)
        return;
    int top = rect.top();
    int editorHeight = height;
    const int textHeight = QFontMetrics(font).height();
    if (textHeight < height) {
        editorHeight = textHeight;
        if (cell.VerticalAlignment() == 1)
            top = rect.top() + (height - textHeight) / 2;
        else if (cell.VerticalAlignment() == 2)
            top = rect.top() + height - textHeight - 1;
    }
    editor_->setGeometry(rect.left(), top, width, editorHeight);
    editor_->setText(QString());
    editor_->show();
    if (editor_->focusPolicy() != Qt::NoFocus)
        editor_->setFocus(Qt::OtherFocusReason);
    edited_ = {col, row};
    grid_->InvalidateCell(col, row);
}

void cuiSheet::CommitEditor()
{
    if (!EditorShown() || editorCommitting_)
        return;
    editorCommitting_ = true;
    const std::string text = editor_->text().toStdString();
    if (editor_->hasFocus())
        grid_->setFocus(Qt::OtherFocusReason);
    editor_->hide();
    grid_->InvalidateCell(edited_.col, edited_.row);
    DoCellAction(edited_.col, edited_.row, 0, 0, &text);
    editorCommitting_ = false;
}

void cuiSheet::closeEditor(bool giveFocusBack)
{
    if (!EditorShown())
        return;
    if (giveFocusBack) {
        // Giving the focus back commits, as the focus loss would.
        CommitEditor();
        if (grid_->isEnabled())
            grid_->setFocus(Qt::OtherFocusReason);
        return;
    }
    editorCancelling_ = true;
    editor_->hide();
    editorCancelling_ = false;
}

void cuiSheet::reopenEditor(const cmcCellCapsule& capsule, int flag)
{
    if (flag != 0 || capsule.cell != &CellAt(grid_->Col(), grid_->Row()).cell)
        return;
    openEditor(grid_->Col(), grid_->Row());
    if (EditorShown()) {
        editor_->setText(QString::fromStdString(capsule.output));
        if (capsule.selLength > 0)
            editor_->setSelection(capsule.selStart, capsule.selLength);
        else
            editor_->setCursorPosition(capsule.selStart);
    }
}

bool cuiSheet::EditorKey(QKeyEvent& event)
{
    return GridKeyPress(event);
}

// --- the popup menu ------------------------------------------------------------------------

QMenu* cuiSheet::PopupMenu() const
{
    return menu_ ? &menu_->Menu() : nullptr;
}

QAction* cuiSheet::PopupMenuItem(int logic) const
{
    return menu_ ? menu_->FindByLogic(logic) : nullptr;
}

void cuiSheet::refreshPopupMenu(int col, int row, bool forced)
{
    if (Printing() || grid_ == nullptr || !grid_->hasFocus() || cells_.empty())
        return;
    if (!forced && menuCell_.col == col && menuCell_.row == row)
        return;
    menuCell_ = {col, row};
    const std::string name = CellAt(col, row).cell.PopupMenuName();
    if ((!name.empty() && name != menuName_) || forced) {
        destroyPopupMenu();
        if (!name.empty()) {
            menu_ = std::make_unique<cuiSheetMenu>(grid_, host_, overlay_, name,
                                                   [this](int logic) { runMenuItem(logic); });
            menu_->Build();
            menuName_ = name;
            cmcEvents().Send(cmcEvCode::BuildSubItems, reinterpret_cast<std::intptr_t>(&menu_->Menu()),
                             editMenuLogic, name);
        }
    }
    cmcEvents().Send(cmcEvCode::RefreshMenus);
}

void cuiSheet::destroyPopupMenu()
{
    if (menu_) {
        // An item of this menu may be running: the menu goes once the event loop is back.
        QMenu* menu = &menu_->Menu();
        menu->hide();
        std::unique_ptr<cuiSheetMenu> doomed = std::move(menu_);
        struct Holder : QObject {
            std::unique_ptr<cuiSheetMenu> menu;
        };
        auto* holder = new Holder;
        holder->menu = std::move(doomed);
        holder->deleteLater();
    }
    menuName_.clear();
    menuCell_ = {-1, -1};
    cmcEvents().Send(cmcEvCode::DeleteSubItems, 0, editMenuLogic);
}

void cuiSheet::runMenuItem(int logic)
{
    if (cells_.empty())
        return;
    DoCellAction(grid_->Col(), grid_->Row(), 0, logic);
}

void cuiSheet::OpenPopupMenu(const QPoint& globalPos)
{
    if (cells_.empty() || Printing())
        return;
    if (!grid_->hasFocus() && grid_->isEnabled())
        grid_->setFocus(Qt::OtherFocusReason);
    refreshPopupMenu(grid_->Col(), grid_->Row(), menu_ == nullptr);
    if (!menu_)
        return;
    cmcCellCapsule source;
    prepareCapsule(source, grid_->Col(), grid_->Row());
    menu_->Refresh(source);
    menu_->Menu().popup(globalPos);
}
