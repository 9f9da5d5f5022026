#include "cells/indModelData.h"

#include "cells/datRecordLayout.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datSettingsMap.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <numeric>
#include <vector>

namespace {
constexpr int ImageModelWordPlace = 0x180; // the model word 0x8824
constexpr int ImageModelWord = 0x8824;
constexpr int HeaderModelWordPlace = 0x2AA; // the model word 0x8826
constexpr int NewerDataPlace = 0x11A7D;
constexpr int NewerDataCompanionPlace = 0x11A7E;
constexpr int LayoutFlagsPlace = 0x10BFE; // bit 0 set: the newer layout's second copies are in use

// Repeater tables of the working area.
constexpr int SiteRecordSize = 8;
constexpr int HomeRepeaterByte = 7; // of the site record, from 1; 0 none
constexpr int RepeaterPlace = 0x176ED;
constexpr int RepeaterSize = 10;
constexpr int RepeaterRecordMarker = 24;
constexpr int RepeaterHeaderSize = 14;

// The digital ID lists and their sorted index lists.
constexpr int IndividualIdPlace = 0x121C7;
constexpr int IndividualIdSize = 16;
constexpr int TalkGroupPlace = 0x14109;
constexpr int TalkGroupSize = 14;
constexpr int IndividualIndexPlace = 0x15E7C;
constexpr int TalkGroupIndexPlace = 0x164F8;
constexpr int IndexListBytes = 1000;

std::uint8_t* Bytes(cmcEeprom& image)
{
    if (image.GetSize() < cmcImageSize)
        cmcFatalStop("Model data: the image is smaller than the document image.");
    return image.Bytes();
}
const std::uint8_t* Bytes(const cmcEeprom& image)
{
    if (image.GetSize() < cmcImageSize)
        cmcFatalStop("Model data: the image is smaller than the document image.");
    return image.Bytes();
}

bool IsSignature(const std::uint8_t* p)
{
    return std::memcmp(p, datSignature, datSignatureSize) == 0;
}

// A text of the radio's character set holds a character: a byte other than a blank before
// its terminator (texts are blank padded or NUL terminated).
bool HoldsCharacter(const std::uint8_t* text, int n)
{
    for (int i = 0; i < n && text[i] != 0; ++i) {
        if (text[i] != ' ')
            return true;
    }
    return false;
}

void SetBit(std::uint8_t& byte, int bit, bool on)
{
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    byte = on ? static_cast<std::uint8_t>(byte | mask) : static_cast<std::uint8_t>(byte & ~mask);
}

// The newer layout keeps second copies of three groups of fields. Data of the older layout
// (bit 0 of 0x10BFE clear) gets them filled from the first copies after a load.
void FillSecondCopies(std::uint8_t* b)
{
    b[0x10C00] = b[0x10B46];
    b[0x10C01] = 0;
    b[0x10C02] = b[0x10B47];
    b[0x10C03] = 0;
    for (int e = 0; e < 11; ++e) {
        std::uint8_t* p = b + 0x11841 + 52 * e;
        std::memcpy(p + 0x2C, p, 4);
        std::memset(p + 0x30, 0xFF, 4);
        p[0x25] = p[0x1C];
        std::memset(p + 0x26, 0, 3);
    }
    for (int e = 0; e < 32; ++e) {
        std::uint8_t* p = b + 0x103D4 + 12 * e;
        std::memcpy(p + 4, p, 4);
        std::memset(p + 8, 0xFF, 4);
    }
    for (int e = 0; e < 32; ++e) {
        std::uint8_t* p = b + 0x115C1 + 20 * e;
        p[2] = p[0];
        p[3] = 0;
    }
}

// Before a save or write the second copies (where the sheets edit) go back into the first
// copies the radio's older firmware reads.
void FoldSecondCopies(std::uint8_t* b)
{
    b[0x10B46] = static_cast<std::uint8_t>(b[0x10C00] & ~1u);
    b[0x10B47] = static_cast<std::uint8_t>(b[0x10C02] & ~1u);
    for (int e = 0; e < 11; ++e) {
        std::uint8_t* p = b + 0x11841 + 52 * e;
        std::memcpy(p, p + 0x2C, 3);
        p[3] = static_cast<std::uint8_t>((p[0x2F] & 0xF0) | 0x0F);
        p[0x1C] = static_cast<std::uint8_t>(p[0x25] & ~1u);
    }
    for (int e = 0; e < 32; ++e) {
        std::uint8_t* p = b + 0x103D4 + 12 * e;
        std::memcpy(p, p + 4, 3);
        p[3] = static_cast<std::uint8_t>((p[7] & 0xF0) | 0x0F);
    }
    for (int e = 0; e < 32; ++e) {
        std::uint8_t* p = b + 0x115C1 + 20 * e;
        p[0] = static_cast<std::uint8_t>(p[2] & ~1u);
    }
    b[LayoutFlagsPlace] |= 1;
}

// The model identification always comes from the default image. The mode and header bytes
// are packed from their working-area mirrors, so the mirrors follow the copy.
void CopyIdentification(std::uint8_t* b, const std::uint8_t* d)
{
    const auto copy = [&](int from, int to) { std::memcpy(b + from, d + from, to - from + 1); };
    copy(0x0180, 0x0183);
    copy(0x0188, 0x018A);
    copy(0x02A0, 0x02AB);
    copy(0x107BC, 0x107BC);
    copy(0x107BE, 0x107BF);
    SetBE32(b + datModeMirrorPlace, b[datModeBytePlace]);
    SetBE32(b + datHeaderMirrorPlace, b[datHeaderBytePlace]);
}

// Entry numbers 0 to count-1 ordered by key; a stable order keeps equal keys in entry order.
template <typename Key> void WriteSortedIndex(std::uint8_t* list, int count, Key key)
{
    std::vector<int> entries(static_cast<std::size_t>(count));
    std::iota(entries.begin(), entries.end(), 0);
    std::stable_sort(entries.begin(), entries.end(), [&](int a, int c) { return key(a) < key(c); });
    for (int i = 0; i < count; ++i)
        SetBE16(list + 2 * i, entries[static_cast<std::size_t>(i)]);
}

void ShowBadRepeaterRecord()
{
    cmcMessageBox(MainText().GetMultiLineText("GI_AppMess_RptFile_BadData"),
                  MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
}

void RequireSite(int site)
{
    if (site < 0 || site >= indRepeaterSites)
        cmcFatalStop(Format("Model data: repeater site %d does not exist.", site));
}
} // namespace

int indModelWords::CheckFileModel(int fileWord1, int fileWord2)
{
    const bool alternative = altWord1 != 0 && fileWord1 == altWord1;
    if (fileWord1 != word1 && !alternative)
        return 3;
    if (fileWord2 != word2 && fileWord2 != indAcceptedFileWord2)
        return 4;
    if (!altFrozen)
        altMatched = alternative;
    return 0;
}

AddressRangeList indAddressRanges(int mode)
{
    const AddressRange range = mode == 0   ? AddressRange{0x02A0, indModelRadioMemoryEnd}
                               : mode == 5 ? AddressRange{0x0000, 0x00D6}
                                           : AddressRange{0x0000, indModelRadioMemoryEnd};
    return AddressRangeList{range, AddressRangeList::ListEnd};
}

int indCheckImage(const cmcEeprom& image, bool strict)
{
    if (image.GetSize() < cmcWorkingAreaStart)
        return 1;
    const std::uint8_t* b = image.Bytes();
    if (GetBE16(b + ImageModelWordPlace) != ImageModelWord || b[datModeBytePlace] > 1)
        return 1;
    if (!strict)
        return 0;
    if (!IsSignature(b + datSignaturePlace) || GetBE16(b + HeaderModelWordPlace) != indModelWord1)
        return 1;
    // The packing leaves its signature as the last 8 bytes of the used dynamic area.
    const int end = GetBE16(b + datUsedEndPlace) - GetBE16(b + datBasePlace) + datDynamicBase;
    const int signature = end - datSignatureSize;
    if (signature < 0 || end > cmcWorkingAreaStart)
        return 1;
    return IsSignature(b + signature) ? 0 : 1;
}

int indCheckNewerData(const cmcEeprom& image, int lockoutNewerData)
{
    if (lockoutNewerData == 0)
        return 0;
    cmcEeprom unpacked;
    unpacked.CopyFrom(image);
    Dynamic2Static(unpacked);
    return Bytes(unpacked)[NewerDataPlace] != 0 ? 1 : 0;
}

int indCheckNewerData(const cmcEeprom& image)
{
    // A setting that is not a number keeps the lockout on.
    return indCheckNewerData(image, indOverlayInteger("GI_Sys_LockoutNewerData", 1));
}

int indOverlayInteger(std::string_view key, int whenNotNumber)
{
    const std::string text = TrimBlanks(MainText().GetText(key));
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i >= text.size() || std::isdigit(static_cast<unsigned char>(text[i])) == 0)
        return whenNotNumber;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0; ++i)
        value = std::min(value * 10 + (text[i] - '0'), 1LL << 31);
    value = negative ? -value : value;
    return static_cast<int>(
        std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void indAfterLoad(cmcEeprom& image, const cmcEeprom& defaultImage, indModelWords& words, int lcdFontSize)
{
    Dynamic2Static(image);
    indBeforeSave(image, defaultImage, indSaveStage::AfterLoad, words, lcdFontSize);
}

void indBeforeSave(cmcEeprom& image, const cmcEeprom& defaultImage, indSaveStage stage, indModelWords& words,
                   int lcdFontSize)
{
    std::uint8_t* b = Bytes(image);
    const std::uint8_t* d = Bytes(defaultImage);
    if (stage == indSaveStage::AfterLoad) {
        Dynamic2Static(image);
        if ((b[LayoutFlagsPlace] & 1) == 0)
            FillSecondCopies(b);
        words.ClearAlternativeFlags();
    }
    CopyIdentification(b, d);
    indRecomputeSummaryFields(image, defaultImage, lcdFontSize);
    // Cleared before the packing below, so the packed form never carries the mark either.
    b[NewerDataPlace] = 0;
    b[NewerDataCompanionPlace] = d[NewerDataCompanionPlace];
    if (stage == indSaveStage::BeforeSave) {
        words.ClearAlternativeFlags();
        FoldSecondCopies(b);
        (void)Static2Dynamic(image, false);
    }
}

// The summary fields: values the radio keeps beside the records that must agree with them.
//  1. The bank's channel count (0x10BC6) within the 32 channel slots.
//  2. The used counts of the individual-ID list (0x1AC36) and talk-group list (0x1AC38)
//     within their 500 slots.
//  3. The repeaters of the site (0x176E0) at most 20; a home repeater (byte 7 of the site
//     record at 0x176E5) past them becomes 0 (none).
//  4. The first used memory channel (0x107BE, big-endian): the lowest channel of the bank in
//     use (receive frequency or digital marker not 0); 0 when none is.
//  5. The text marks: MSK ID groups (0x11ABF + 42i) byte 29 bit 2 and MSK call-list entries
//     (0x11C17 + 20i) byte 13 bit 5 are set exactly when the entry's text holds a character.
//  6. With LCD font size 2, the dots outside the smaller glyph: in each of the 16 user
//     characters (0x10C32 + 24k), of each of six 3-byte fields bit 7 of the second byte and
//     the whole third byte are cleared.
//  7. The sorted index lists of the two ID lists (indRebuildSortedIndexLists).
void indRecomputeSummaryFields(cmcEeprom& image, const cmcEeprom& defaultImage, int lcdFontSize)
{
    std::uint8_t* b = Bytes(image);

    const int bankCount = datChannelCount(image, 0);
    SetBE16(b + datBankCountPlace, bankCount);
    SetBE16(b + datIndividualIdCountPlace, datIndividualIdCount(image));
    SetBE16(b + datTalkGroupCountPlace, datTalkGroupCount(image));

    for (int site = 0; site < indRepeaterSites; ++site) {
        std::uint8_t& used = b[datSiteCountPlace + site];
        used = static_cast<std::uint8_t>(std::min<int>(used, indRepeatersPerSite));
        std::uint8_t& home = b[datSiteRecordPlace + SiteRecordSize * site + HomeRepeaterByte];
        if (home > used)
            home = 0;
    }

    const int outside = datChannelsOutsideBanks(image);
    int firstUsed = 0;
    for (int channel = 0; channel < bankCount; ++channel) {
        if (datChannelSlotInUse(image, outside + channel)) {
            firstUsed = channel;
            break;
        }
    }
    SetBE16(b + 0x107BE, firstUsed);

    for (int i = 0; i < 8; ++i) {
        std::uint8_t* group = b + 0x11ABF + 42 * i;
        SetBit(group[29], 2, HoldsCharacter(group + 2, 12));
    }
    for (int i = 0; i < 32; ++i) {
        std::uint8_t* entry = b + 0x11C17 + 20 * i;
        SetBit(entry[13], 5, HoldsCharacter(entry, 12));
    }

    if (lcdFontSize == 2) {
        for (int k = 0; k < 16; ++k) {
            for (int field = 0; field < 6; ++field) {
                std::uint8_t* p = b + 0x10C32 + 24 * k + 3 * field;
                p[1] = static_cast<std::uint8_t>(p[1] & 0x7F);
                p[2] = 0;
            }
        }
    }

    indRebuildSortedIndexLists(image, defaultImage);
}

void indRebuildSortedIndexLists(cmcEeprom& image, const cmcEeprom& defaultImage)
{
    std::uint8_t* b = Bytes(image);
    const std::uint8_t* d = Bytes(defaultImage);
    std::memcpy(b + IndividualIndexPlace, d + IndividualIndexPlace, IndexListBytes);
    std::memcpy(b + TalkGroupIndexPlace, d + TalkGroupIndexPlace, IndexListBytes);
    WriteSortedIndex(b + IndividualIndexPlace, datIndividualIdCount(image),
                     [b](int entry) { return GetBE32(b + IndividualIdPlace + IndividualIdSize * entry); });
    WriteSortedIndex(b + TalkGroupIndexPlace, datTalkGroupCount(image),
                     [b](int entry) { return GetBE16(b + TalkGroupPlace + TalkGroupSize * entry); });
}

indRepeaterRecord indBuildRepeaterRecord(const cmcEeprom& image, int site)
{
    RequireSite(site);
    const std::uint8_t* b = Bytes(image);
    const std::uint8_t* siteRecord = b + datSiteRecordPlace + SiteRecordSize * site;
    const int count = std::min<int>(b[datSiteCountPlace + site], indRepeatersPerSite);
    indRepeaterRecord record{};
    record[0] = static_cast<std::uint8_t>(siteRecord[0] & 0x80);
    record[1] = siteRecord[HomeRepeaterByte];
    record[2] = RepeaterRecordMarker;
    record[3] = static_cast<std::uint8_t>(site);
    record[4] = static_cast<std::uint8_t>(count);
    // One site: its repeaters start at the first repeater slot.
    std::memcpy(record.data() + RepeaterHeaderSize, b + RepeaterPlace, RepeaterSize * count);
    return record;
}

indRepeaterImport indImportRepeaterRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int site,
                                          std::span<const std::uint8_t> record)
{
    RequireSite(site);
    std::uint8_t* b = Bytes(image);
    const std::uint8_t* d = Bytes(defaultImage);
    indRepeaterImport result;
    result.oldCount = b[datSiteCountPlace + site];
    result.newCount = result.oldCount;
    if (record.size() != indRepeaterRecordSize || record[2] != RepeaterRecordMarker ||
        record[4] > indRepeatersPerSite || record[1] > record[4]) {
        ShowBadRepeaterRecord();
        return result;
    }
    const int count = record[4];
    std::uint8_t* siteRecord = b + datSiteRecordPlace + SiteRecordSize * site;
    SetBit(siteRecord[0], 7, record[0] != 0);
    siteRecord[HomeRepeaterByte] = record[1];
    b[datSiteCountPlace + site] = static_cast<std::uint8_t>(count);
    std::memcpy(b + RepeaterPlace, record.data() + RepeaterHeaderSize, RepeaterSize * count);
    const int rest = RepeaterSize * (indRepeatersPerSite - count);
    std::memcpy(b + RepeaterPlace + RepeaterSize * count, d + RepeaterPlace + RepeaterSize * count, rest);
    result.imported = true;
    result.newCount = count;
    return result;
}

void indSelfCheck()
{
    datSelfCheckTables();
    datSelfCheckLayout();
    datSelfCheckSettingsMap();
}
