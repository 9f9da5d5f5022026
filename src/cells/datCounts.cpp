#include "cells/datCounts.h"

#include "cells/datRecordKind.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>

namespace {

int clampCount(int value, int most)
{
    return std::clamp(value, 0, most);
}

int readBE16(const cmcEeprom& image, int place)
{
    return GetBE16(image.Bytes() + place);
}

void writeBE16(cmcEeprom& image, int place, int value)
{
    SetBE16(image.Bytes() + place, value);
}

bool isBank(int bank)
{
    return bank >= 0 && bank < datBanks;
}
bool isSite(int site)
{
    return site >= 0 && site < datSites;
}

} // namespace

int datChannelCount(const cmcEeprom& image, int bank)
{
    if (!isBank(bank))
        return 0;
    // A bank can hold the slots the banks before it leave.
    const int room = datMaxChannels - datFirstChannel(image, bank);
    return clampCount(readBE16(image, datBankCountPlace + 2 * bank), room);
}

void datSetChannelCount(cmcEeprom& image, int bank, int count)
{
    if (!isBank(bank))
        return;
    const int room = datMaxChannels - datFirstChannel(image, bank);
    writeBE16(image, datBankCountPlace + 2 * bank, clampCount(count, room));
}

int datFirstChannel(const cmcEeprom& image, int bank)
{
    int first = 0;
    for (int k = 0; k < std::min(bank, datBanks); ++k)
        first += clampCount(readBE16(image, datBankCountPlace + 2 * k), datMaxChannels - first);
    return first;
}

int datTotalChannels(const cmcEeprom& image)
{
    return datFirstChannel(image, datBanks - 1) + datChannelCount(image, datBanks - 1);
}

int datBankOfChannel(const cmcEeprom& image, int slot)
{
    for (int k = 0; k < datBanks; ++k) {
        if (slot < datFirstChannel(image, k) + datChannelCount(image, k))
            return k;
    }
    return datBanks - 1;
}

int datRepeaterCount(const cmcEeprom& image, int site)
{
    if (!isSite(site))
        return 0;
    const int room = datMaxRepeaters - datFirstRepeater(image, site);
    return clampCount(image.GetByte(datSiteCountPlace + site), room);
}

void datSetRepeaterCount(cmcEeprom& image, int site, int count)
{
    if (!isSite(site))
        return;
    const int room = datMaxRepeaters - datFirstRepeater(image, site);
    image.SetByte(datSiteCountPlace + site, static_cast<std::uint8_t>(clampCount(count, room)));
}

int datFirstRepeater(const cmcEeprom& image, int site)
{
    int first = 0;
    for (int s = 0; s < std::min(site, datSites); ++s)
        first += clampCount(image.GetByte(datSiteCountPlace + s), datMaxRepeaters - first);
    return first;
}

int datTotalRepeaters(const cmcEeprom& image)
{
    return datFirstRepeater(image, datSites - 1) + datRepeaterCount(image, datSites - 1);
}

int datSiteOfRepeater(const cmcEeprom& image, int index)
{
    for (int s = 0; s < datSites; ++s) {
        if (index < datFirstRepeater(image, s) + datRepeaterCount(image, s))
            return s;
    }
    return datSites - 1;
}

int datIndividualIdCount(const cmcEeprom& image)
{
    return clampCount(readBE16(image, datIndividualIdCountPlace), datMaxListEntries);
}

void datSetIndividualIdCount(cmcEeprom& image, int count)
{
    writeBE16(image, datIndividualIdCountPlace, clampCount(count, datMaxListEntries));
}

int datTalkGroupCount(const cmcEeprom& image)
{
    return clampCount(readBE16(image, datTalkGroupCountPlace), datMaxListEntries);
}

void datSetTalkGroupCount(cmcEeprom& image, int count)
{
    writeBE16(image, datTalkGroupCountPlace, clampCount(count, datMaxListEntries));
}

int datUsedCount(const cmcEeprom& image, int kind, int bankOrSite)
{
    switch (kind) {
    case datKindChannel:
        return datChannelCount(image, bankOrSite);
    case datKindRepeater:
        return datRepeaterCount(image, bankOrSite);
    case datKindIndividualId:
        return datIndividualIdCount(image);
    case datKindTalkGroup:
        return datTalkGroupCount(image);
    default:
        return -1;
    }
}

void datSetUsedCount(cmcEeprom& image, int kind, int bankOrSite, int count)
{
    switch (kind) {
    case datKindChannel:
        datSetChannelCount(image, bankOrSite, count);
        break;
    case datKindRepeater:
        datSetRepeaterCount(image, bankOrSite, count);
        break;
    case datKindIndividualId:
        datSetIndividualIdCount(image, count);
        break;
    case datKindTalkGroup:
        datSetTalkGroupCount(image, count);
        break;
    default:
        break;
    }
}

int datFirstUsed(const cmcEeprom& image, int kind, int bankOrSite)
{
    switch (kind) {
    case datKindChannel:
        return datFirstChannel(image, bankOrSite);
    case datKindRepeater:
        return datFirstRepeater(image, bankOrSite);
    default:
        return 0;
    }
}
