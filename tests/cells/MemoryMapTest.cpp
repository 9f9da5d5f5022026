#include "MemoryMapFixtures.h"

#include "base/cmcGTex.h"
#include "base/cmcScriptedResponder.h"
#include "cells/datMemoryMap.h"
#include "support/ShippedTexts.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace mapfix;

namespace {
constexpr int End = datDynamicEnd;

int PackedBytesBefore4()
{
    // Tables 2 (no channels outside banks), 7, 15, 6, 62, 18, 27, 32, 77.
    return 0 + 16 + 4 * 17 + 32 + 2 + 12 * 32 + 12 * 32 + 12 * 8 + 12 * 10;
}

datTableDef Filler(int id, int bytes)
{
    return {id, bytes, datCountRule::Fixed, 1, cmcWorkingAreaStart, datTableUse::Packed, false, 0};
}

std::vector<datTableDef> Rows(std::initializer_list<int> ids)
{
    std::vector<datTableDef> rows;
    for (const int id : ids)
        rows.push_back(*datFindTable(id));
    return rows;
}

bool AllZero(const cmcEeprom& image, int from, int to)
{
    return std::all_of(image.Bytes() + from, image.Bytes() + to, [](std::uint8_t v) { return v == 0; });
}
} // namespace

TEST(MemoryMapTest, PackWithoutChannelsWritesHeaderDescriptorsAndSignature)
{
    auto image = NewImage();
    FillWorkingArea(*image, 1);
    SetCounts(*image, 0, 3, 4);
    SetBE32(image->Bytes() + datModeMirrorPlace, 0x00000001);
    SetBE32(image->Bytes() + datHeaderMirrorPlace, 0x000000A5);

    ASSERT_FALSE(Static2Dynamic(*image, false));

    EXPECT_EQ(BE16(*image, datBasePlace), 0x03A0);
    EXPECT_EQ(image->GetByte(datModeBytePlace), 1);
    EXPECT_EQ(image->GetByte(datHeaderBytePlace), 0xA5);
    // No channels and bit 6 clear: no bank tables; the channel end follows table 77.
    EXPECT_EQ(BE16(*image, datChannelEndPlace), 0x03A0 + PackedBytesBefore4());

    const std::vector<Descriptor> list = Descriptors(*image);
    EXPECT_EQ(Find(list, 4), nullptr);
    EXPECT_EQ(Find(list, 5), nullptr);
    ASSERT_NE(Find(list, 3), nullptr);
    EXPECT_EQ(Find(list, 3)->count, 0);
    EXPECT_EQ(Find(list, 3)->address, BE16(*image, datChannelEndPlace));
    EXPECT_EQ(Find(list, 34)->count, 3);
    EXPECT_EQ(Find(list, 35)->count, 4);
    EXPECT_EQ(Find(list, 1), nullptr); // the descriptor table's own descriptor sits at 0x2C0 only

    // Packed back to back from the base, each table holding its static records.
    int position = 0x03A0;
    for (const Descriptor& d : list) {
        const datTableDef* t = datFindTable(d.ptblId);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(d.address, position) << d.ptblId;
        EXPECT_EQ(d.recordSize, t->recordSize) << d.ptblId;
        EXPECT_TRUE(SameRecords(*image, d.address, t->staticPlace, d.recordSize * d.count)) << d.ptblId;
        position += d.recordSize * d.count;
    }
    EXPECT_EQ(list.size(), 59u); // 61 packed tables less the two bank tables
    EXPECT_EQ(BE16(*image, datDescriptorTablePlace + 2), 10);
    EXPECT_EQ(BE16(*image, datDescriptorTablePlace + 6), position);
    position += 10 * static_cast<int>(list.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image->Bytes() + position), 8), "ZELK Inc");
    EXPECT_EQ(BE16(*image, datUsedEndPlace), position + 8);
    EXPECT_TRUE(AllZero(*image, position + 8, End));
}

TEST(MemoryMapTest, ChannelBlockCountRules)
{
    struct Case {
        int bankChannels;
        bool keepTables; // bit 6 of 0x10BA7
        bool fill;
        int expected; // records of tables 4 and 5; -1 when they are not packed
    };
    const Case cases[] = {
        {3, false, false, 3}, {3, false, true, 3}, {3, true, true, 32},    {0, true, false, 0},
        {0, false, true, -1}, {0, true, true, 32}, {40, false, false, 32}, // a corrupt count stays in the
                                                                           // slots
    };
    for (const Case& c : cases) {
        auto image = NewImage();
        FillWorkingArea(*image, 2);
        SetCounts(*image, c.bankChannels, 1, 1, c.keepTables);
        ASSERT_FALSE(Static2Dynamic(*image, c.fill));
        const std::vector<Descriptor> list = Descriptors(*image);
        const Descriptor* main = Find(list, 4);
        const Descriptor* extension = Find(list, 5);
        if (c.expected < 0) {
            EXPECT_EQ(main, nullptr);
            EXPECT_EQ(extension, nullptr);
            continue;
        }
        ASSERT_NE(main, nullptr) << c.bankChannels;
        ASSERT_NE(extension, nullptr);
        EXPECT_EQ(main->count, c.expected) << c.bankChannels << " fill " << c.fill;
        EXPECT_EQ(extension->count, c.expected);
        EXPECT_EQ(extension->address, main->address + 32 * c.expected);
        EXPECT_EQ(BE16(*image, datChannelEndPlace), extension->address + 27 * c.expected);
        EXPECT_TRUE(SameRecords(*image, main->address, 0xFF80, 32 * c.expected));
        EXPECT_TRUE(SameRecords(*image, extension->address, 0x107CE, 27 * c.expected));
    }
}

TEST(MemoryMapTest, FillPacksAsManyChannelSlotsAsFit)
{
    auto image = NewImage();
    FillWorkingArea(*image, 3);
    SetCounts(*image, 2, 1, 1, true);
    // 1480 bytes stay free before the channel block: 25 channels of 59 bytes fit.
    std::vector<datTableDef> tables{Filler(100, 40000), Filler(101, 23000)};
    for (const datTableDef& t : Rows({2, 4, 5, 3, 1}))
        tables.push_back(t);
    const int block = 0x03A0 + 63000;

    // The descriptor table no longer fits after them: an overflow.
    EXPECT_TRUE(Static2DynamicWith(*image, true, tables));
    EXPECT_EQ(BE16(*image, datChannelEndPlace), block + 25 * 59);
    EXPECT_TRUE(SameRecords(*image, block, 0xFF80, 25 * 32));
    EXPECT_TRUE(SameRecords(*image, block + 25 * 32, 0x107CE, 25 * 27));

    // Without fill the bank's two channels are packed, and the rest fits.
    EXPECT_FALSE(Static2DynamicWith(*image, false, tables));
    EXPECT_EQ(BE16(*image, datChannelEndPlace), block + 2 * 59);
}

TEST(MemoryMapTest, OverflowLeavesLaterTablesOutAndNoSignature)
{
    auto image = NewImage();
    FillWorkingArea(*image, 4);
    SetCounts(*image, 1, 1, 1);
    ASSERT_FALSE(Static2Dynamic(*image, false)); // a readable packed form first
    const int usedEnd = BE16(*image, datUsedEndPlace);

    const std::vector<datTableDef> tables{*datFindTable(7), Filler(100, 40000), Filler(101, 24465),
                                          *datFindTable(15), *datFindTable(1)};
    EXPECT_TRUE(Static2DynamicWith(*image, false, tables));
    EXPECT_TRUE(SameRecords(*image, 0x03A0, 0x10380, 16));
    EXPECT_TRUE(SameRecords(*image, 0x03A0 + 16, cmcWorkingAreaStart, 40000));
    EXPECT_TRUE(AllZero(*image, 0x03A0 + 16 + 40000, End)); // no second filler, table 15 or signature
    EXPECT_EQ(BE16(*image, datUsedEndPlace), usedEnd);
    EXPECT_EQ(BE16(*image, datDescriptorTablePlace), 0); // no stale descriptor table

    // Such an image is not unpacked: the static form keeps its contents.
    auto before = NewImage();
    before->CopyFrom(*image);
    Dynamic2Static(*image);
    EXPECT_TRUE(image->Equals(*before));
}

TEST(MemoryMapTest, DescriptorTableAndSignatureMustFitExactly)
{
    // Fillers leave room for the descriptor table (2 descriptors, 20 bytes) and the signature.
    struct Case {
        int freeBytes;
        bool overflow;
    };
    for (const Case c : {Case{28, false}, Case{27, true}, Case{19, true}}) {
        auto image = NewImage();
        const std::vector<datTableDef> tables{Filler(100, 40000), Filler(101, 24480 - c.freeBytes),
                                              *datFindTable(1)};
        EXPECT_EQ(Static2DynamicWith(*image, false, tables), c.overflow) << c.freeBytes;
        if (!c.overflow) {
            EXPECT_EQ(BE16(*image, datUsedEndPlace), End);
        }
    }
}

TEST(MemoryMapTest, DuplicatePtblIdIsFatal)
{
    FatalCatcher catcher;
    auto image = NewImage();
    const std::vector<datTableDef> tables = Rows({7, 15, 7, 1});
    try {
        (void)Static2DynamicWith(*image, false, tables);
        FAIL() << "a duplicate PTBL-ID must stop the program";
    } catch (const FatalStop& stop) {
        EXPECT_STREQ(
            stop.what(),
            "### BoobyTrap ###\nError Detect in Static2Dynaimc Sequence.\n\nDuplicate PTBL-ID : '7'");
    }
}

TEST(MemoryMapTest, PackUnpackRoundTrip)
{
    auto source = NewImage();
    FillWorkingArea(*source, 5);
    SetCounts(*source, 5, 7, 9);
    ASSERT_FALSE(Static2Dynamic(*source, false));

    auto target = RadioCopy(*source, 6);
    auto untouched = NewImage();
    untouched->CopyFrom(*target);
    Dynamic2Static(*target);

    for (const datTableDef& t : datTableList()) {
        int used = t.slots;
        if (t.count == datCountRule::BankChannels)
            used = 5;
        else if (t.count == datCountRule::IndividualIdsUsed)
            used = 7;
        else if (t.count == datCountRule::TalkGroupsUsed)
            used = 9;
        else if (t.count == datCountRule::Descriptors || t.count == datCountRule::ChannelsOutsideBanks)
            continue; // no records; the bank's channels use their slots
        const cmcEeprom& expected = t.use == datTableUse::Packed ? *source : *untouched;
        EXPECT_TRUE(SameBytes(*target, expected, t.staticPlace, t.recordSize * used)) << t.ptblId;
        // Slots past the packed records keep the target's contents.
        const int rest = t.StaticBytes() - t.recordSize * used;
        EXPECT_TRUE(SameBytes(*target, *untouched, t.staticPlace + t.recordSize * used, rest)) << t.ptblId;
    }
    EXPECT_EQ(BE16(*target, datBankCountPlace), 5);
    EXPECT_EQ(BE16(*target, datIndividualIdCountPlace), 7);
    EXPECT_EQ(BE16(*target, datTalkGroupCountPlace), 9);
    EXPECT_EQ(GetBE32(target->Bytes() + datModeMirrorPlace), source->GetByte(datModeMirrorPlace + 3));
    EXPECT_EQ(GetBE32(target->Bytes() + datHeaderMirrorPlace), source->GetByte(datHeaderMirrorPlace + 3));
    // The descriptor copy holds the descriptor list, the rest of it cleared.
    const std::vector<Descriptor> list = Descriptors(*source);
    const int address = BE16(*source, datDescriptorTablePlace + 6);
    EXPECT_TRUE(SameRecords(*target, address, datDescriptorCopyPlace, 10 * static_cast<int>(list.size())));
    EXPECT_TRUE(AllZero(*target, datDescriptorCopyPlace + 10 * static_cast<int>(list.size()),
                        datIndividualIdCountPlace));

    // Packing the unpacked image gives the same packed form.
    auto again = NewImage();
    again->CopyFrom(*target);
    ASSERT_FALSE(Static2Dynamic(*again, false));
    EXPECT_TRUE(SameBytes(*again, *source, 0, cmcWorkingAreaStart));
}

TEST(MemoryMapTest, UnpackFollowsTheBaseTheImageWasPackedWith)
{
    auto source = NewImage();
    FillWorkingArea(*source, 7);
    SetCounts(*source, 4, 2, 3);
    ASSERT_FALSE(Static2Dynamic(*source, false));
    auto expected = RadioCopy(*source, 8);
    Dynamic2Static(*expected);

    // The same data packed by a radio whose dynamic area starts at 0x13A0.
    auto moved = RadioCopy(*source, 8);
    std::uint8_t* b = moved->Bytes();
    const int shift = 0x1000;
    SetBE16(b + datBasePlace, 0x03A0 + shift);
    SetBE16(b + datDescriptorTablePlace + 6, GetBE16(b + datDescriptorTablePlace + 6) + shift);
    const int count = GetBE16(b + datDescriptorTablePlace + 4);
    const int table = BE16(*source, datDescriptorTablePlace + 6);
    for (int i = 0; i < count; ++i)
        SetBE16(b + table + 10 * i + 6, GetBE16(b + table + 10 * i + 6) + shift);
    Dynamic2Static(*moved);

    EXPECT_TRUE(
        SameBytes(*moved, *expected, cmcWorkingAreaStart, datDescriptorCopyPlace - cmcWorkingAreaStart));
}

TEST(MemoryMapTest, UnpackCutsCountsAndSizesToTheStaticSlots)
{
    auto source = NewImage();
    FillWorkingArea(*source, 9);
    SetCounts(*source, 1, 2, 500);
    ASSERT_FALSE(Static2Dynamic(*source, false));
    // The radio lists 600 talk groups: the static place holds 500.
    auto target = RadioCopy(*source, 10);
    const int table = BE16(*source, datDescriptorTablePlace + 6);
    const std::vector<Descriptor> list = Descriptors(*source);
    const auto index =
        std::find_if(list.begin(), list.end(), [](const Descriptor& d) { return d.ptblId == 35; });
    SetBE16At(*target, table + 10 * static_cast<int>(index - list.begin()) + 4, 600);
    auto before = NewImage();
    before->CopyFrom(*target);
    Dynamic2Static(*target);
    EXPECT_EQ(BE16(*target, datTalkGroupCountPlace), 500);
    EXPECT_TRUE(SameBytes(*target, *source, 0x14109, 14 * 500));
    // Table 38 after the talk groups' slots is not in the image and keeps its contents.
    EXPECT_TRUE(SameBytes(*target, *before, 0x15C88, 500));

    // A descriptor with shorter records: 10 bytes of each copied, the source advancing by 10.
    auto shortRecords = RadioCopy(*source, 11);
    SetBE16At(*shortRecords, table + 10 * static_cast<int>(index - list.begin()) + 2, 10);
    SetBE16At(*shortRecords, table + 10 * static_cast<int>(index - list.begin()) + 4, 3);
    auto old = NewImage();
    old->CopyFrom(*shortRecords);
    Dynamic2Static(*shortRecords);
    for (int r = 0; r < 3; ++r) {
        EXPECT_TRUE(SameRecords(*shortRecords, index->address + 10 * r, 0x14109 + 14 * r, 10)) << r;
        EXPECT_TRUE(SameBytes(*shortRecords, *old, 0x14109 + 14 * r + 10, 4)) << r;
    }
    EXPECT_EQ(BE16(*shortRecords, datTalkGroupCountPlace), 3);
}

TEST(MemoryMapTest, UnpackCopiesAtMost90Descriptors)
{
    // 95 descriptors; the 91st names table 7, which must not be unpacked.
    auto image = NewImage();
    FillWorkingArea(*image, 12);
    std::uint8_t* b = image->Bytes();
    SetBE16(b + datBasePlace, 0x03A0);
    const int table = 0x1000;
    for (int i = 0; i < 95; ++i) {
        std::uint8_t* d = b + table + 10 * i;
        SetBE16(d, i == 90 ? 7 : 200 + i);
        SetBE16(d + 2, 16);
        SetBE16(d + 4, 1);
        SetBE16(d + 6, 0x0400);
    }
    std::memset(b + 0x0400, 0x77, 16);
    SetBE16(b + datDescriptorTablePlace, 1);
    SetBE16(b + datDescriptorTablePlace + 2, 10);
    SetBE16(b + datDescriptorTablePlace + 4, 95);
    SetBE16(b + datDescriptorTablePlace + 6, table);
    auto before = NewImage();
    before->CopyFrom(*image);

    Dynamic2Static(*image);
    EXPECT_TRUE(SameRecords(*image, table, datDescriptorCopyPlace, 900));
    EXPECT_TRUE(SameBytes(*image, *before, 0x10380, 16));                  // table 7 untouched
    EXPECT_TRUE(SameBytes(*image, *before, datIndividualIdCountPlace, 4)); // the copy stops before the counts
}

TEST(MemoryMapTest, UnpackCopiesNothingFromOutsideTheRadioArea)
{
    auto source = NewImage();
    FillWorkingArea(*source, 13);
    SetCounts(*source, 1, 4, 1);
    ASSERT_FALSE(Static2Dynamic(*source, false));
    auto target = RadioCopy(*source, 14);
    const int table = BE16(*source, datDescriptorTablePlace + 6);
    const std::vector<Descriptor> list = Descriptors(*source);
    const auto index =
        std::find_if(list.begin(), list.end(), [](const Descriptor& d) { return d.ptblId == 34; });
    // Four individual IDs from 0xFF80 - 16 - 5: only the first lies inside the radio area.
    SetBE16At(*target, table + 10 * static_cast<int>(index - list.begin()) + 6, End - 21);
    auto before = NewImage();
    before->CopyFrom(*target);
    Dynamic2Static(*target);
    EXPECT_TRUE(SameRecords(*target, End - 21, 0x121C7, 16));
    EXPECT_TRUE(SameBytes(*target, *before, 0x121C7 + 16, 16 * 3));
}

TEST(MemoryMapTest, UnpackRaisesTheBankCountToTheLastChannelInUse)
{
    struct Case {
        int packedCount; // the bank count the image carries
        bool fill;       // written with all 32 slots
        int lastInUse;   // -1 for none
        int expected;
    };
    const Case cases[] = {{6, false, 3, 6}, {6, true, 20, 21}, {6, true, 5, 6}, {0, true, -1, 0}};
    for (const Case& c : cases) {
        auto source = NewImage();
        SetCounts(*source, c.packedCount, 1, 1, true);
        if (c.lastInUse >= 0)
            SetBE32(source->Bytes() + 0xFF80 + 32 * c.lastInUse, 146'000'000);
        ASSERT_FALSE(Static2Dynamic(*source, c.fill));
        auto target = RadioCopy(*source, 15);
        std::memset(target->Bytes() + 0xFF80, 0, 32 * 32); // blank main records
        std::memset(target->Bytes() + 0x177B5, 0, 6 * 32); // no digital markers
        SetBE16At(*target, datBankCountPlace, 0);
        Dynamic2Static(*target);
        EXPECT_EQ(BE16(*target, datBankCountPlace), c.expected) << c.packedCount << " " << c.lastInUse;
    }
}

TEST(MemoryMapTest, PrefillFillsBlankTemplatesAndCopiesTheRest)
{
    auto source = NewImage();
    FillWorkingArea(*source, 16);
    SetCounts(*source, 2, 3, 2);
    // Table 23 is never packed by the program; a default image may hold it.
    std::vector<datTableDef> tables(datTableList().begin(), datTableList().end());
    for (datTableDef& t : tables) {
        if (t.ptblId == 23)
            t.use = datTableUse::Packed;
    }
    ASSERT_FALSE(Static2DynamicWith(*source, false, tables));

    auto unpacked = RadioCopy(*source, 17);
    Dynamic2Static(*unpacked);
    auto prefilled = RadioCopy(*source, 17);
    auto before = NewImage();
    before->CopyFrom(*prefilled);
    prefillStatic(*prefilled);

    for (int slot = 0; slot < 500; ++slot)
        ASSERT_TRUE(SameRecords(*prefilled, 0x121C7, 0x121C7 + 16 * slot, 16)) << slot;
    EXPECT_TRUE(SameBytes(*prefilled, *source, 0x121C7, 16));
    EXPECT_TRUE(SameBytes(*prefilled, *source, 0x14109, 14));             // talk group template
    EXPECT_TRUE(SameRecords(*prefilled, 0x10554, 0x10554 + 12 * 31, 12)); // table 27, last slot
    EXPECT_TRUE(SameBytes(*prefilled, *source, 0x10380, 16));             // table 7 copied as unpacked
    EXPECT_TRUE(SameBytes(*prefilled, *source, 0x11AB5, 10));             // table 23 copied
    EXPECT_FALSE(SameBytes(*unpacked, *source, 0x11AB5, 10));             // but only by the preparation
    EXPECT_EQ(BE16(*prefilled, datIndividualIdCountPlace), 3);
    // Table 3 holds no record: its slots stay as they were, up to the bank's extension records.
    EXPECT_TRUE(SameBytes(*prefilled, *before, 0x107CE + 27 * 2, 27 * 30));
}

TEST(MemoryMapTest, FitsAtItsLimits)
{
    struct Case {
        int kind;
        int n;
        int bank;
        int freeAfterUsed;     // 0xFF80 - word(0x2B2)
        int freeAfterChannels; // 0xFF80 - word(0x2B0)
        bool fits;
    };
    const Case cases[] = {
        {datFitsChannels, 1, 0, 65, 1000, true},
        {datFitsChannels, 1, 0, 64, 1000, false}, // exactly 64 bytes left refuse a channel
        {datFitsChannels, 2, 0, 130, 1000, true},
        {datFitsChannels, 1, 0, 65, 65, false}, // the channel tables need more than the channel
        {datFitsChannels, 1, 0, 65, 66, true},
        {datFitsChannels, 1, 1, 65, 32, false},
        {datFitsChannels, 1, 1, 65, 1000, true},
        {datFitsChannels, 1, 1, 64, 1000, false},
        {datFitsChannels, 2, 1, 130, 1000, true},
        {datFitsIndividualIds, 2, 0, 32, 0, true},
        {datFitsIndividualIds, 2, 0, 31, 0, false},
        {datFitsTalkGroups, 3, 0, 42, 0, true},
        {datFitsTalkGroups, 3, 0, 41, 0, false},
        {datFitsRepeaters, 1, 0, 10, 0, true},
        {datFitsRepeaters, 1, 0, 9, 0, false},
        {4, 100, 0, 0, 0, true},
        {4, 1, 0, -1, 0, false},
    };
    auto image = NewImage();
    for (const Case& c : cases) {
        SetBE16At(*image, datUsedEndPlace, End - c.freeAfterUsed);
        SetBE16At(*image, datChannelEndPlace, End - c.freeAfterChannels);
        EXPECT_EQ(fits(*image, c.kind, c.n, c.bank), c.fits)
            << "kind " << c.kind << " n " << c.n << " bank " << c.bank << " free " << c.freeAfterUsed;
    }
}

TEST(MemoryMapTest, OverflowMessageWhenARecordDoesNotFit)
{
    ShippedTexts texts;
    cmcScriptedResponder responder;
    auto image = NewImage();
    SetBE16At(*image, datUsedEndPlace, End - 64);
    SetBE16At(*image, datChannelEndPlace, 0x1000);
    EXPECT_TRUE(fitsOrShowOverflow(*image, datFitsTalkGroups, 1, 0));
    EXPECT_TRUE(responder.Boxes().empty());
    EXPECT_FALSE(fitsOrShowOverflow(*image, datFitsChannels, 1, 0));
    ASSERT_EQ(responder.Boxes().size(), 1u);
    EXPECT_EQ(responder.Boxes()[0].text, texts.Main().GetMultiLineText("GI_AppMess_ChErr_Overflow"));
    EXPECT_EQ(responder.Boxes()[0].caption, texts.Main().GetText("GI_Sys_AppTitle"));
    EXPECT_EQ(responder.Boxes()[0].icon, cmcMbIcon::Error);
}

TEST(MemoryMapTest, UnpackOnlyTablesTheImageCarriedArePackedAgain)
{
    auto image = NewImage();
    SetCounts(*image, 2, 1, 1);
    image->SetByte(datSiteCountPlace, 3);
    const datTableDef& repeaters = *datFindTable(datRepeaterTableId);
    const datTableDef& digital = *datFindTable(datDigitalPartTableId);
    for (int i = 0; i < repeaters.recordSize * 3; ++i)
        image->SetByte(repeaters.staticPlace + i, static_cast<std::uint8_t>(0x40 + i));
    image->SetByte(digital.staticPlace + 6, 0x01); // channel 1 is digital

    // Not carried: the packed form leaves them out.
    ASSERT_FALSE(Static2Dynamic(*image, false));
    EXPECT_EQ(Find(Descriptors(*image), datRepeaterTableId), nullptr);

    // Carried (listed in the descriptor copy of the loaded image): packed with the used counts.
    std::uint8_t* copy = image->Bytes() + datDescriptorCopyPlace;
    SetBE16(copy, datRepeaterTableId);
    SetBE16(copy + 4, 20);
    SetBE16(copy + datDescriptorSize, datDigitalPartTableId);
    SetBE16(copy + datDescriptorSize + 4, 32);
    ASSERT_FALSE(Static2Dynamic(*image, false));
    const std::vector<Descriptor> list = Descriptors(*image);
    ASSERT_NE(Find(list, datRepeaterTableId), nullptr);
    EXPECT_EQ(Find(list, datRepeaterTableId)->count, 3);
    ASSERT_NE(Find(list, datDigitalPartTableId), nullptr);
    EXPECT_EQ(Find(list, datDigitalPartTableId)->count, 2);

    // A fresh image unpacked from that radio memory gets the repeaters and digital parts back.
    auto reopened = RadioCopy(*image, 3);
    Dynamic2Static(*reopened);
    EXPECT_TRUE(SameBytes(*reopened, *image, repeaters.staticPlace, repeaters.recordSize * 3));
    EXPECT_EQ(reopened->GetByte(digital.staticPlace + 6), 0x01);
}
