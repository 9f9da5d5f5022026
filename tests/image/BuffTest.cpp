#include "image/cmcBuff.h"
#include "image/cmcNibble.h"
#include "image/cmcPackedBcd.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {
std::vector<std::uint8_t> Content(const cmcBuff& buff)
{
    return {buff.Data(), buff.Data() + buff.Size()};
}

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

void AppendText(cmcBuff& buff, const std::string& text)
{
    buff.Append(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
}
} // namespace

TEST(BuffTest, NewAndClearedBufferHoldOneSpareByte)
{
    cmcBuff buff;
    EXPECT_EQ(buff.Size(), 0);
    EXPECT_EQ(buff.Capacity(), 1);
    EXPECT_NE(buff.Data(), nullptr);

    AppendText(buff, "some content");
    buff.PopFront();
    buff.Clear();
    EXPECT_EQ(buff.Size(), 0);
    EXPECT_EQ(buff.Capacity(), 1);
    EXPECT_EQ(buff.Consumed(), 0);
}

TEST(BuffTest, GrowthAddsAQuarterOfTheSizeAndFillsWithZero)
{
    cmcBuff buff;
    EXPECT_EQ(buff.Resize(3), 3);
    EXPECT_EQ(buff.Capacity(), 3);
    EXPECT_EQ(buff.Resize(4), 4);
    EXPECT_EQ(buff.Capacity(), 4 + 3 / 4);
    EXPECT_EQ(Content(buff), std::vector<std::uint8_t>(4, 0));

    buff.FillAll(0x99);
    buff.Resize(100);
    EXPECT_EQ(buff.Capacity(), 100 + 4 / 4);
    EXPECT_EQ(*buff.At(3), 0x99);
    EXPECT_EQ(*buff.At(4), 0);
    EXPECT_EQ(*buff.At(99), 0);

    // Shrinking keeps the storage; growing within it shows the old bytes again.
    buff.FillAll(0x42);
    const std::uint8_t* storage = buff.Data();
    EXPECT_EQ(buff.Resize(10), 10);
    EXPECT_EQ(buff.Capacity(), 101);
    buff.Resize(60);
    EXPECT_EQ(buff.Data(), storage);
    EXPECT_EQ(*buff.At(59), 0x42);

    // Growing past the capacity reserves a quarter of the current size (60) beyond it.
    buff.Resize(200);
    EXPECT_EQ(buff.Capacity(), 200 + 15);
    EXPECT_EQ(*buff.At(59), 0x42);
    EXPECT_EQ(*buff.At(60), 0);

    // A negative size empties the buffer instead of corrupting it.
    EXPECT_EQ(buff.Resize(-4), 0);
    EXPECT_EQ(buff.Size(), 0);
}

TEST(BuffTest, ByteByByteAppendsReallocateRarely)
{
    cmcBuff buff;
    int reallocations = 0;
    const std::uint8_t* storage = buff.Data();
    for (int i = 0; i < 100000; ++i) {
        buff.AppendByte(static_cast<std::uint8_t>(i));
        if (buff.Data() != storage) {
            ++reallocations;
            storage = buff.Data();
        }
    }
    ASSERT_EQ(buff.Size(), 100000);
    EXPECT_EQ(*buff.At(99999), static_cast<std::uint8_t>(99999));
    // Growth by a quarter: about log(100000) / log(1.25) plus the small sizes at the start.
    EXPECT_LT(reallocations, 60);
}

TEST(BuffTest, AssignAppendAndFill)
{
    cmcBuff buff;
    AppendText(buff, "abc");
    buff.AppendByte('d');
    buff.AppendFill('-', 3);
    buff.AppendFill('x', 0);
    buff.AppendFill('x', -2);
    buff.Append(nullptr, 0);
    EXPECT_EQ(Content(buff), Bytes("abcd---"));

    cmcBuff other;
    AppendText(other, "XY");
    buff.Append(other);
    EXPECT_EQ(Content(buff), Bytes("abcd---XY"));

    other.Assign(buff);
    EXPECT_EQ(Content(other), Bytes("abcd---XY"));
    const auto text = Bytes("12");
    other.Assign(text.data(), 2);
    EXPECT_EQ(Content(other), Bytes("12"));
    other.FillAll('z');
    EXPECT_EQ(Content(other), Bytes("zz"));

    const cmcBuff copy(buff);
    EXPECT_EQ(Content(copy), Content(buff));
    EXPECT_NE(copy.Data(), buff.Data());
    other = copy;
    EXPECT_EQ(Content(other), Bytes("abcd---XY"));
}

// Sources that lie inside the buffer itself stay valid while the buffer grows.
TEST(BuffTest, CopiesFromItselfAreSafe)
{
    cmcBuff buff;
    AppendText(buff, "0123456789");
    buff.Compact(); // capacity exactly 10: the next append must reallocate
    buff.Append(buff);
    EXPECT_EQ(Content(buff), Bytes("01234567890123456789"));

    buff.Compact();
    buff.Append(buff.Data() + 15, 5);
    EXPECT_EQ(Content(buff), Bytes("0123456789012345678956789"));

    buff.Assign(buff.Data() + 2, 3); // overlapping, within the storage
    EXPECT_EQ(Content(buff), Bytes("234"));
    buff.Assign(buff);
    EXPECT_EQ(Content(buff), Bytes("234"));
    buff = buff;
    EXPECT_EQ(Content(buff), Bytes("234"));
}

TEST(BuffTest, PopFrontTakesBytesInOrder)
{
    cmcBuff buff;
    EXPECT_EQ(buff.PopFront(), -1);
    EXPECT_EQ(buff.Size(), 0);

    const std::array<std::uint8_t, 3> bytes{0xFF, 0x00, 0x80};
    buff.Append(bytes.data(), 3);
    const int capacity = buff.Capacity();
    EXPECT_EQ(buff.PopFront(), 255);
    EXPECT_EQ(buff.Size(), 2);
    EXPECT_EQ(buff.Capacity(), capacity - 1);
    EXPECT_EQ(buff.Consumed(), 1);
    EXPECT_EQ(*buff.At(0), 0x00);
    EXPECT_EQ(buff.PopFront(), 0);
    EXPECT_EQ(buff.PopFront(), 0x80);
    EXPECT_EQ(buff.PopFront(), -1);
    EXPECT_EQ(buff.Size(), 0);

    // Appending after the front was taken reuses what is left of the storage.
    AppendText(buff, "ok");
    EXPECT_EQ(Content(buff), Bytes("ok"));
}

TEST(BuffTest, DrainingCompactsAfterMoreThan4096Bytes)
{
    cmcBuff buff;
    for (int i = 0; i < 5000; ++i)
        buff.AppendByte(static_cast<std::uint8_t>(i % 251));

    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(buff.PopFront(), i % 251);
    EXPECT_EQ(buff.Consumed(), 4096);

    EXPECT_EQ(buff.PopFront(), 4096 % 251);
    EXPECT_EQ(buff.Consumed(), 0);
    ASSERT_EQ(buff.Size(), 903);
    EXPECT_EQ(buff.Capacity(), 903);
    for (int i = 0; i < 903; ++i)
        ASSERT_EQ(*buff.At(i), (4097 + i) % 251) << i;

    // Growth after compaction starts from the compacted storage.
    buff.AppendByte(7);
    EXPECT_EQ(buff.Capacity(), 904 + 903 / 4);
    EXPECT_EQ(*buff.At(903), 7);
}

TEST(BuffTest, CompactOfAnEmptyBufferKeepsOneByte)
{
    cmcBuff buff;
    AppendText(buff, "abc");
    for (int i = 0; i < 3; ++i)
        buff.PopFront();
    buff.Compact();
    EXPECT_EQ(buff.Capacity(), 1);
    EXPECT_EQ(buff.Consumed(), 0);
    buff.AppendByte('q');
    EXPECT_EQ(Content(buff), Bytes("q"));
}

TEST(BuffTest, ElementOutsideTheContentStops)
{
    const FatalCatcher catcher;
    cmcBuff buff;
    AppendText(buff, "ab");
    EXPECT_EQ(*buff.At(1), 'b');
    for (int index : {2, -1, 1000}) {
        SCOPED_TRACE(index);
        try {
            (void)buff.At(index);
            ADD_FAILURE() << "no stop";
        } catch (const FatalStop& stop) {
            EXPECT_STREQ(stop.what(), "Out of cmcBuff element !");
        }
    }
    const cmcBuff& constBuff = buff;
    EXPECT_THROW((void)constBuff.At(2), FatalStop);

    // Shrinking leaves the old bytes in the storage but outside the content.
    buff.Resize(1);
    EXPECT_THROW((void)buff.At(1), FatalStop);
}

TEST(NibbleTest, GetAndSetLeaveTheOtherNibble)
{
    std::array<std::uint8_t, 2> bytes{0x35, 0xC7};
    EXPECT_EQ(GetNibble(bytes.data(), 0), 0x3);
    EXPECT_EQ(GetNibble(bytes.data(), 1), 0x5);
    EXPECT_EQ(GetNibble(bytes.data(), 2), 0xC);
    EXPECT_EQ(GetNibble(bytes.data(), 3), 0x7);

    SetNibble(bytes.data(), 0, 0xA);
    EXPECT_EQ(bytes[0], 0xA5);
    bytes[0] = 0x35;
    SetNibble(bytes.data(), 1, 0xA);
    EXPECT_EQ(bytes[0], 0x3A);
    // Only the low 4 bits of the value are written.
    SetNibble(bytes.data(), 3, 0x1F);
    EXPECT_EQ(bytes[1], 0xCF);
    EXPECT_EQ(bytes[0], 0x3A);
}

TEST(NibbleTest, PackedDigitsStoreFirstDigitHigh)
{
    cmcPackedBcd digits;
    for (std::uint8_t d : {1, 2, 3})
        digits.AppendByte(d);
    std::array<std::uint8_t, 3> out{0x00, 0x00, 0xEE};
    digits.StoreNibbles(out.data());
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0x12, 0x30, 0xEE}));

    // An odd count leaves the low nibble of the last byte as it was.
    out = {0xFF, 0xFF, 0xEE};
    digits.StoreNibbles(out.data());
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0x12, 0x3F, 0xEE}));

    // Digit values up to 15 (the '*' and '#' of a DTMF string) and an empty string.
    digits.Clear();
    for (std::uint8_t d : {14, 15, 0, 9})
        digits.AppendByte(d);
    digits.StoreNibbles(out.data());
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0xEF, 0x09, 0xEE}));
    cmcPackedBcd none;
    none.StoreNibbles(out.data());
    EXPECT_EQ(out, (std::array<std::uint8_t, 3>{0xEF, 0x09, 0xEE}));
}
