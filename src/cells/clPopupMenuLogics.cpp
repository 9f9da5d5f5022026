// The popup menu of a record: the commands the dispatcher runs on the cell owning the menu,
// and the items' display rules (which items are enabled for that cell's record).
#include "base/cmcGTex.h"
#include "base/cmcHelpGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clFamilies.h"
#include "cells/clPopupMenu.h"
#include "cells/ctCategory.h"
#include "cells/datRecordEdit.h"
#include "cells/datRecordKind.h"
#include "cells/indDocument.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace {

constexpr const char* cellHelpMap = "GI_AppItem_CellName_to_HtmlHelpName";
// The fixed topic the help test commands open.
constexpr int testTopic = 54973;

// The edit request for record index of kind, in the range the table allows, with the
// selection of capsule (the rows selected in the owning sheet).
datEditRequest editRequest(CellHost& host, int kind, int index, const cmcCellCapsule& capsule)
{
    indDocument& document = host.Document();
    datEditRequest r;
    r.image = &document.Working();
    r.defaultImage = &document.Default();
    r.kind = kind;
    r.bank = kind == datKindRepeater ? host.CurrentSite() : host.CurrentBank();
    const datRange range = datAllowedRange(document.Working(), kind, r.bank);
    r.lowest = range.lowest;
    r.highest = range.highest;
    r.record = index;
    r.multiSel = capsule.multiSel;
    r.selFirst = capsule.selFirst;
    r.selLast = capsule.selLast;
    r.clipboard = &host.Clipboard();
    return r;
}

// Runs a record edit on the cell's record and hands its answer to the sheet: repaint flags,
// the rows to select, the row the cursor moves to (as a redirect without a key) and the
// status text.
void edit(clRun& run, datEditCommand command)
{
    if (run.kind == 0)
        return;
    cmcCellCapsule& c = run.capsule;
    const datEditResult result = datRunEdit(editRequest(run.host, run.kind, run.Arg(), c), command);
    run.flags |= result.flags;
    if (result.select == datSelect::Set) {
        c.multiSel = true;
        c.selFirst = result.selFirst;
        c.selLast = result.selLast;
    } else if (result.select == datSelect::Clear) {
        c.multiSel = false;
        c.selFirst = 0;
        c.selLast = 0;
    }
    if (result.cursor >= 0)
        c.redirect = {1, c.cell->category, c.cell->logic, result.cursor, 0};
    datShowStatus(result.statusKey);
}

void help(clRun& run, clLogic command)
{
    if (command == clLogic::CL_PMenu_Help_Test04) {
        run.host.OpenHelp(Format("%d.htm", testTopic));
        return;
    }
    const std::optional<std::string> page = clFindHelpPage(run.Cell());
    if (!page)
        return;
    if (command == clLogic::CL_PMenu_Help_Test02)
        run.host.OpenHelpPopup(testTopic);
    else if (command == clLogic::CL_PMenu_Help_Test03)
        run.host.OpenHelp(*page);
    else
        run.host.OpenHelpPopup(clHelpTopicNumber(*page));
}

void copySerialNumber(clRun& run)
{
    if (run.Cell().logic != clIndex(clLogic::CL_CloneInfo_Esn))
        return;
    if (const std::optional<std::string> text = clSerialNumberText(run.host.SerialNumber()))
        run.host.SetClipboardText(*text);
}

// --- display rules of the items: Flag2 disables an item ---

void disableUnless(clRun& run, bool enabled)
{
    if (!enabled)
        run.capsule.cell->marks |= cmcCellObj::Flag2;
}

// The item states for the cell owning the menu (the capsule's source); every record item is
// disabled for a cell that addresses no record.
datPopupStates ownerStates(clRun& run)
{
    const cmcCellCapsule* owner = run.capsule.source;
    if (owner == nullptr || owner->cell == nullptr)
        return {};
    const int kind = ctRecordKind(owner->cell->category);
    if (kind == 0)
        return {};
    return datPopupStatesOf(editRequest(run.host, kind, owner->cell->arg, *owner));
}

void copyItem(clRun& run)
{
    disableUnless(run, ownerStates(run).copy);
}
void pasteItem(clRun& run)
{
    disableUnless(run, ownerStates(run).paste);
}
void carryUpItem(clRun& run)
{
    disableUnless(run, ownerStates(run).carryUp);
}
void carryDownItem(clRun& run)
{
    disableUnless(run, ownerStates(run).carryDown);
}
void clearItem(clRun& run)
{
    disableUnless(run, ownerStates(run).clear);
}
void deleteItem(clRun& run)
{
    disableUnless(run, ownerStates(run).del);
}
void insertItem(clRun& run)
{
    disableUnless(run, ownerStates(run).insert);
}
void noItem(clRun& run)
{
    disableUnless(run, false);
}
// Edit and the help items work on any cell.
void alwaysEnabled(clRun&) {}
void winCopyItem(clRun& run)
{
    const cmcCellCapsule* owner = run.capsule.source;
    disableUnless(run, owner != nullptr && owner->cell != nullptr &&
                           owner->cell->logic == clIndex(clLogic::CL_CloneInfo_Esn));
}

constexpr std::array popupMenuRows{
    clBinding{clLogic::CL_PMenu_NoItem, noItem},
    clBinding{clLogic::CL_PMenu_Edit, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_Copy, copyItem},
    clBinding{clLogic::CL_PMenu_Paste, pasteItem},
    clBinding{clLogic::CL_PMenu_CarryUp, carryUpItem},
    clBinding{clLogic::CL_PMenu_CarryDown, carryDownItem},
    clBinding{clLogic::CL_PMenu_Clear, clearItem},
    clBinding{clLogic::CL_PMenu_Delete, deleteItem},
    clBinding{clLogic::CL_PMenu_Insert, insertItem},
    clBinding{clLogic::CL_PMenu_Help, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_Help_Test01, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_Help_Test02, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_Help_Test03, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_Help_Test04, alwaysEnabled},
    clBinding{clLogic::CL_PMenu_WinCopy, winCopyItem},
};

} // namespace

std::span<const clBinding> clPopupMenuLogics()
{
    return popupMenuRows;
}

bool clRunPopupMenuCommand(clRun& run)
{
    const auto command = static_cast<clLogic>(run.capsule.command);
    switch (command) {
    case clLogic::CL_PMenu_NoItem:
        return true;
    case clLogic::CL_PMenu_Copy:
        edit(run, datEditCommand::Copy);
        return true;
    case clLogic::CL_PMenu_Paste:
        edit(run, datEditCommand::Paste);
        return true;
    case clLogic::CL_PMenu_CarryUp:
        edit(run, datEditCommand::CarryUp);
        return true;
    case clLogic::CL_PMenu_CarryDown:
        edit(run, datEditCommand::CarryDown);
        return true;
    case clLogic::CL_PMenu_Clear:
        edit(run, datEditCommand::Clear);
        return true;
    case clLogic::CL_PMenu_Delete:
        edit(run, datEditCommand::Delete);
        return true;
    case clLogic::CL_PMenu_Insert:
        edit(run, datEditCommand::Insert);
        return true;
    case clLogic::CL_PMenu_Help:
    case clLogic::CL_PMenu_Help_Test01:
    case clLogic::CL_PMenu_Help_Test02:
    case clLogic::CL_PMenu_Help_Test03:
    case clLogic::CL_PMenu_Help_Test04:
        help(run, command);
        return true;
    case clLogic::CL_PMenu_WinCopy:
        copySerialNumber(run);
        return true;
    default:
        return false;
    }
}

std::optional<std::string> clFindHelpPage(const cmcCellObj& cell)
{
    cmcGTex& help = HelpText();
    if (!help.HasKey(cellHelpMap))
        return std::nullopt;
    const std::string_view item = clLogicName(cell.logic);
    if (item.empty())
        return std::nullopt;
    // Entries up to "#"; a map that lacks its end stops at the next key rather than reading on.
    for (int i = 0;; ++i) {
        const std::string entry = help.GetEntry(cellHelpMap, i);
        if (!entry.empty() && entry[0] == '#')
            return std::nullopt;
        const std::size_t tab = entry.find('\t');
        if (tab == std::string::npos || entry.compare(0, tab, item) != 0 || tab != item.size())
            continue;
        std::string page = entry.substr(tab + 1);
        if (page.find(".htm") == std::string::npos)
            page += ".htm";
        return page;
    }
}

int clHelpTopicNumber(std::string_view page)
{
    std::string number;
    for (char ch : page) {
        if (std::isdigit(static_cast<unsigned char>(ch)) || ch == '.' || ch == '-')
            number += ch;
    }
    number = number.substr(0, 9);
    const double value = std::strtod(number.c_str(), nullptr);
    return static_cast<int>(std::lround(value));
}

std::optional<std::string> clSerialNumberText(std::string_view serial)
{
    if (serial.size() != 12)
        return std::nullopt;
    for (char ch : serial) {
        if (!std::isxdigit(static_cast<unsigned char>(ch)))
            return std::nullopt;
    }
    const auto field = [&](std::size_t at, std::size_t length) {
        return std::strtol(std::string(serial.substr(at, length)).c_str(), nullptr, 16);
    };
    return Format("%04d%02d%06ld", static_cast<int>(field(0, 4)), static_cast<int>(field(4, 2)), field(6, 6));
}
