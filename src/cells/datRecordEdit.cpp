#include "cells/datRecordEdit.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datClipCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordOps.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <optional>

namespace {

cmcEvMan& eventsOf(cmcEvMan* events)
{
    return events != nullptr ? *events : cmcEvents();
}

void refuse(const char* key)
{
    cmcMessageBox(MainText().GetMultiLineText(key), MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok,
                  cmcMbIcon::Error);
}

bool confirmed(const char* key)
{
    return cmcMessageBox(MainText().GetMultiLineText(key), MainText().GetText("GI_Sys_AppTitle"),
                         cmcMbButtons::OkCancel, cmcMbIcon::Exclamation) == cmcMbResult::Ok;
}

bool hasUsedCount(int kind)
{
    return kind == datKindChannel || datIsCountedList(kind);
}

// One past the last used record of a counted table.
int usedEnd(const cmcEeprom& image, int kind, int bankOrSite)
{
    return datFirstUsed(image, kind, bankOrSite) + datUsedCount(image, kind, bankOrSite);
}

// The records an edit may touch: the allowed range, and of a counted table only the rows
// in use (the rows past the used count are blank).
datRange workRange(const datEditRequest& r)
{
    datRange range{r.lowest, r.highest};
    if (hasUsedCount(r.kind)) {
        range.lowest = std::max(range.lowest, datFirstUsed(*r.image, r.kind, r.bank));
        range.highest = std::min(range.highest, usedEnd(*r.image, r.kind, r.bank) - 1);
    }
    range.lowest = std::max(range.lowest, 0);
    range.highest = std::min(range.highest, datSlotsOf(r.kind) - 1);
    return range;
}

bool contains(const datRange& range, int i)
{
    return i >= range.lowest && i <= range.highest;
}

struct Block {
    int first = 0;
    int last = -1;
    [[nodiscard]] int Count() const { return last - first + 1; }
};

// The selected rows, or the cell's record, clipped to range; none when the cell's record
// lies outside it.
std::optional<Block> operated(const datEditRequest& r, const datRange& range)
{
    if (!contains(range, r.record))
        return std::nullopt;
    if (!r.multiSel)
        return Block{r.record, r.record};
    const int first = std::max(std::min(r.selFirst, r.selLast), range.lowest);
    const int last = std::min(std::max(r.selFirst, r.selLast), range.highest);
    if (r.record < first || r.record > last)
        return Block{r.record, r.record};
    return Block{first, last};
}

bool valid(const datEditRequest& r)
{
    return r.image != nullptr && r.defaultImage != nullptr && datIsRecordKind(r.kind);
}

bool anyInUse(const datEditRequest& r, int first, int last)
{
    for (int i = first; i <= last; ++i) {
        if (datRecordInUse(*r.image, *r.defaultImage, r.kind, i))
            return true;
    }
    return false;
}

int repaintFlags(int count)
{
    return count == 1 ? datFlagRecord : datFlagAll;
}

cmcEvCode insertEvent(int kind)
{
    switch (kind) {
    case datKindChannel:
        return cmcEvCode::InsertChannel;
    case datKindRepeater:
        return cmcEvCode::InsertRepeater;
    case datKindIndividualId:
        return cmcEvCode::InsertIndividualId;
    default:
        return cmcEvCode::InsertTalkGroup;
    }
}

cmcEvCode deleteEvent(int kind)
{
    switch (kind) {
    case datKindChannel:
        return cmcEvCode::DeleteChannel;
    case datKindRepeater:
        return cmcEvCode::DeleteRepeater;
    case datKindIndividualId:
        return cmcEvCode::DeleteIndividualId;
    default:
        return cmcEvCode::DeleteTalkGroup;
    }
}

// Room for one more record of the request's kind.
bool roomForOne(const datEditRequest& r)
{
    const cmcEeprom& image = *r.image;
    switch (r.kind) {
    case datKindChannel:
        if (datTotalChannels(image) >= datMaxChannels)
            return false;
        break;
    case datKindRepeater:
        if (datTotalRepeaters(image) >= datMaxRepeaters || datRepeaterCount(image, r.bank) >= datMaxRepeaters)
            return false;
        break;
    case datKindIndividualId:
    case datKindTalkGroup:
        if (datUsedCount(image, r.kind, 0) >= datMaxListEntries)
            return false;
        break;
    default:
        break;
    }
    return fits(image, r.kind, 1, r.bank);
}

datEditResult copyEdit(const datEditRequest& r)
{
    datEditResult result;
    const auto block = operated(r, workRange(r));
    if (!block || r.clipboard == nullptr)
        return result;
    r.clipboard->Copy(*r.image, r.kind, block->first, block->Count());
    result.done = true;
    result.select = datSelect::Set;
    result.selFirst = block->first;
    result.selLast = block->last;
    result.statusKey = datStatusCopy;
    return result;
}

datEditResult pasteEdit(const datEditRequest& r)
{
    datEditResult result;
    const datRange range = workRange(r);
    if (!contains(range, r.record) || r.clipboard == nullptr || !r.clipboard->Has(r.kind))
        return result;
    const int n = std::min(r.clipboard->Count(), range.highest - r.record + 1);
    if (anyInUse(r, r.record, r.record + n - 1) && !confirmed("GI_AppMess_Conv_Overwrite"))
        return result;
    r.clipboard->SetWholeMarks(true);
    const int written = r.clipboard->Paste(*r.image, r.kind, r.record, n);
    result.done = written > 0;
    result.flags = repaintFlags(written);
    result.select = datSelect::Set;
    result.selFirst = r.record;
    result.selLast = r.record + written - 1;
    result.statusKey = datStatusPaste;
    return result;
}

datEditResult carryEdit(const datEditRequest& r, int direction)
{
    datEditResult result;
    const datRange range = workRange(r);
    const auto block = operated(r, range);
    if (!block)
        return result;
    const int other = direction < 0 ? block->first - 1 : block->last + 1;
    if (!contains(range, other) || !datCarryBlock(*r.image, r.kind, block->first, block->last, direction))
        return result;
    result.done = true;
    result.flags = datFlagRecord | datFlagAll;
    result.select = datSelect::Set;
    result.selFirst = block->first + direction;
    result.selLast = block->last + direction;
    result.cursor = r.record + direction;
    return result;
}

datEditResult clearEdit(const datEditRequest& r)
{
    datEditResult result;
    if (!datKindOf(r.kind).clearDelete)
        return result;
    const auto block = operated(r, workRange(r));
    if (!block || !confirmed("GI_AppMess_Conv_Clear"))
        return result;
    datClipCh blanks(true);
    blanks.Copy(*r.defaultImage, r.kind, block->first, block->Count());
    const int written = blanks.Paste(*r.image, r.kind, block->first, block->Count());
    result.done = written > 0;
    result.flags = repaintFlags(written);
    result.statusKey = datStatusClear;
    return result;
}

// Channels: a deleted channel that held the third channel reference would leave the
// reference naming whatever channel moves into its slot; it is put out of force instead.
bool holdsThirdReference(const cmcEeprom& image, int first, int last)
{
    const int ref = GetBE16(image.Bytes() + datThirdRefPlace);
    return ref >= first && ref <= last;
}

void releaseThirdReference(cmcEeprom& image)
{
    SetBE16(image.Bytes() + datThirdRefPlace, 0);
    image.SetByte(datThirdInForcePlace,
                  static_cast<std::uint8_t>(image.GetByte(datThirdInForcePlace) & ~0x20));
}

datEditResult deleteEdit(const datEditRequest& r)
{
    datEditResult result;
    if (!datKindOf(r.kind).clearDelete)
        return result;
    const auto block = operated(r, workRange(r));
    if (!block)
        return result;
    const int n = block->Count();
    if (anyInUse(r, block->first, block->last) && !confirmed("GI_AppMess_Conv_Delete"))
        return result;
    cmcEeprom& image = *r.image;
    switch (r.kind) {
    case datKindIndividualId:
    case datKindTalkGroup:
        // A list keeps at least one entry.
        if (n >= datUsedCount(image, r.kind, 0)) {
            refuse("GI_AppMess_ListErr_NoList");
            return result;
        }
        for (int k = 0; k < n; ++k)
            eventsOf(r.events).Send(deleteEvent(r.kind), 0, block->first);
        break;
    case datKindRepeater:
        for (int i = block->first; i <= block->last; ++i) {
            datCh rpt(image);
            rpt.decode(r.kind, i);
            rpt.status |= datStDelete;
            rpt.encode(r.kind, i);
        }
        for (int k = 0; k < n; ++k)
            eventsOf(r.events).Send(deleteEvent(r.kind), r.bank, block->first);
        break;
    case datKindChannel: {
        for (int i = block->first; i <= block->last; ++i) {
            datCh ch(image);
            ch.decode(r.kind, i);
            if ((ch.status & (datStPrioA | datStPrioB)) != 0 && !datSwitches().priority) {
                refuse("GI_AppMess_ChErr_DelPrio");
                return result;
            }
        }
        const bool third = holdsThirdReference(image, block->first, block->last);
        for (int k = 0; k < n; ++k)
            eventsOf(r.events).Send(deleteEvent(r.kind), r.bank, block->first);
        if (third)
            releaseThirdReference(image);
        break;
    }
    default:
        for (int k = 0; k < n; ++k)
            removeRecord(image, *r.defaultImage, r.kind, datSlotsOf(r.kind), block->first);
        Static2Dynamic(image, false);
        break;
    }
    result.done = true;
    result.flags = datFlagRecord | datFlagAll;
    result.select = datSelect::Clear;
    result.cursor = block->first;
    result.statusKey = datStatusDelete;
    return result;
}

datEditResult insertEdit(const datEditRequest& r)
{
    datEditResult result;
    if (!datKindOf(r.kind).clearDelete)
        return result;
    // Besides the used rows, the first blank row of a counted table takes an insertion (it
    // lies just past a bank's allowed range).
    datRange range = workRange(r);
    if (hasUsedCount(r.kind)) {
        const int end = usedEnd(*r.image, r.kind, r.bank);
        if (end >= std::max(r.lowest, 0) && end <= std::min(r.highest + 1, datSlotsOf(r.kind) - 1)) {
            range.lowest = std::min(range.lowest, end);
            range.highest = end;
        }
    }
    const auto block = operated(r, range);
    if (!block)
        return result;
    cmcEeprom& image = *r.image;
    const int slots = datSlotsOf(r.kind);
    int inserted = 0;
    for (int k = 0; k < block->Count(); ++k) {
        if (!roomForOne(r)) {
            refuse("GI_AppMess_ChErr_Overflow");
            break;
        }
        // The channel in the last slot is pushed out of the table.
        if (r.kind == datKindChannel && datRecordInUse(image, *r.defaultImage, r.kind, slots - 1) &&
            !confirmed("GI_AppMess_Conv_Overflow")) {
            refuse("GI_AppMess_ChErr_Overflow");
            break;
        }
        if (hasUsedCount(r.kind)) {
            eventsOf(r.events).Send(insertEvent(r.kind), r.bank, block->first);
        } else {
            insertRecord(image, *r.defaultImage, r.kind, slots, block->first);
            Static2Dynamic(image, false);
        }
        ++inserted;
    }
    if (inserted == 0)
        return result;
    result.done = true;
    result.flags = datFlagRecord | datFlagAll;
    result.select = datSelect::Set;
    result.selFirst = block->first;
    result.selLast = block->first + inserted - 1;
    if (inserted == block->Count())
        result.statusKey = datStatusInsert;
    return result;
}

} // namespace

datEditResult datEditCopy(const datEditRequest& request)
{
    return valid(request) ? copyEdit(request) : datEditResult{};
}

datEditResult datEditPaste(const datEditRequest& request)
{
    return valid(request) ? pasteEdit(request) : datEditResult{};
}

datEditResult datEditCarryUp(const datEditRequest& request)
{
    return valid(request) ? carryEdit(request, -1) : datEditResult{};
}

datEditResult datEditCarryDown(const datEditRequest& request)
{
    return valid(request) ? carryEdit(request, 1) : datEditResult{};
}

datEditResult datEditClear(const datEditRequest& request)
{
    return valid(request) ? clearEdit(request) : datEditResult{};
}

datEditResult datEditDelete(const datEditRequest& request)
{
    return valid(request) ? deleteEdit(request) : datEditResult{};
}

datEditResult datEditInsert(const datEditRequest& request)
{
    return valid(request) ? insertEdit(request) : datEditResult{};
}

datEditResult datRunEdit(const datEditRequest& request, datEditCommand command)
{
    switch (command) {
    case datEditCommand::Copy:
        return datEditCopy(request);
    case datEditCommand::Paste:
        return datEditPaste(request);
    case datEditCommand::CarryUp:
        return datEditCarryUp(request);
    case datEditCommand::CarryDown:
        return datEditCarryDown(request);
    case datEditCommand::Clear:
        return datEditClear(request);
    case datEditCommand::Delete:
        return datEditDelete(request);
    case datEditCommand::Insert:
        return datEditInsert(request);
    }
    return {};
}

datPopupStates datPopupStatesOf(const datEditRequest& r)
{
    datPopupStates states;
    if (!valid(r))
        return states;
    const datRecordKind& kind = datKindOf(r.kind);
    const int i = r.record;
    bool blank = false;
    int lastUsed = kind.highest;
    if (hasUsedCount(r.kind)) {
        const int first = datFirstUsed(*r.image, r.kind, r.bank);
        lastUsed = usedEnd(*r.image, r.kind, r.bank) - 1;
        blank = i < first || i > lastUsed;
    }
    const bool fixedRow = ((r.kind == datKindRxCode || r.kind == datKindTwoTone) && i == 0) ||
                          (r.kind == datKindMskStatus && i == 23);
    const bool inRange = contains(datRange{r.lowest, r.highest}, i);
    const bool record = !blank && !fixedRow && inRange;
    states.copy = record;
    states.clear = record && kind.clearDelete;
    states.del = record && kind.clearDelete;
    states.paste = record && r.clipboard != nullptr && r.clipboard->Has(r.kind);
    states.carryUp = record && i > kind.lowest && i <= kind.highest && i > r.lowest;
    states.carryDown = record && i < kind.highest && i >= kind.lowest && i < lastUsed && i < r.highest;
    const bool firstBlankRow = hasUsedCount(r.kind) && i == lastUsed + 1 && i <= kind.highest &&
                               i >= datFirstUsed(*r.image, r.kind, r.bank);
    states.insert = kind.clearDelete && !fixedRow && (record || firstBlankRow);
    return states;
}

void datShowStatus(const std::string& key, cmcEvMan* events)
{
    if (key.empty())
        return;
    eventsOf(events).Send(cmcEvCode::StatusText, datColourWindowText, datColourButtonFace,
                          MainText().GetText(key));
}

datRange datAllowedRange(const cmcEeprom& image, int kind, int bankOrSite)
{
    if (kind == datKindChannel) {
        const int first = datFirstChannel(image, bankOrSite);
        return {first, first + datChannelCount(image, bankOrSite) - 1};
    }
    const datRecordKind& k = datKindOf(kind);
    return {k.lowest, k.highest};
}

int datRemovableChannels(const cmcEeprom& image, int bank)
{
    const int first = datFirstChannel(image, bank);
    const int count = datChannelCount(image, bank);
    const int third = GetBE16(image.Bytes() + datThirdRefPlace);
    int removable = 0;
    for (int slot = first + count - 1; slot >= first; --slot) {
        datCh ch(image);
        ch.decode(datKindChannel, slot);
        if (ch.inUse || (ch.status & (datStPrioA | datStPrioB)) != 0 || slot == third)
            break;
        ++removable;
    }
    return removable;
}

int datAddableChannels(const cmcEeprom& image, int bank)
{
    for (int n = datMaxChannels - datTotalChannels(image); n > 0; --n) {
        if (fits(image, datKindChannel, n, bank))
            return n;
    }
    return 0;
}

datEditResult datChangeChannelCount(cmcEeprom& image, int bank, int count, cmcEvMan* events)
{
    datEditResult result;
    if (bank < 0 || bank >= datBanks)
        return result;
    const int old = datChannelCount(image, bank);
    const int first = datFirstChannel(image, bank);
    int now = old;
    if (count > old) {
        const int addable = datAddableChannels(image, bank);
        if (count - old > addable)
            refuse("GI_AppMess_ChErr_Overflow");
        for (int k = 0; k < std::min(count - old, addable); ++k) {
            eventsOf(events).Send(cmcEvCode::InsertChannel, bank, first + now);
            ++now;
        }
    } else if (count < old) {
        const int removable = datRemovableChannels(image, bank);
        if (old - count > removable)
            refuse(count < 0 ? "GI_AppMess_ChErr_NoCh" : "GI_AppMess_ChErr_NotBlank");
        for (int k = 0; k < std::min(old - count, removable); ++k) {
            eventsOf(events).Send(cmcEvCode::DeleteChannel, bank, first + now - 1);
            --now;
        }
    }
    datSetChannelCount(image, bank, now);
    Static2Dynamic(image, false);
    result.done = now != old;
    result.flags = datFlagLogic | (result.done ? datFlagAll : 0);
    return result;
}
