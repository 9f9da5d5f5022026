// With pacing on, the simulated radio takes the program's bytes no faster than its line
// carries them, so a write over a line without a speed of its own (a pseudo-terminal, the
// in-memory pair without pacing) lasts as long as it would on the cable.
#include "CloneBench.h"

#include "image/cmcImageGeometry.h"
#include "link/cmcCloneFrames.h"

#include <gtest/gtest.h>

using namespace bench;

TEST(RadioSimPacingTest, WriteTakesTheWireTimeOfItsRecords)
{
    cmcEeprom image;
    FillPattern(image, cmcImageSize, true);
    const AddressRangeList ranges{{0x0000, 0x03FF}, AddressRangeList::ListEnd}; // 64 records
    for (const bool highSpeed : {true, false}) {
        SCOPED_TRACE(highSpeed ? "38400 baud" : "9600 baud");
        RadioSimConfig config;
        config.pace = true;
        Bench b(config);
        ASSERT_EQ(b.Write(image, ranges, {false, highSpeed, {}, true}), cmcCloneCode::Ok);
        EXPECT_EQ(b.sim.CompletedWrites(), 1);
        // 64 records of 46 bytes, 10 bits a byte, from the write request to the end frame.
        const std::uint32_t wireMs = 64 * 46 * 10 * 1000 / (highSpeed ? 38400 : 9600);
        const std::uint32_t took =
            b.FramesFromProgram(cmcCmdEnd).front().ms - b.FramesFromProgram(cmcCmdWrite).front().ms;
        EXPECT_GE(took, wireMs);
        EXPECT_LE(took, wireMs + wireMs / 5 + 100);
    }
}
