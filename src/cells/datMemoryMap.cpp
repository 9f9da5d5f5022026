#include "cells/datMemoryMap.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace {
struct Descriptor {
    int ptblId = 0;
    int recordSize = 0;
    int count = 0;
    int address = 0;
};

// The map addresses the working area directly, so every image it touches must be a
// document image; anything else is a fault of the program.
std::uint8_t* DocumentBytes(cmcEeprom& image)
{
    if (image.GetSize() < cmcImageSize)
        cmcFatalStop("Memory map: the image is smaller than the document image.");
    return image.Bytes();
}
const std::uint8_t* DocumentBytes(const cmcEeprom& image)
{
    if (image.GetSize() < cmcImageSize)
        cmcFatalStop("Memory map: the image is smaller than the document image.");
    return image.Bytes();
}

void WriteDescriptor(std::uint8_t* p, const Descriptor& d)
{
    SetBE16(p, d.ptblId);
    SetBE16(p + 2, d.recordSize);
    SetBE16(p + 4, d.count);
    SetBE16(p + 6, d.address);
    SetBE16(p + 8, 0);
}

Descriptor ReadDescriptor(const std::uint8_t* p)
{
    return {GetBE16(p), GetBE16(p + 2), GetBE16(p + 4), GetBE16(p + 6)};
}

// A static place outside the image is a definition error of the table list.
void RequireStatic(const datTableDef& t, int firstSlot, int n)
{
    if (firstSlot < 0 || t.staticPlace + (firstSlot + n) * t.recordSize > cmcImageSize)
        cmcFatalStop(Format("Memory map: PTBL-ID %d reaches outside the image.", t.ptblId));
}

int PackedCount(const cmcEeprom& image, const datTableDef& t)
{
    switch (t.count) {
    case datCountRule::Fixed:
        return t.slots;
    case datCountRule::ChannelsOutsideBanks:
        return std::min(datChannelsOutsideBanks(image), t.slots);
    case datCountRule::BankChannels:
        return datChannelCount(image, 0);
    case datCountRule::IndividualIdsUsed:
        return std::min(datIndividualIdCount(image), t.slots);
    case datCountRule::TalkGroupsUsed:
        return std::min(datTalkGroupCount(image), t.slots);
    case datCountRule::Descriptors:
        break;
    }
    return 0;
}

// Whether the descriptor copy of the loaded image lists ptblId.
bool Carried(const std::uint8_t* b, int ptblId)
{
    const std::uint8_t* copy = b + datDescriptorCopyPlace;
    for (int r = 0; r < datDescriptorCopySlots; ++r)
        if (ptblId != 0 && GetBE16(copy + r * datDescriptorSize) == ptblId)
            return true;
    return false;
}

// How many records of a carried table are packed: the repeaters and the digital channel
// parts follow their used counts; every other table packs all its slots, since the static
// form holds them all and a loaded count of fewer (the default image carries one template
// record) would drop the records edited past it.
int CarriedPackedCount(const cmcEeprom& image, const datTableDef& t)
{
    switch (t.ptblId) {
    case datRepeaterTableId:
        return datRepeaterCount(image, 0);
    case datDigitalPartTableId:
        return std::min(datChannelCount(image, 0), t.slots);
    default:
        return t.slots;
    }
}

class Packer {
public:
    Packer(cmcEeprom& image, std::uint8_t* bytes) : image_(image), b_(bytes) {}

    // Appends n records of t from static slot firstSlot on; false (nothing written) when
    // they do not fit.
    bool Append(const datTableDef& t, int firstSlot, int n)
    {
        const int length = t.recordSize * n;
        if (pos_ + length > datDynamicEnd)
            return false;
        RequireStatic(t, firstSlot, n);
        list_.push_back({t.ptblId, t.recordSize, n, pos_});
        if (length > 0)
            std::memcpy(b_ + pos_, b_ + t.staticPlace + t.recordSize * firstSlot, length);
        pos_ += length;
        return true;
    }

    // The bank's channel tables as one block: every table of the block gets the same count.
    bool AppendChannelBlock(std::span<const datTableDef> block, bool fill)
    {
        const int outside = datChannelsOutsideBanks(image_);
        const int bankCount = datChannelCount(image_, 0);
        const bool keepTables = (b_[datChannelBlockFlagPlace] & 0x40) != 0;
        if (bankCount > 0 || keepTables) {
            int perChannel = 0;
            int slots = datMaxChannels;
            for (const datTableDef& t : block) {
                perChannel += t.recordSize;
                slots = std::min(slots, t.slots - (t.sharesPlaceWith != 0 ? outside : 0));
            }
            int n = std::min(bankCount, slots);
            if (fill && keepTables) {
                n = std::max(slots, 0);
                while (n > 0 && pos_ + n * perChannel > datDynamicEnd)
                    --n;
            } else if (pos_ + n * perChannel > datDynamicEnd) {
                return false;
            }
            for (const datTableDef& t : block)
                Append(t, t.sharesPlaceWith != 0 ? outside : 0, n);
        }
        SetBE16(b_ + datChannelEndPlace, pos_);
        return true;
    }

    // A PTBL-ID twice in the descriptor list is a fault of the table list.
    void CheckDuplicates() const
    {
        std::vector<int> seen;
        for (const Descriptor& d : list_) {
            if (std::find(seen.begin(), seen.end(), d.ptblId) != seen.end())
                cmcFatalStop(Format("### BoobyTrap ###\nError Detect in Static2Dynaimc Sequence.\n\n"
                                    "Duplicate PTBL-ID : '%d'",
                                    d.ptblId));
            seen.push_back(d.ptblId);
        }
    }

    bool AppendDescriptorTable(const datTableDef& t)
    {
        const int n = static_cast<int>(list_.size());
        if (pos_ + t.recordSize * n > datDynamicEnd)
            return false;
        const Descriptor own{t.ptblId, t.recordSize, n, pos_};
        for (const Descriptor& d : list_) {
            std::memset(b_ + pos_, 0, t.recordSize);
            WriteDescriptor(b_ + pos_, d);
            pos_ += t.recordSize;
        }
        WriteDescriptor(b_ + datDescriptorTablePlace, own);
        return true;
    }

    bool AppendSignature()
    {
        if (pos_ + datSignatureSize > datDynamicEnd)
            return false;
        std::memcpy(b_ + pos_, datSignature, datSignatureSize);
        pos_ += datSignatureSize;
        return true;
    }

    [[nodiscard]] int Position() const { return pos_; }

private:
    cmcEeprom& image_;
    std::uint8_t* b_;
    int pos_ = datDynamicBase;
    std::vector<Descriptor> list_;
};

// True when the n bytes at a lie inside the radio memory area.
bool InRadioArea(int a, int n)
{
    return a >= 0 && n >= 0 && a + n <= datDynamicEnd;
}

void Unpack(cmcEeprom& image, std::span<const datTableDef> tables, bool prefill)
{
    std::uint8_t* b = DocumentBytes(image);
    const Descriptor own = ReadDescriptor(b + datDescriptorTablePlace);
    if (own.ptblId != 1)
        return;
    const int base = GetBE16(b + datBasePlace);
    // An address in a descriptor is relative to the base the image was packed with.
    const auto source = [base](int address) { return address - base + datDynamicBase; };

    // The descriptor copy: at most 90 descriptors of at most 10 bytes; the rest is cleared so
    // the copy never shows descriptors of an earlier image.
    std::uint8_t* copy = b + datDescriptorCopyPlace;
    std::memset(copy, 0, datDescriptorCopySlots * datDescriptorSize);
    const int descriptorCount = std::min(own.count, datDescriptorCopySlots);
    const int copyLength = std::min(own.recordSize, datDescriptorSize);
    for (int r = 0; r < descriptorCount; ++r) {
        const int from = source(own.address) + r * own.recordSize;
        if (!InRadioArea(from, copyLength))
            break;
        std::memcpy(copy + r * datDescriptorSize, b + from, copyLength);
    }
    // Descriptors shorter than their address field name nothing.
    const int usable = own.recordSize >= 8 ? descriptorCount : 0;
    const auto lookUp = [&](int ptblId) -> std::optional<Descriptor> {
        for (int r = 0; r < usable; ++r) {
            const Descriptor d = ReadDescriptor(copy + r * datDescriptorSize);
            if (d.ptblId == ptblId)
                return d;
        }
        return std::nullopt;
    };

    SetBE32(b + datModeMirrorPlace, b[datModeBytePlace]);
    SetBE32(b + datHeaderMirrorPlace, b[datHeaderBytePlace]);

    std::map<int, int> unpacked; // PTBL-ID -> records placed, for the tables present
    for (const datTableDef& t : tables) {
        if (t.count == datCountRule::Descriptors || (t.use == datTableUse::PrefillOnly && !prefill))
            continue;
        const std::optional<Descriptor> d = lookUp(t.ptblId);
        if (!d)
            continue;
        const int from = source(d->address);
        int firstSlot = 0;
        if (t.sharesPlaceWith != 0) {
            const auto it = unpacked.find(t.sharesPlaceWith);
            firstSlot = it == unpacked.end() ? 0 : it->second;
        }
        const int n = std::max(0, std::min(d->count, t.slots - firstSlot));
        const int length = std::min(d->recordSize, t.recordSize);
        RequireStatic(t, firstSlot, n);
        if (prefill && t.blankTemplate) {
            // Every slot gets the table's first record, the template of a blank record.
            if (d->count >= 1 && InRadioArea(from, length)) {
                for (int slot = 0; slot < t.slots; ++slot)
                    std::memcpy(b + t.staticPlace + slot * t.recordSize, b + from, length);
            }
            unpacked[t.ptblId] = n;
        } else {
            int placed = 0;
            for (; placed < n; ++placed) {
                const int at = from + placed * d->recordSize;
                if (!InRadioArea(at, length))
                    break;
                std::memcpy(b + t.staticPlace + (firstSlot + placed) * t.recordSize, b + at, length);
            }
            unpacked[t.ptblId] = placed;
        }
        // The list counts live only in the working area: the packed form's record count is
        // the list's length.
        if (t.count == datCountRule::IndividualIdsUsed)
            SetBE16(b + datIndividualIdCountPlace, std::min(d->count, t.slots));
        else if (t.count == datCountRule::TalkGroupsUsed)
            SetBE16(b + datTalkGroupCountPlace, std::min(d->count, t.slots));
    }

    // The bank's channel count: at least up to the last channel in use among the unpacked
    // channel slots. The count itself lies in a table unpacked above, so "the count it had"
    // is the image's own count where the image holds that table.
    std::vector<int> outsideIds;
    std::vector<int> bankIds;
    for (const datTableDef& t : tables) {
        if (t.count == datCountRule::ChannelsOutsideBanks)
            outsideIds.push_back(t.ptblId);
        else if (t.count == datCountRule::BankChannels)
            bankIds.push_back(t.ptblId);
    }
    if (outsideIds.empty() || bankIds.empty())
        return;
    for (const int id : outsideIds) {
        if (!unpacked.contains(id))
            return;
    }
    for (const int id : bankIds) {
        if (!unpacked.contains(id))
            return;
    }
    const datTableDef* first = datFindTable(tables, bankIds.front());
    const int channelSlots =
        std::min(unpacked[first->sharesPlaceWith] + unpacked[first->ptblId], datMaxChannels);
    int afterLastUsed = 0;
    for (int slot = 0; slot < channelSlots; ++slot) {
        if (datChannelSlotInUse(image, slot))
            afterLastUsed = slot + 1;
    }
    const int count = std::max(GetBE16(b + datBankCountPlace), afterLastUsed);
    SetBE16(b + datBankCountPlace, std::min(count, datMaxChannels - datChannelsOutsideBanks(image)));
}
} // namespace

bool Static2DynamicWith(cmcEeprom& image, bool fill, std::span<const datTableDef> tables)
{
    std::uint8_t* b = DocumentBytes(image);
    std::memset(b + datDynamicBase, 0, datDynamicEnd - datDynamicBase);
    // No descriptor table until one is written, so an overflowed image is never unpacked
    // from the cleared area.
    std::memset(b + datDescriptorTablePlace, 0, datDescriptorSize);
    SetBE16(b + datBasePlace, datDynamicBase);
    b[datModeBytePlace] = b[datModeMirrorPlace + 3];
    b[datHeaderBytePlace] = b[datHeaderMirrorPlace + 3];

    Packer packer(image, b);
    bool overflow = false;
    const datTableDef* descriptorTable = nullptr;
    for (std::size_t i = 0; i < tables.size() && !overflow; ++i) {
        const datTableDef& t = tables[i];
        if (t.use != datTableUse::Packed)
            continue;
        if (t.count == datCountRule::Descriptors) {
            descriptorTable = &t;
        } else if (t.count == datCountRule::BankChannels) {
            std::size_t end = i;
            while (end < tables.size() && tables[end].count == datCountRule::BankChannels)
                ++end;
            overflow = !packer.AppendChannelBlock(tables.subspan(i, end - i), fill);
            i = end - 1;
        } else {
            overflow = !packer.Append(t, 0, PackedCount(image, t));
        }
    }
    // Tables of the unpack-only kind that the loaded image carried (its descriptors are in
    // the descriptor copy) go back into the packed form: the radio that produced them knows
    // them, and cells edit some of them (repeaters, digital channel parts, NAC channels), so
    // leaving them out would lose those edits at the next save or write.
    for (const datTableDef& t : tables) {
        if (overflow || t.use != datTableUse::UnpackOnly)
            continue;
        if (Carried(b, t.ptblId))
            overflow = !packer.Append(t, 0, CarriedPackedCount(image, t));
    }
    packer.CheckDuplicates();
    if (!overflow && descriptorTable != nullptr)
        overflow = !packer.AppendDescriptorTable(*descriptorTable);
    // Without its descriptor table or its signature the packed form would be unreadable:
    // that is an overflow too.
    if (!overflow)
        overflow = !packer.AppendSignature();
    if (!overflow)
        SetBE16(b + datUsedEndPlace, packer.Position());
    return overflow;
}

bool Static2Dynamic(cmcEeprom& image, bool fill)
{
    return Static2DynamicWith(image, fill, datTableList());
}

void Dynamic2Static(cmcEeprom& image)
{
    Unpack(image, datTableList(), false);
}

void prefillStatic(cmcEeprom& image)
{
    Unpack(image, datTableList(), true);
}

bool fits(const cmcEeprom& image, int recordKind, int n, int bank)
{
    const std::uint8_t* b = DocumentBytes(image);
    const int usedEnd = GetBE16(b + datUsedEndPlace);
    const int channelEnd = GetBE16(b + datChannelEndPlace);
    const int free = datDynamicEnd - usedEnd;
    switch (recordKind) {
    case datFitsChannels:
        if (bank == 0) {
            // Main record, extension and digital part of each channel.
            const int need = 65 * n;
            return need < datDynamicEnd - channelEnd && free - need >= 0;
        }
        return 32 * n < datDynamicEnd - channelEnd && free - 32 * n >= 33 * n;
    case datFitsIndividualIds:
        return free >= 16 * n;
    case datFitsTalkGroups:
        return free >= 14 * n;
    case datFitsRepeaters:
        return free >= 10 * n;
    default:
        return usedEnd <= datDynamicEnd;
    }
}

bool fitsOrShowOverflow(const cmcEeprom& image, int recordKind, int n, int bank)
{
    if (fits(image, recordKind, n, bank))
        return true;
    cmcMessageBox(MainText().GetMultiLineText("GI_AppMess_ChErr_Overflow"),
                  MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
    return false;
}

int datChannelsOutsideBanks(const cmcEeprom& /*image*/)
{
    return 0; // every channel of this family belongs to its one bank
}

bool datChannelSlotInUse(const cmcEeprom& image, int slot)
{
    const std::uint8_t* b = DocumentBytes(image);
    const bool receives = (GetBE32(b + 0xFF80 + 32 * slot) & 0x7FFFFFFFu) != 0;
    return receives || b[0x177B5 + 6 * slot] != 0;
}
