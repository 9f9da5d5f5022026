// The checks of the warning check list: each collects the error and warning marks of the
// cells it evaluates through the dispatcher.
#include "DispatcherTestHost.h"

#include "cells/cmcCodecs.h"

#include <gtest/gtest.h>

namespace {

class DispatcherCheckTest : public testing::Test, protected DispatcherBed {
protected:
    // Runs a check as the warning check list does: the cell (and a record) only.
    std::uint8_t check(clLogic logic, int record = 0)
    {
        FakeCell cell(ctCategory::CT_Null, logic);
        cell.Draw().record = record;
        Dispatch(cell);
        return cell.capsule.state & (cmcCellCapsule::Error | cmcCellCapsule::Warning);
    }
    void setChannel(int slot, std::uint32_t rx, std::uint32_t tx)
    {
        datCh channel(Image());
        channel.decode(datKindChannel, slot);
        channel.Set(datField::ChRxFreq, rx);
        channel.Set(datField::ChTxFreq, tx);
        channel.encode(datKindChannel, slot);
    }
    static constexpr std::uint8_t error = cmcCellCapsule::Error;
    static constexpr std::uint8_t warning = cmcCellCapsule::Warning;
};

TEST_F(DispatcherCheckTest, TheBankCheckCollectsTheMarksOfItsChannelsInUse)
{
    EXPECT_EQ(check(clLogic::CL_Check_Mch), 0) << "an empty bank";
    ProgramChannels(3);
    // Simplex channels (transmit on the receive frequency) in operation mode 0 warn.
    setChannel(0, 150'000'000, 155'000'000);
    setChannel(1, 150'012'500, 155'012'500);
    setChannel(2, 150'025'000, 155'025'000);
    EXPECT_EQ(check(clLogic::CL_Check_Mch), 0);
    setChannel(1, 150'012'500, 150'012'500);
    EXPECT_EQ(check(clLogic::CL_Check_Mch), warning);
    // A receive frequency the coverage table refuses is an error.
    setChannel(2, 180'000'000, 155'025'000);
    EXPECT_EQ(check(clLogic::CL_Check_Mch), warning | error);
    // A channel past the bank's count is not checked, nor is another bank.
    datSetChannelCount(Image(), 0, 1);
    EXPECT_EQ(check(clLogic::CL_Check_Mch), 0);
    EXPECT_EQ(check(clLogic::CL_Check_Mch, 3), 0);
}

TEST_F(DispatcherCheckTest, TheKeyCheckFlagsADigitalFunctionWhileDigitalIsOff)
{
    std::uint8_t& digital = Image().Bytes()[cmcDigitalFunctionPlace];
    digital = static_cast<std::uint8_t>(digital & ~0x10);
    EXPECT_EQ(check(clLogic::CL_Check_KeyDisp), 0);
    Image().SetByte(cmcKeyNormalPlace + 4, cmcKeyDigitalCode); // P2
    EXPECT_EQ(check(clLogic::CL_Check_KeyDisp), error);
    digital = static_cast<std::uint8_t>(digital | 0x10);
    EXPECT_EQ(check(clLogic::CL_Check_KeyDisp), 0);
}

TEST_F(DispatcherCheckTest, TheChecksOfSwitchedOffFeaturesNeverFlag)
{
    // Every channel programmed with a refused frequency and every byte of the settings
    // area scrambled: these checks still evaluate nothing.
    ProgramChannels(32);
    for (int slot = 0; slot < 32; ++slot)
        setChannel(slot, 180'000'000, 180'000'000);
    for (int a = 0x10C30; a < 0x11100; ++a)
        Image().SetByte(a, static_cast<std::uint8_t>(a * 37));
    for (clLogic logic :
         {clLogic::CL_Check_Msk_IdRange, clLogic::CL_Check_Msk_OwnIdGroup, clLogic::CL_Check_Msk_Config,
          clLogic::CL_Check_Dig_Nacch, clLogic::CL_Check_Ltr_Repeater})
        EXPECT_EQ(check(logic), 0) << clLogicName(clIndex(logic));
    EXPECT_EQ(check(clLogic::CL_Check_Mch), warning | error) << "while the bank check does flag";
}

} // namespace
