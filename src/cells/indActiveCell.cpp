#include "cells/indActiveCell.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clDispatchTable.h"
#include "cells/clPopupMenu.h"
#include "cells/clRecordArg.h"
#include "cells/clRun.h"
#include "cells/ctCategory.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datVudaAdr.h"
#include "cells/indDocument.h"

#include <algorithm>
#include <cstdlib>

namespace {

int overlayNumber(const char* key)
{
    return std::atoi(MainText().GetText(key).c_str());
}

// A record past the used part of its table: a channel past its bank's channels, a
// repeater past its site's repeaters, an ID-list entry past the list's used count.
bool isBlank(const cmcEeprom& image, int kind, int index)
{
    switch (kind) {
    case datKindChannel: {
        const int bank = datBankOfChannel(image, index);
        const int first = datFirstChannel(image, bank);
        return index < first || index >= first + datChannelCount(image, bank);
    }
    case datKindRepeater: {
        const int site = datSiteOfRepeater(image, index);
        const int first = datFirstRepeater(image, site);
        return index < first || index >= first + datRepeaterCount(image, site);
    }
    case datKindIndividualId:
        return index >= datIndividualIdCount(image);
    case datKindTalkGroup:
        return index >= datTalkGroupCount(image);
    default:
        return false;
    }
}

// Decodes the record; the new row below a full counted table (a channel sheet's row 32)
// is blank and has no record to decode.
bool decodeRecord(datCh& record, int kind, int index, bool blank)
{
    if (blank && (kind == datKindChannel || datIsCountedList(kind)) &&
        (index < 0 || index >= datSlotsOf(kind)))
        return false;
    record.decode(kind, clRecordOfArg(kind, index));
    return true;
}

bool typedCharacter(const cmcCellCapsule& capsule)
{
    return capsule.HasEvent() && capsule.key > 0 && capsule.key <= 127;
}

// The sheet moves to target in the same row and sends the key there again.
void redirectTo(clRun& run, clLogic target)
{
    cmcCellCapsule& c = run.capsule;
    c.redirect = {1, c.cell->category, clIndex(target), c.cell->arg, c.key};
}

bool isLogic(int logic, clLogic named)
{
    return logic == clIndex(named);
}

// Cells of a channel row that only a conventional bank uses.
bool conventionalOnly(int logic)
{
    for (clLogic l :
         {clLogic::CL_Mch_FreqR, clLogic::CL_Mch_FreqT, clLogic::CL_Mch_TxInh, clLogic::CL_Mch_Nar,
          clLogic::CL_Mch_CTone_R, clLogic::CL_Mch_CTone_T, clLogic::CL_Mch_Lockout}) {
        if (isLogic(logic, l))
            return true;
    }
    return false;
}

// The group cells, which only a trunked bank uses.
bool trunkedOnly(int logic)
{
    return logic >= clIndex(clLogic::CL_Grp_RxId) && logic <= clIndex(clLogic::CL_Grp_BlockIdEnd);
}

// A channel row: a blank row shows empty cells (its number cell shows the new-channel
// title itself) and sends a typed character to the row's first cell, the frequency in a
// conventional bank, the group in a trunked one (second bank flag set); so do the cells
// that the bank's type does not use, which are drawn grey. True when the run is handled.
bool channelRow(clRun& run, bool& grey)
{
    const int logic = run.Cell().logic;
    const bool trunked = (run.record.status & datStBank2) != 0;
    const clLogic first = trunked ? clLogic::CL_Grp_RxId : clLogic::CL_Mch_FreqR;
    const bool applies = trunked ? !conventionalOnly(logic) : !trunkedOnly(logic);
    if (run.blank) {
        if (!run.HasEvent())
            return !isLogic(logic, clLogic::CL_Mch_No);
        if (isLogic(logic, first))
            return false;
        if (typedCharacter(run.capsule))
            redirectTo(run, first);
        return true;
    }
    grey = !applies;
    if (!applies && typedCharacter(run.capsule)) {
        redirectTo(run, first);
        return true;
    }
    return false;
}

// An ID-list row past the used count: empty cells; a typed character goes to the decimal
// ID cell, which adds the entry.
bool idListRow(clRun& run, clLogic first)
{
    if (!run.blank)
        return false;
    const bool isFirst = isLogic(run.Cell().logic, first);
    if (run.HasEvent() && isFirst)
        return false;
    if (!isFirst && typedCharacter(run.capsule))
        redirectTo(run, first);
    return true;
}

// A blank repeater row: empty cells but the number cell (which shows the new-repeater
// title); a typed character goes to the receive frequency, which adds the repeater. The
// site's text and area bit belong to the site, not to the row.
bool repeaterRow(clRun& run)
{
    const int logic = run.Cell().logic;
    if (!run.blank || isLogic(logic, clLogic::CL_Rpt_Text) || isLogic(logic, clLogic::CL_Rpt_AreaBit))
        return false;
    if (!run.HasEvent())
        return !isLogic(logic, clLogic::CL_Rpt_No);
    if (isLogic(logic, clLogic::CL_Rpt_FreqR))
        return false;
    if (typedCharacter(run.capsule))
        redirectTo(run, clLogic::CL_Rpt_FreqR);
    return true;
}

} // namespace

int indActiveCell::run(cmcCellCapsule& capsule, bool notify)
{
    if (capsule.cell == nullptr)
        return cmcRunResult::Done;
    cmcCellObj& cell = *capsule.cell;
    const bool event = capsule.key != 0 || capsule.op != cmcCellCapsule::OpKeyOrDraw || capsule.command != 0;

    // Work records of this run; the record is written back by the logic when it changed.
    const int kind = ctRecordKind(cell.category);
    cmcEeprom& image = host_.Document().Working();
    datCh record(image);
    datVudaAdr address;
    address.Read(image);
    clRun run{capsule, host_, record, address};
    run.kind = kind;
    run.flags = cmcRepaint::SameCell;
    run.unitIdMax = overlayNumber("GI_AppUnitIdMax");
    run.unitIdMin = overlayNumber("GI_AppUnitIdMin");

    capsule.output.clear();
    capsule.state &= static_cast<std::uint8_t>(~(cmcCellCapsule::Warning | cmcCellCapsule::Error));
    bool decoded = false;
    if (kind != 0) {
        run.blank = isBlank(image, kind, cell.arg);
        decoded = decodeRecord(record, kind, cell.arg, run.blank);
    }

    capsule.redirect = {0, cell.category, cell.logic, cell.arg, 0};
    if (capsule.key == cmcKey::DoubleClick)
        capsule.key = cmcKey::Enter;

    bool handled = false;
    if (capsule.command == clIndex(clLogic::CL_PMenu_Edit))
        capsule.key = cmcKey::Enter;
    else if (capsule.command != 0)
        handled = clRunPopupMenuCommand(run);

    bool grey = false;
    if (!handled && capsule.key <= 127) {
        switch (static_cast<ctCategory>(cell.category)) {
        case ctCategory::CT_PopupMenu:
            // The items of a record's popup menu work on the record of the cell owning it.
            if (capsule.source != nullptr && capsule.source->cell != nullptr) {
                const cmcCellObj& owner = *capsule.source->cell;
                run.kind = ctRecordKind(owner.category);
                if (run.kind != 0) {
                    run.blank = isBlank(image, run.kind, owner.arg);
                    decoded = decodeRecord(record, run.kind, owner.arg, run.blank) || decoded;
                }
            }
            break;
        case ctCategory::CT_Mch:
            handled = channelRow(run, grey);
            break;
        case ctCategory::CT_DIG_Inv:
            handled = idListRow(run, clLogic::CL_Digi_Ind_Id_Dec);
            break;
        case ctCategory::CT_DIG_Tg:
            handled = idListRow(run, clLogic::CL_Digi_Grp_Id_Dec);
            break;
        case ctCategory::CT_Rpt:
            handled = repeaterRow(run);
            break;
        default:
            break;
        }
    }

    if (!handled && cell.logic != clNoLogic) {
        if (const clHandler handler = clHandlerOf(cell.logic))
            handler(run);
        else
            capsule.output = Format("%d *Yet*", cell.logic);
    }
    if (grey)
        capsule.fontColour = clSilverColour;

    if (decoded)
        run.flags |= cmcRepaint::SameRecord;
    if (notify && run.flags != 0 && capsule.notify)
        capsule.notify(capsule, run.flags);
    if (event)
        host_.AfterEventRun();
    return run.result;
}

int indActiveCell::activate(cmcCellObj& cell, int key)
{
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.key = key;
    return run(capsule);
}

std::string indActiveCell::textOf(cmcCellObj* cell, int key)
{
    if (cell == nullptr)
        return {};
    cmcCellCapsule capsule;
    capsule.cell = cell;
    capsule.key = key;
    run(capsule);
    return capsule.output;
}

int indActiveCell::evaluate(int category, int logic, int arg)
{
    cmcCellObj cell;
    cell.category = category;
    cell.logic = logic;
    cell.arg = arg;
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.record = datBankOfChannel(host_.Document().Working(), arg);
    run(capsule);
    return capsule.state;
}

bool indActiveCell::errorOf(int category, int logic, int arg)
{
    return (evaluate(category, logic, arg) & cmcCellCapsule::Error) != 0;
}

bool indActiveCell::warningOf(int category, int logic, int arg)
{
    return (evaluate(category, logic, arg) & cmcCellCapsule::Warning) != 0;
}

int indActiveCell::recordKindOf(int category)
{
    return ctRecordKind(category);
}

std::string_view indActiveCell::logicName(int index)
{
    return clLogicName(index);
}

indActiveCell::RangeInfo indActiveCell::bankInfo() const
{
    const int bank = host_.CurrentBank();
    if (bank < 0 || bank >= datBanks)
        return {};
    const cmcEeprom& image = host_.Document().Working();
    const int first = datFirstChannel(image, bank);
    const int count = datChannelCount(image, bank);
    return {bank, first, std::max(first + count - 1, 0), count};
}

indActiveCell::RangeInfo indActiveCell::siteInfo() const
{
    const int site = host_.CurrentSite();
    if (site < 0 || site >= datSites)
        return {};
    const cmcEeprom& image = host_.Document().Working();
    const int first = datFirstRepeater(image, site);
    const int count = datRepeaterCount(image, site);
    return {site, first, std::max(first + count - 1, 0), count};
}

int indActiveCell::maxFitting(int category, int n, int bank) const
{
    const int kind = ctRecordKind(category);
    const cmcEeprom& image = host_.Document().Working();
    for (int count = n; count >= 0; --count) {
        if (fits(image, kind, count, bank))
            return count;
    }
    return -1;
}
