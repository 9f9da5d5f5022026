#include "image/AddressRange.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
std::vector<AddressRange> InForce(const AddressRangeList& list)
{
    std::vector<AddressRange> ranges;
    for (const AddressRange& r : list)
        ranges.push_back(r);
    return ranges;
}
} // namespace

TEST(AddressRangeTest, ListIsReadUpToTheFirstEndingPair)
{
    const AddressRangeList list{
        {0x0000, 0x00D6}, {0x0100, 0x01FF}, AddressRangeList::ListEnd, {0x0300, 0x03FF}};
    EXPECT_EQ(list.Pairs().size(), 4u);
    EXPECT_EQ(InForce(list), (std::vector<AddressRange>{{0x0000, 0x00D6}, {0x0100, 0x01FF}}));
    EXPECT_EQ(list.ByteCount(), 0xD7 + 0x100);

    struct Case {
        int address;
        bool inside;
    };
    for (const Case& c : {Case{0x0000, true}, Case{0x00D6, true}, Case{0x00D7, false}, Case{0x00FF, false},
                          Case{0x0100, true}, Case{0x01FF, true}, Case{0x0200, false}, Case{-1, false},
                          Case{0x0350, false} /* after the end pair */}) {
        EXPECT_EQ(list.Contains(c.address), c.inside) << c.address;
    }
}

TEST(AddressRangeTest, EndingPairsAndEmptyLists)
{
    // Any pair whose end is below its start ends the list, not only (1, 0); a
    // one-address pair (start == end) does not.
    const AddressRangeList single{{7, 7}, {10, 9}, {0, 100}};
    EXPECT_EQ(InForce(single), (std::vector<AddressRange>{{7, 7}}));
    EXPECT_EQ(single.ByteCount(), 1);
    EXPECT_TRUE(single.Contains(7));
    EXPECT_FALSE(single.Contains(50));

    const AddressRangeList endsAtOnce{AddressRangeList::ListEnd, {0, 0xFF7F}};
    EXPECT_TRUE(endsAtOnce.IsEmpty());
    EXPECT_FALSE(endsAtOnce.Contains(0));
    EXPECT_EQ(endsAtOnce.ByteCount(), 0);

    AddressRangeList built;
    EXPECT_TRUE(built.IsEmpty());
    built.Add({0x02A0, 0xFF7F});
    EXPECT_FALSE(built.IsEmpty());
    EXPECT_EQ(built.ByteCount(), 0xFF7F - 0x02A0 + 1);
    built.Add(AddressRangeList::ListEnd);
    built.Add({0, 0x029F});
    EXPECT_FALSE(built.Contains(0));
    EXPECT_TRUE(built.Contains(0x02A0));
}

TEST(AddressRangeTest, RangeInForceCanBeAdjusted)
{
    // The end of a read is replaced by the last address the radio reports.
    AddressRangeList list{{0x0000, 0xFF7F}, AddressRangeList::ListEnd};
    list.Ranges()[0].end = 0x7FFF;
    EXPECT_TRUE(list.Contains(0x7FFF));
    EXPECT_FALSE(list.Contains(0x8000));
    EXPECT_EQ(list.ByteCount(), 0x8000);
}
