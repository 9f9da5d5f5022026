// The data check a clone write makes: the errors of the warning check, here the bank check
// of the channels in use (the shipped overlay has no further check list).
#include "DispatcherTestHost.h"

#include "cells/indDataCheck.h"

#include <gtest/gtest.h>

namespace {
class DataCheckTest : public testing::Test, protected DispatcherBed {
protected:
    void setReceive(int slot, std::uint32_t rx)
    {
        datCh channel(Image());
        channel.decode(datKindChannel, slot);
        channel.Set(datField::ChRxFreq, rx);
        channel.encode(datKindChannel, slot);
    }
};
} // namespace

TEST_F(DataCheckTest, ChannelsWithRefusedValuesCountAsErrors)
{
    EXPECT_EQ(indCountDataErrors(host), 0) << "a new document";
    ProgramChannels(3);
    EXPECT_EQ(indCountDataErrors(host), 0);
    setReceive(1, 180'000'000); // outside every band the radio covers
    EXPECT_EQ(indCountDataErrors(host), 1) << "one bank with errors";
    setReceive(1, 150'000'000);
    EXPECT_EQ(indCountDataErrors(host), 0);
    EXPECT_TRUE(boxes.Boxes().empty());
}
