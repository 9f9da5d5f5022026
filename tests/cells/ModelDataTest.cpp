#include "MemoryMapFixtures.h"

#include "base/cmcGTex.h"
#include "base/cmcScriptedResponder.h"
#include "base/cmcTextTables.h"
#include "cells/datMemoryMap.h"
#include "cells/indModelData.h"
#include "support/ShippedTexts.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace mapfix;

namespace {
// A default image as the initial file gives it: identification bytes, a packed form.
std::unique_ptr<cmcEeprom> DefaultImage()
{
    auto image = NewImage();
    FillWorkingArea(*image, 100);
    std::uint8_t* b = image->Bytes();
    SetBE16(b + 0x180, 0x8824);
    b[0x182] = 0x11;
    b[0x183] = 0x12;
    b[0x188] = 0x21;
    b[0x189] = 0x22;
    b[0x18A] = 0x23;
    std::memcpy(b + 0x2A0, "ZELK Inc", 8);
    SetBE16(b + 0x2AA, 0x8826);
    SetBE32(b + datModeMirrorPlace, 0);
    SetBE32(b + datHeaderMirrorPlace, 0x5A);
    b[0x107BC] = 0x3C;
    b[0x11A7E] = 0x7E;
    SetCounts(*image, 1, 1, 1);
    EXPECT_FALSE(Static2Dynamic(*image, false));
    return image;
}

// A valid packed image carrying its own working area.
std::unique_ptr<cmcEeprom> ValidImage()
{
    auto image = DefaultImage();
    FillWorkingArea(*image, 101);
    SetBE32(image->Bytes() + datModeMirrorPlace, 0);
    SetBE32(image->Bytes() + datHeaderMirrorPlace, 0x5A);
    SetCounts(*image, 3, 4, 5);
    EXPECT_FALSE(Static2Dynamic(*image, false));
    return image;
}

// Main text table of the given lines, installed for the object's lifetime.
class Texts {
public:
    explicit Texts(std::vector<std::string> lines)
    {
        table_.SetLines(std::move(lines));
        cmcSetTextTables(&table_, nullptr, nullptr);
    }
    ~Texts() { cmcSetTextTables(nullptr, nullptr, nullptr); }
    Texts(const Texts&) = delete;
    Texts& operator=(const Texts&) = delete;

private:
    cmcGTex table_;
};
} // namespace

TEST(ModelDataTest, AddressRangesByMode)
{
    struct Case {
        int mode;
        AddressRange range;
    };
    const Case cases[] = {{0, {0x02A0, 0xFF7F}}, {1, {0, 0xFF7F}}, {2, {0, 0xFF7F}}, {3, {0, 0xFF7F}},
                          {5, {0, 0x00D6}},      {4, {0, 0xFF7F}}, {9, {0, 0xFF7F}}, {-1, {0, 0xFF7F}}};
    for (const Case& c : cases) {
        const AddressRangeList list = indAddressRanges(c.mode);
        ASSERT_EQ(list.Ranges().size(), 1u) << c.mode;
        EXPECT_EQ(list.Ranges()[0], c.range) << c.mode;
        EXPECT_EQ(list.Pairs().back(), AddressRangeList::ListEnd) << c.mode;
    }
}

TEST(ModelDataTest, FileModelCheck)
{
    struct Case {
        int word1;
        int word2;
        int result;
    };
    const Case cases[] = {{0x8826, 0, 0},      {0x8826, 0x0100, 0}, {0x8825, 0, 3},
                          {0x8826, 0x0001, 4}, {0, 0, 3},           {0x8825, 0x0001, 3}};
    for (const Case& c : cases) {
        indModelWords words;
        EXPECT_EQ(words.CheckFileModel(c.word1, c.word2), c.result) << std::hex << c.word1 << " " << c.word2;
        EXPECT_FALSE(words.altMatched);
    }
    // A model with an alternative word notes which word matched, unless frozen.
    indModelWords words;
    words.altWord1 = 0x8827;
    EXPECT_EQ(words.CheckFileModel(0x8827, 0), 0);
    EXPECT_TRUE(words.altMatched);
    words.altFrozen = true;
    EXPECT_EQ(words.CheckFileModel(0x8826, 0), 0);
    EXPECT_TRUE(words.altMatched);
    words.ClearAlternativeFlags();
    EXPECT_FALSE(words.altMatched);
    EXPECT_FALSE(words.altFrozen);
}

TEST(ModelDataTest, ImageCheckStrictAndNot)
{
    struct Case {
        const char* name;
        void (*spoil)(std::uint8_t* b);
        int plain;
        int strict;
    };
    const Case cases[] = {
        {"valid", [](std::uint8_t*) {}, 0, 0},
        {"model word at 0x180", [](std::uint8_t* b) { b[0x181] = 0x25; }, 1, 1},
        {"mode byte 2", [](std::uint8_t* b) { b[0x2A8] = 2; }, 1, 1},
        {"mode byte 1", [](std::uint8_t* b) { b[0x2A8] = 1; }, 0, 0},
        {"signature at 0x2A0", [](std::uint8_t* b) { b[0x2A7] = 'C'; }, 0, 1},
        {"model word at 0x2AA", [](std::uint8_t* b) { SetBE16(b + 0x2AA, 0x8824); }, 0, 1},
        {"end signature", [](std::uint8_t* b) { b[GetBE16(b + 0x2B2) - 1] = 0; }, 0, 1},
        {"used end before the base", [](std::uint8_t* b) { SetBE16(b + 0x2B2, 0x0001); }, 0, 1},
        {"used end past the radio area", [](std::uint8_t* b) { SetBE16(b + 0x2B2, 0xFFFF); }, 0, 1},
        {"signature in the working area",
         [](std::uint8_t* b) {
             std::memcpy(b + 0xFF80, "ZELK Inc", 8);
             SetBE16(b + 0x2B2, 0xFF88);
         },
         0, 1},
        {"other base, same signature place",
         [](std::uint8_t* b) {
             SetBE16(b + 0x2B4, 0x0400);
             SetBE16(b + 0x2B2, GetBE16(b + 0x2B2) + 0x60);
         },
         0, 0},
    };
    for (const Case& c : cases) {
        auto image = ValidImage();
        c.spoil(image->Bytes());
        EXPECT_EQ(indCheckImage(*image, false), c.plain) << c.name;
        EXPECT_EQ(indCheckImage(*image, true), c.strict) << c.name;
    }
}

TEST(ModelDataTest, NewerDataCheck)
{
    // Data whose table 21 carries the newer-data mark, as another program version writes it.
    auto marked = ValidImage();
    marked->SetByte(0x11A7D, 0x01);
    ASSERT_FALSE(Static2Dynamic(*marked, false));
    auto file = RadioCopy(*marked, 102);
    file->SetByte(0x11A7D, 0);
    auto before = NewImage();
    before->CopyFrom(*file);

    EXPECT_EQ(indCheckNewerData(*file, 1), 1);
    EXPECT_EQ(indCheckNewerData(*file, 0), 0);
    EXPECT_TRUE(file->Equals(*before)); // checked on a copy

    auto cleanSource = ValidImage();
    cleanSource->SetByte(0x11A7D, 0);
    ASSERT_FALSE(Static2Dynamic(*cleanSource, false));
    auto clean = RadioCopy(*cleanSource, 103);
    clean->SetByte(0x11A7D, 1); // the working area alone does not count
    EXPECT_EQ(indCheckNewerData(*clean, 1), 0);

    {
        ShippedTexts texts; // ships the lockout on
        EXPECT_EQ(indCheckNewerData(*file), 1);
        EXPECT_EQ(indCheckNewerData(*clean), 0);
    }
    {
        Texts texts({"#GI_Sys_LockoutNewerData", "0"});
        EXPECT_EQ(indCheckNewerData(*file), 0);
    }
    {
        Texts texts({"#GI_Sys_LockoutNewerData", "off"}); // not a number: the lockout stays on
        EXPECT_EQ(indCheckNewerData(*file), 1);
    }
}

TEST(ModelDataTest, OverlayIntegers)
{
    Texts texts(
        {"#A", "12", "#B", "  -3 ", "#C", "7 days", "#D", "", "#E", "x1", "#F", "+", "#G", "99999999999"});
    EXPECT_EQ(indOverlayInteger("A", 1), 12);
    EXPECT_EQ(indOverlayInteger("B", 1), -3);
    EXPECT_EQ(indOverlayInteger("C", 1), 7);
    EXPECT_EQ(indOverlayInteger("D", 1), 1);
    EXPECT_EQ(indOverlayInteger("E", 5), 5);
    EXPECT_EQ(indOverlayInteger("F", 5), 5);
    EXPECT_EQ(indOverlayInteger("G", 0), 2147483647);
}

TEST(ModelDataTest, ShippedModelSettings)
{
    ShippedTexts texts;
    EXPECT_EQ(indOverlayInteger("GI_Sys_BRC", 1), 0);
    EXPECT_EQ(indOverlayInteger("GI_Sys_LockoutNewerData", 0), 1);
}

TEST(ModelDataTest, AfterLoadFillsTheSecondCopiesOfOlderData)
{
    auto defaults = DefaultImage();
    for (const bool older : {true, false}) {
        auto image = ValidImage();
        std::uint8_t* b = image->Bytes();
        b[0x10BFE] = older ? 0x00 : 0x01;
        const std::vector<std::uint8_t> first(b + 0x11841, b + 0x11841 + 4);
        const std::vector<std::uint8_t> second(b + 0x11841 + 0x2C, b + 0x11841 + 0x30);
        const std::uint8_t group = b[0x11841 + 52 * 10 + 0x1C];
        const std::uint8_t b46 = b[0x10B46];
        ASSERT_FALSE(Static2Dynamic(*image, false));
        indModelWords words;
        words.altMatched = true;
        indAfterLoad(*image, *defaults, words, 1);
        EXPECT_FALSE(words.altMatched);
        if (older) {
            EXPECT_EQ(b[0x10C00], b46);
            EXPECT_EQ(b[0x10C01], 0);
            EXPECT_EQ(std::vector<std::uint8_t>(b + 0x11841 + 0x2C, b + 0x11841 + 0x30), first);
            EXPECT_EQ(b[0x11841 + 0x30], 0xFF);
            EXPECT_EQ(b[0x11841 + 52 * 10 + 0x25], group);
            EXPECT_EQ(b[0x11841 + 52 * 10 + 0x28], 0);
            EXPECT_EQ(b[0x103D4 + 12 * 31 + 4], b[0x103D4 + 12 * 31]);
            EXPECT_EQ(b[0x103D4 + 12 * 31 + 11], 0xFF);
            EXPECT_EQ(b[0x115C1 + 20 * 31 + 2], b[0x115C1 + 20 * 31]);
            EXPECT_EQ(b[0x115C1 + 20 * 31 + 3], 0);
        } else {
            EXPECT_EQ(std::vector<std::uint8_t>(b + 0x11841 + 0x2C, b + 0x11841 + 0x30), second);
        }
    }
}

TEST(ModelDataTest, BeforeSaveFoldsBackCopiesIdentificationAndPacks)
{
    auto defaults = DefaultImage();
    auto image = ValidImage();
    std::uint8_t* b = image->Bytes();
    // Identification the default image must replace, and the mode mirror of the loaded data.
    b[0x182] = 0;
    b[0x18A] = 0;
    std::memcpy(b + 0x2A0, "OTHER co", 8);
    b[0x107BC] = 0;
    SetBE32(b + datModeMirrorPlace, 1);
    b[0x10BFE] = 0x00;
    b[0x10C00] = 0x35;
    b[0x10C02] = 0x47;
    std::uint8_t* group = b + 0x11841 + 52 * 3;
    group[0x2C] = 0xA1;
    group[0x2D] = 0xA2;
    group[0x2E] = 0xA3;
    group[0x2F] = 0xB4;
    group[0x25] = 0x0D;
    std::uint8_t* entry = b + 0x103D4 + 12 * 7;
    std::memcpy(entry + 4, "\x01\x02\x03\x9C", 4);
    b[0x115C1 + 20 * 5 + 2] = 0x0F;
    b[0x11A7D] = 0x01;
    b[0x11A7E] = 0x00;

    indModelWords words;
    words.altMatched = true;
    indBeforeSave(*image, *defaults, indSaveStage::BeforeSave, words, 1);

    EXPECT_FALSE(words.altMatched);
    EXPECT_EQ(b[0x10B46], 0x34);
    EXPECT_EQ(b[0x10B47], 0x46);
    EXPECT_EQ(std::vector<std::uint8_t>(group, group + 4),
              (std::vector<std::uint8_t>{0xA1, 0xA2, 0xA3, 0xBF}));
    EXPECT_EQ(group[0x1C], 0x0C);
    EXPECT_EQ(std::vector<std::uint8_t>(entry, entry + 4), (std::vector<std::uint8_t>{1, 2, 3, 0x9F}));
    EXPECT_EQ(b[0x115C1 + 20 * 5], 0x0E);
    EXPECT_EQ(b[0x10BFE] & 1, 1);
    EXPECT_EQ(b[0x11A7D], 0);
    EXPECT_EQ(b[0x11A7E], 0x7E);
    for (const auto& [from, to] :
         std::vector<std::pair<int, int>>{{0x180, 0x183}, {0x188, 0x18A}, {0x2A0, 0x2AB}, {0x107BC, 0x107BC}})
        EXPECT_TRUE(SameBytes(*image, *defaults, from, to - from + 1)) << std::hex << from;

    // Packed: a strictly valid image whose packed form carries the folded fields and the
    // cleared newer-data mark.
    EXPECT_EQ(indCheckImage(*image, true), 0);
    EXPECT_EQ(indCheckNewerData(*image, 1), 0);
    auto reread = RadioCopy(*image, 104);
    Dynamic2Static(*reread);
    EXPECT_TRUE(SameBytes(*reread, *image, 0x10B2E, 222));     // table 8
    EXPECT_TRUE(SameBytes(*reread, *image, 0x11841, 52 * 11)); // table 20
    EXPECT_EQ(reread->GetByte(datModeBytePlace), 0);           // the default image's mode byte
}

TEST(ModelDataTest, SummaryFieldsAgreeWithTheRecords)
{
    auto defaults = DefaultImage();
    auto image = ValidImage();
    std::uint8_t* b = image->Bytes();
    SetBE16(b + datBankCountPlace, 40);
    SetBE16(b + datIndividualIdCountPlace, 700);
    SetBE16(b + datTalkGroupCountPlace, 3);
    b[0x176E0] = 25;
    b[0x176E5 + 7] = 21;
    // Channels 0 to 3 blank, channel 4 digital only, channel 6 analog.
    for (int slot = 0; slot < 32; ++slot) {
        SetBE32(b + 0xFF80 + 32 * slot, 0x80000000u); // only the channel flag
        b[0x177B5 + 6 * slot] = 0;
    }
    b[0x177B5 + 6 * 4] = 1;
    SetBE32(b + 0xFF80 + 32 * 6, 150'000'000);
    // MSK texts: group 0 blank, group 1 with a character after blanks, call entry 2 NUL.
    std::memset(b + 0x11ABF + 2, ' ', 12);
    b[0x11ABF + 29] = 0xFF;
    std::memset(b + 0x11ABF + 42 + 2, ' ', 12);
    b[0x11ABF + 42 + 2 + 11] = 'Z';
    b[0x11ABF + 42 + 29] = 0x00;
    std::memset(b + 0x11C17 + 40, 0, 12);
    b[0x11C17 + 40 + 13] = 0xFF;

    indRecomputeSummaryFields(*image, *defaults, 2);

    EXPECT_EQ(BE16(*image, datBankCountPlace), 32);
    EXPECT_EQ(BE16(*image, datIndividualIdCountPlace), 500);
    EXPECT_EQ(BE16(*image, datTalkGroupCountPlace), 3);
    EXPECT_EQ(image->GetByte(0x176E0), 20);
    EXPECT_EQ(image->GetByte(0x176E5 + 7), 0);
    EXPECT_EQ(BE16(*image, 0x107BE), 4);
    EXPECT_EQ(image->GetByte(0x11ABF + 29), 0xFB);
    EXPECT_EQ(image->GetByte(0x11ABF + 42 + 29), 0x04);
    EXPECT_EQ(image->GetByte(0x11C17 + 40 + 13), 0xDF);
    // LCD font size 2: bit 7 of the second and the whole third byte of every glyph field.
    for (const int k : {0, 15}) {
        for (const int field : {0, 5}) {
            const int at = 0x10C32 + 24 * k + 3 * field;
            EXPECT_EQ(image->GetByte(at + 1) & 0x80, 0);
            EXPECT_EQ(image->GetByte(at + 2), 0);
        }
    }

    // No channel in use; font size 1 leaves the glyphs alone.
    for (int slot = 0; slot < 32; ++slot)
        b[0x177B5 + 6 * slot] = 0;
    SetBE32(b + 0xFF80 + 32 * 6, 0);
    b[0x10C32 + 2] = 0x55;
    indRecomputeSummaryFields(*image, *defaults, 1);
    EXPECT_EQ(BE16(*image, 0x107BE), 0);
    EXPECT_EQ(image->GetByte(0x10C32 + 2), 0x55);
}

TEST(ModelDataTest, SortedIndexLists)
{
    auto defaults = DefaultImage();
    auto image = ValidImage();
    std::uint8_t* b = image->Bytes();
    const std::uint32_t ids[] = {30, 10, 0xFFFF0000u, 10, 5};
    for (int i = 0; i < 5; ++i)
        SetBE32(b + 0x121C7 + 16 * i, ids[i]);
    SetBE16(b + datIndividualIdCountPlace, 5);
    const int groups[] = {0x8000, 2, 2, 1};
    for (int i = 0; i < 4; ++i)
        SetBE16(b + 0x14109 + 14 * i, groups[i]);
    SetBE16(b + datTalkGroupCountPlace, 4);

    indRebuildSortedIndexLists(*image, *defaults);

    const auto list = [&](int place, int n) {
        std::vector<int> v;
        for (int i = 0; i < n; ++i)
            v.push_back(GetBE16(b + place + 2 * i));
        return v;
    };
    EXPECT_EQ(list(0x15E7C, 5), (std::vector<int>{4, 1, 3, 0, 2})); // equal IDs keep entry order
    EXPECT_EQ(list(0x164F8, 4), (std::vector<int>{3, 1, 2, 0}));
    EXPECT_TRUE(SameBytes(*image, *defaults, 0x15E7C + 10, 990)); // the rest from the default image
    EXPECT_TRUE(SameBytes(*image, *defaults, 0x164F8 + 8, 992));

    // A full list with many equal IDs: ordered by ID, equal IDs in entry order.
    std::vector<int> expected;
    for (int key = 0; key < 5; ++key) {
        for (int i = 0; i < 500; ++i) {
            if ((i * 7) % 5 == key)
                expected.push_back(i);
        }
    }
    for (int i = 0; i < 500; ++i)
        SetBE16(b + 0x14109 + 14 * i, (i * 7) % 5);
    SetBE16(b + datTalkGroupCountPlace, 500);
    indRebuildSortedIndexLists(*image, *defaults);
    EXPECT_EQ(list(0x164F8, 500), expected);
}

TEST(ModelDataTest, RepeaterRecordRoundTrip)
{
    auto defaults = DefaultImage();
    auto image = ValidImage();
    std::uint8_t* b = image->Bytes();
    b[0x176E0] = 3;
    b[0x176E5] = 0x80;
    b[0x176E5 + 7] = 2;

    const indRepeaterRecord record = indBuildRepeaterRecord(*image, 0);
    EXPECT_EQ(record[0], 0x80);
    EXPECT_EQ(record[1], 2);
    EXPECT_EQ(record[2], 24);
    EXPECT_EQ(record[3], 0);
    EXPECT_EQ(record[4], 3);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 5, record.begin() + 14),
              std::vector<std::uint8_t>(9, 0));
    EXPECT_EQ(std::memcmp(record.data() + 14, b + 0x176ED, 30), 0);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 44, record.end()),
              std::vector<std::uint8_t>(170, 0));

    // Imported into an image with five other repeaters: three and the blanks after them.
    auto other = ValidImage();
    std::uint8_t* o = other->Bytes();
    FillWorkingArea(*other, 105);
    o[0x176E0] = 5;
    o[0x176E5] = 0x00;
    cmcScriptedResponder responder;
    const indRepeaterImport result = indImportRepeaterRecord(*other, *defaults, 0, record);
    EXPECT_TRUE(result.imported);
    EXPECT_EQ(result.oldCount, 5);
    EXPECT_EQ(result.newCount, 3);
    EXPECT_TRUE(responder.Boxes().empty());
    EXPECT_EQ(o[0x176E0], 3);
    EXPECT_EQ(o[0x176E5] & 0x80, 0x80);
    EXPECT_EQ(o[0x176E5 + 7], 2);
    EXPECT_TRUE(SameBytes(*other, *image, 0x176ED, 30));
    EXPECT_TRUE(SameBytes(*other, *defaults, 0x176ED + 30, 170));
    EXPECT_EQ(indBuildRepeaterRecord(*other, 0), record);
}

TEST(ModelDataTest, ForeignRepeaterRecordsAreRefused)
{
    ShippedTexts texts;
    auto defaults = DefaultImage();
    indRepeaterRecord good{};
    good[2] = 24;
    good[4] = 2;
    good[1] = 1;
    struct Case {
        const char* name;
        int at;
        std::uint8_t value;
    };
    const Case cases[] = {
        {"marker", 2, 23}, {"too many repeaters", 4, 21}, {"home past the repeaters", 1, 3}};
    for (const Case& c : cases) {
        indRepeaterRecord bad = good;
        bad[static_cast<std::size_t>(c.at)] = c.value;
        auto image = ValidImage();
        auto before = NewImage();
        before->CopyFrom(*image);
        cmcScriptedResponder responder;
        const indRepeaterImport result = indImportRepeaterRecord(*image, *defaults, 0, bad);
        EXPECT_FALSE(result.imported) << c.name;
        EXPECT_TRUE(image->Equals(*before)) << c.name;
        ASSERT_EQ(responder.Boxes().size(), 1u) << c.name;
        EXPECT_EQ(responder.Boxes()[0].text, texts.Main().GetMultiLineText("GI_AppMess_RptFile_BadData"));
        EXPECT_EQ(responder.Boxes()[0].icon, cmcMbIcon::Error);
    }
    auto image = ValidImage();
    cmcScriptedResponder responder;
    EXPECT_FALSE(indImportRepeaterRecord(*image, *defaults, 0, std::span(good.data(), 200)).imported);
    EXPECT_TRUE(indImportRepeaterRecord(*image, *defaults, 0, good).imported);
}
