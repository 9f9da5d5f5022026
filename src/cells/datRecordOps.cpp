#include "cells/datRecordOps.h"

#include "cells/datCh.h"
#include "cells/datClipCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <functional>

namespace {

// New index of a referenced record, or Gone when the record no longer exists.
constexpr int Gone = -1;
using RefMap = std::function<int(int)>;

struct ScanRef {
    datField ref;
    datField mode;
    std::uint32_t fixedReset; // what the fixed-channel mode 5 becomes when its channel goes
};
constexpr int FixedChannelMode = 5;
constexpr ScanRef ScanRefs[] = {
    {datField::ScanTxCh, datField::ScanTxMode, 0},
    {datField::ScanPrio1Ch, datField::ScanPrio1Mode, 1},
    {datField::ScanPrio2Ch, datField::ScanPrio2Mode, 0},
};

void renumberScanLists(cmcEeprom& image, const RefMap& map)
{
    for (int list = 0; list < datSlotsOf(datKindScanList); ++list) {
        datCh scan(image);
        scan.decode(datKindScanList, list);
        bool changed = false;
        for (const ScanRef& r : ScanRefs) {
            const int old = static_cast<int>(scan.Get(r.ref));
            const int now = map(old);
            if (now == old)
                continue;
            changed = true;
            if (now == Gone) {
                scan.Set(r.ref, 0);
                if (scan.Get(r.mode) == FixedChannelMode) {
                    scan.Set(r.mode, r.fixedReset);
                    if (r.ref == datField::ScanPrio2Ch)
                        scan.Set(datField::ScanPrio2InUse, 0);
                }
            } else {
                scan.Set(r.ref, static_cast<std::uint32_t>(now));
            }
        }
        if (changed)
            scan.encode(datKindScanList, list);
    }
}

void renumberChannelLists(cmcEeprom& image, datField listRef, const RefMap& map)
{
    for (int slot = 0; slot < datSlotsOf(datKindChannel); ++slot) {
        datCh ch(image);
        ch.decode(datKindChannel, slot);
        if (!ch.inUse)
            continue;
        const int old = static_cast<int>(ch.Get(listRef));
        const int now = map(old);
        if (now != old) {
            ch.Set(listRef, static_cast<std::uint32_t>(now == Gone ? 0 : now));
            ch.encode(datKindChannel, slot);
        }
    }
}

void renumber(cmcEeprom& image, int kind, const RefMap& map)
{
    switch (kind) {
    case datKindChannel:
        if (datSwitches().scanList)
            renumberScanLists(image, map);
        break;
    case datKindIndividualId: {
        std::uint8_t* place = image.Bytes() + datPowerStatusIdPlace;
        const int old = GetBE16(place);
        const int now = map(old);
        if (now != old)
            SetBE16(place, now == Gone ? 0 : now);
        renumberChannelLists(image, datField::ChIndList, map);
        break;
    }
    case datKindTalkGroup:
        renumberChannelLists(image, datField::ChTgList, map);
        break;
    default:
        break;
    }
}

// Record from moves to slot to; the slot keeps its bank bits and its site data.
void moveSlot(cmcEeprom& image, int kind, int from, int to)
{
    datCh rec(image);
    rec.decode(kind, from);
    datCh slot(image);
    slot.decode(kind, to);
    rec.status = static_cast<std::uint8_t>((rec.status & ~datStSlotBits) | (slot.status & datStSlotBits));
    if (kind == datKindRepeater && datSiteOfRepeater(image, from) != datSiteOfRepeater(image, to))
        rec.status &= static_cast<std::uint8_t>(~datStHome);
    rec.AdoptSharedParts(slot);
    rec.encode(kind, to);
}

// Slot gets the default image's record with the status bits the slot has now.
void blankSlot(cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int index)
{
    datCh slot(image);
    slot.decode(kind, index);
    datCh blank(defaultImage);
    blank.decode(kind, index);
    blank.SetImage(image);
    blank.status = slot.status;
    blank.AdoptSharedParts(slot);
    blank.encode(kind, index);
}

bool validTable(int kind, int slots, int position)
{
    return datIsRecordKind(kind) && slots > 0 && slots <= datSlotsOf(kind) && position >= 0 &&
           position < slots;
}

} // namespace

int removeRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int slots, int position)
{
    if (!validTable(kind, slots, position))
        return 0;
    renumber(image, kind, [position](int r) { return r == position ? Gone : (r > position ? r - 1 : r); });
    for (int i = position; i < slots - 1; ++i)
        moveSlot(image, kind, i + 1, i);
    blankSlot(image, defaultImage, kind, slots - 1);
    return datFlagRecord | datFlagAll;
}

int insertRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int slots, int position)
{
    if (!validTable(kind, slots, position))
        return 0;
    renumber(image, kind, [position, slots](int r) {
        if (r < position)
            return r;
        return r + 1 < slots ? r + 1 : Gone;
    });
    for (int i = slots - 1; i > position; --i)
        moveSlot(image, kind, i - 1, i);
    blankSlot(image, defaultImage, kind, position);
    return datFlagRecord | datFlagAll;
}

bool datCarryBlock(cmcEeprom& image, int kind, int first, int last, int direction)
{
    const int slots = datSlotsOf(kind);
    if (direction != -1 && direction != 1)
        return false;
    if (first < 0 || last < first || last >= slots)
        return false;
    const int other = direction < 0 ? first - 1 : last + 1;
    if (other < 0 || other >= slots)
        return false;
    const int freed = direction < 0 ? last : first;

    // Marks travel with the records: whole marks off.
    datClipCh block(false);
    block.Copy(image, kind, first, last - first + 1);
    datCh displaced(image);
    displaced.decode(kind, other);

    renumber(image, kind, [=](int r) {
        if (r >= first && r <= last)
            return r + direction;
        return r == other ? freed : r;
    });
    block.Paste(image, kind, first + direction, last - first + 1);
    block.WriteOne(image, displaced, freed);
    return true;
}

bool datRecordInUse(const cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int index)
{
    if (!datIsRecordKind(kind) || index < 0 || index >= datSlotsOf(kind))
        return false;
    datCh rec(image);
    rec.decode(kind, index);
    if (kind == datKindChannel || datIsCountedList(kind))
        return rec.inUse;
    datCh blank(defaultImage);
    blank.decode(kind, index);
    const auto parts = datPartsOf(kind);
    for (int p = 0; p < static_cast<int>(parts.size()); ++p) {
        const auto a = rec.Part(p);
        const auto b = blank.Part(p);
        if (!std::equal(a.begin(), a.end(), b.begin(), b.end()))
            return true;
    }
    return false;
}
