#include "cells/datRecordService.h"

#include "base/cmcEvMan.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/datRecordLayout.h"
#include "cells/datRecordOps.h"
#include "image/cmcEeprom.h"

namespace {

struct EventTable {
    cmcEvCode code;
    int kind;
    bool insert;
};

constexpr EventTable Events[] = {
    {cmcEvCode::InsertChannel, datKindChannel, true},
    {cmcEvCode::DeleteChannel, datKindChannel, false},
    {cmcEvCode::InsertRepeater, datKindRepeater, true},
    {cmcEvCode::DeleteRepeater, datKindRepeater, false},
    {cmcEvCode::InsertIndividualId, datKindIndividualId, true},
    {cmcEvCode::DeleteIndividualId, datKindIndividualId, false},
    {cmcEvCode::InsertTalkGroup, datKindTalkGroup, true},
    {cmcEvCode::DeleteTalkGroup, datKindTalkGroup, false},
};

// Most entries a table can count, all banks or sites together.
int capacityOf(int kind)
{
    switch (kind) {
    case datKindChannel:
        return datMaxChannels;
    case datKindRepeater:
        return datMaxRepeaters;
    default:
        return datMaxListEntries;
    }
}

int totalOf(const cmcEeprom& image, int kind)
{
    switch (kind) {
    case datKindChannel:
        return datTotalChannels(image);
    case datKindRepeater:
        return datTotalRepeaters(image);
    default:
        return datUsedCount(image, kind, 0);
    }
}

bool validGroup(int kind, std::intptr_t bankOrSite)
{
    if (kind == datKindChannel)
        return bankOrSite >= 0 && bankOrSite < datBanks;
    if (kind == datKindRepeater)
        return bankOrSite >= 0 && bankOrSite < datSites;
    return true;
}

} // namespace

datRecordService::datRecordService(cmcEvMan& events, cmcEeprom& image, const cmcEeprom& defaultImage)
    : events_(events), image_(image), defaultImage_(defaultImage)
{
    events_.Register(&datRecordService::onEvent, this);
}

datRecordService::~datRecordService()
{
    events_.Unregister(&datRecordService::onEvent, this);
}

void datRecordService::onEvent(void* user, const cmcEvent& event)
{
    static_cast<datRecordService*>(user)->Handle(event);
}

bool datRecordService::Handle(const cmcEvent& event)
{
    for (const EventTable& e : Events) {
        if (e.code != event.code)
            continue;
        // Channels and repeaters name their bank or site; the ID lists have one table each.
        const bool grouped = e.kind == datKindChannel || e.kind == datKindRepeater;
        const std::intptr_t group = grouped ? event.arg1 : 0;
        if (!validGroup(e.kind, group) || event.arg2 < 0 || event.arg2 >= datSlotsOf(e.kind))
            return false;
        const int entry = static_cast<int>(event.arg2);
        return e.insert ? insert(e.kind, static_cast<int>(group), entry)
                        : remove(e.kind, static_cast<int>(group), entry);
    }
    return false;
}

bool datRecordService::insert(int kind, int bankOrSite, int entry)
{
    const int first = datFirstUsed(image_, kind, bankOrSite);
    const int count = datUsedCount(image_, kind, bankOrSite);
    if (totalOf(image_, kind) >= capacityOf(kind) || entry < first || entry > first + count)
        return false;
    insertRecord(image_, defaultImage_, kind, datSlotsOf(kind), entry);
    datSetUsedCount(image_, kind, bankOrSite, count + 1);
    // With every table at its most records the packed form takes about 34 KB of the
    // 64 KB dynamic area, so packing after one more record cannot overflow.
    Static2Dynamic(image_, false);
    if (kind == datKindChannel) {
        events_.Post(cmcEvCode::RedrawAll);
    } else {
        events_.Send(cmcEvCode::AddRows, 0, 0);
    }
    events_.Send(cmcEvCode::RefreshSheetTitle);
    return true;
}

bool datRecordService::remove(int kind, int bankOrSite, int entry)
{
    const int first = datFirstUsed(image_, kind, bankOrSite);
    const int count = datUsedCount(image_, kind, bankOrSite);
    if (entry < first || entry >= first + count)
        return false;
    removeRecord(image_, defaultImage_, kind, datSlotsOf(kind), entry);
    datSetUsedCount(image_, kind, bankOrSite, count - 1);
    Static2Dynamic(image_, false);
    if (kind != datKindChannel)
        events_.Send(cmcEvCode::RemoveRows, 0, 0);
    events_.Send(cmcEvCode::RefreshSheetTitle);
    events_.Send(cmcEvCode::RedrawFromIndex, 0, entry);
    return true;
}
