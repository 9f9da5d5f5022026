#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace {
// An image of size bytes holding 1, 2, 3, ... (mod 256).
void FillCounting(cmcEeprom& image, int size)
{
    image.SetSize(size);
    for (int a = 0; a < size; ++a)
        image.SetByte(a, static_cast<std::uint8_t>(a + 1));
}
} // namespace

TEST(EepromTest, SetSizeAllocatesClearsAndEmpties)
{
    cmcEeprom image;
    EXPECT_EQ(image.GetSize(), 0);
    EXPECT_EQ(image.Bytes(), nullptr);
    EXPECT_FALSE(image.IsValidAddress(0));

    image.SetSize(cmcImageSize);
    ASSERT_EQ(image.GetSize(), 109634);
    EXPECT_TRUE(image.IsValidAddress(0));
    EXPECT_TRUE(image.IsValidAddress(cmcImageSize - 1));
    EXPECT_FALSE(image.IsValidAddress(cmcImageSize));
    EXPECT_FALSE(image.IsValidAddress(-1));
    EXPECT_EQ(image.GetByte(cmcImageSize - 1), 0);

    image.Fill(0x5A);
    EXPECT_EQ(image.GetByte(cmcWorkingAreaStart), 0x5A);

    // The same size keeps the array (cells hold its address) and clears it.
    const std::uint8_t* array = image.Bytes();
    image.SetSize(cmcImageSize);
    EXPECT_EQ(image.Bytes(), array);
    EXPECT_EQ(image.GetByte(0), 0);
    EXPECT_EQ(image.GetByte(cmcImageSize - 1), 0);

    for (int emptying : {0, -5}) {
        image.SetSize(16);
        image.Fill(0xFF);
        image.SetSize(emptying);
        EXPECT_EQ(image.GetSize(), 0);
        EXPECT_EQ(image.Bytes(), nullptr);
        EXPECT_FALSE(image.IsValidAddress(0));
        image.Fill(1); // nothing to fill, no fault
    }

    // Another size gives a fresh array of zeros.
    image.SetSize(8);
    image.Fill(0x77);
    image.SetSize(4);
    EXPECT_EQ(image.GetSize(), 4);
    for (int a = 0; a < 4; ++a)
        EXPECT_EQ(image.GetByte(a), 0) << a;
}

TEST(EepromTest, ByteAccessAndTheArrayAgree)
{
    cmcEeprom image;
    image.SetSize(cmcImageSize);
    image.SetByte(cmcRadioMemoryEnd, 0xAB);
    image.SetByte(cmcWorkingAreaStart, 0xCD);
    EXPECT_EQ(image.Bytes()[0xFF7F], 0xAB);
    EXPECT_EQ(image.Bytes()[0xFF80], 0xCD);
    image.Bytes()[5] = 0x42;
    EXPECT_EQ(image.GetByte(5), 0x42);
}

TEST(EepromTest, AddressOutsideTheImageStops)
{
    const FatalCatcher catcher;
    cmcEeprom image;
    image.SetSize(16);
    EXPECT_THROW(
        {
            try {
                image.SetByte(16, 1);
            } catch (const FatalStop& stop) {
                EXPECT_STREQ(stop.what(), "Out of EEPROM image address (SetByte).");
                throw;
            }
        },
        FatalStop);
    EXPECT_THROW(
        {
            try {
                (void)image.GetByte(-1);
            } catch (const FatalStop& stop) {
                EXPECT_STREQ(stop.what(), "Out of EEPROM image address (GetByte).");
                throw;
            }
        },
        FatalStop);

    cmcEeprom empty;
    EXPECT_THROW((void)empty.GetByte(0), FatalStop);
    EXPECT_THROW(empty.SetByte(0, 0), FatalStop);
}

// A block is copied whole or not at all.
TEST(EepromTest, BlocksAreAllOrNothing)
{
    const int size = 32;
    const std::array<std::uint8_t, 3> three{0x11, 0x22, 0x33};
    struct Case {
        int address;
        int count;
        bool copied;
    };
    const Case cases[] = {
        {size - 3, 3, true}, {size - 2, 3, false}, {0, 3, true},        {-1, 1, false},
        {size, 1, false},    {0, 0, false},        {5, -1, false},      {size - 1, INT_MAX, false},
        {INT_MAX, 3, false}, {INT_MIN, 3, false},  {size - 1, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "address " << c.address << " count " << c.count);
        cmcEeprom image;
        image.SetSize(size);
        image.Fill(0xEE);
        image.WriteBlock(c.address, three.data(), c.count);
        int changed = 0;
        for (int a = 0; a < size; ++a)
            changed += image.GetByte(a) != 0xEE;
        if (c.copied) {
            EXPECT_EQ(changed, c.count);
            for (int i = 0; i < c.count; ++i)
                EXPECT_EQ(image.GetByte(c.address + i), three[static_cast<std::size_t>(i)]);
        } else {
            EXPECT_EQ(changed, 0);
        }

        // Reading under the same condition: the target is untouched when refused.
        FillCounting(image, size);
        std::array<std::uint8_t, 3> out{0xEE, 0xEE, 0xEE};
        image.ReadBlock(c.address, out.data(), c.count);
        for (int i = 0; i < 3; ++i) {
            const bool read = c.copied && i < c.count;
            EXPECT_EQ(out[static_cast<std::size_t>(i)], read ? c.address + i + 1 : 0xEE) << i;
        }
    }
}

TEST(EepromTest, CopyFromAndEquality)
{
    cmcEeprom longer;
    FillCounting(longer, 40);
    cmcEeprom shorter;
    FillCounting(shorter, 20);

    // A prefix of another image is not equal to it.
    EXPECT_FALSE(shorter.Equals(longer));
    EXPECT_TRUE(shorter.Differs(longer));

    shorter.CopyFrom(longer);
    EXPECT_EQ(shorter.GetSize(), 40);
    EXPECT_TRUE(shorter.Equals(longer));
    EXPECT_FALSE(shorter.Differs(longer));

    // One byte apart, at the last address.
    shorter.SetByte(39, 0);
    EXPECT_FALSE(shorter.Equals(longer));
    EXPECT_TRUE(longer.Differs(shorter));

    // Copying an empty image empties; two empty images are equal.
    const cmcEeprom empty;
    shorter.CopyFrom(empty);
    EXPECT_EQ(shorter.GetSize(), 0);
    EXPECT_TRUE(shorter.Equals(empty));
    EXPECT_FALSE(longer.Equals(empty));

    // Copying an image onto itself keeps its content.
    longer.CopyFrom(longer);
    ASSERT_EQ(longer.GetSize(), 40);
    EXPECT_EQ(longer.GetByte(0), 1);
    EXPECT_EQ(longer.GetByte(39), 40);
}
