#include "base/cmcHash.h"
#include "base/cmcHash2.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <optional>

namespace {
// The value stored under key, or none.
template <class Table> auto ValueOf(const Table& table, std::string_view key)
{
    const auto* node = table.Find(key);
    return node ? std::optional(node->value) : std::nullopt;
}
} // namespace

TEST(HashTest, HashFunctionValues)
{
    struct Case {
        const char* key;
        std::uint32_t buckets;
        std::uint32_t hash;
        std::uint32_t bucket;
    };
    // Worked by hand; with 1031 buckets the step starts at 515.
    const Case cases[] = {
        {"", 1031, 0, 0},
        // 'a' = 97: 0*2 + 515 + 97.
        {"a", 1031, 612, 612},
        // 'a': 612; 'b' (98) is even, step stays: 2*612 + 515 + 98 = 1837 -> 1837 - 1031.
        {"ab", 1031, 1837, 806},
        // 'b': 515 + 98 = 613; the next byte 'a' (97) is odd, step 257: 2*613 + 257 + 97.
        {"ba", 1031, 1580, 549},
        // Bytes are signed: 0xFF is -1, 0x80 is -128.
        {"\xFF", 1031, 514, 514},
        {"\x80", 1031, 387, 387},
        // 514; next byte 0xFF is odd, step 257: 2*514 + 257 - 1 = 1284 -> 1284 - 1031.
        {"\xFF\xFF", 1031, 1284, 253},
        // 4 buckets, step 2: 2 + 97 = 99, step 1; 198 + 1 + 97 = 296, step 0 resets to 2;
        // 592 + 2 + 97 = 691 -> 691 mod 4.
        {"aaa", 4, 691, 3},
        // 3 buckets, step 1: 1 - 128 = -127 wraps to 2^32 - 127; taken unsigned that is
        // 0 modulo 3 (2^32 is 1 modulo 3), where a signed remainder would give -1.
        {"\x80", 3, 4294967169U, 0},
        // Long enough to wrap many times; value worked out apart from this code.
        {"AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 1031, 449228820U, 469},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cmcHashValue(c.key, c.buckets), c.hash) << c.key;
        EXPECT_EQ(cmcHashBucket(c.key, c.buckets), c.bucket) << c.key;
    }
}

TEST(HashTest, InsertAndFindAlongOneChain)
{
    cmcHash table(1); // every key in the same chain
    table.Insert("clRed", 0x0000FF);
    table.Insert("clBlue", 0xFF0000);
    table.Insert("clred", 7);
    EXPECT_EQ(ValueOf(table, "clRed"), 0x0000FF);
    EXPECT_EQ(ValueOf(table, "clBlue"), 0xFF0000);
    EXPECT_EQ(ValueOf(table, "clred"), 7);
    const auto* blue = table.Find("clBlue");
    ASSERT_NE(blue, nullptr);
    EXPECT_EQ(blue->key, "clBlue");
    EXPECT_EQ(table.Find("clBlu"), nullptr);
    EXPECT_EQ(table.Find(""), nullptr);
    EXPECT_EQ(table.Size(), 3U);

    EXPECT_EQ(cmcHash().BucketCount(), 1031U);
    EXPECT_EQ(cmcHash(0).BucketCount(), 1031U);
    EXPECT_EQ(cmcHash(17).BucketCount(), 17U);
}

TEST(HashTest, DuplicateKeyIsFatalAndKeepsTheFirstValue)
{
    const FatalCatcher catcher;
    cmcHash numbers;
    numbers.Insert("clWhite", 1);
    try {
        numbers.Insert("clWhite", 2);
        ADD_FAILURE() << "no fatal stop";
    } catch (const FatalStop& stop) {
        EXPECT_STREQ(stop.what(), "Overlapped Hash table.");
    }
    EXPECT_EQ(ValueOf(numbers, "clWhite"), 1);
    EXPECT_EQ(numbers.Size(), 1U);

    struct Record {
        int rows = 0;
    };
    Record first;
    Record second;
    cmcHash2<Record> records(0);
    records.Insert("GI_Sheet_Sel#4", &first);
    records.Insert("GI_Sheet_Sel#5", &second);
    EXPECT_EQ(ValueOf(records, "GI_Sheet_Sel#5"), &second);
    try {
        records.Insert("GI_Sheet_Sel#4", &second);
        ADD_FAILURE() << "no fatal stop";
    } catch (const FatalStop& stop) {
        EXPECT_STREQ(stop.what(), "Overlapped Hash2 table.");
    }
    EXPECT_EQ(ValueOf(records, "GI_Sheet_Sel#4"), &first);
}
