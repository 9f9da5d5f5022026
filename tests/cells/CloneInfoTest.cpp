// The clone information record: the fields the clone sequences read, and the text of every
// CL_CloneInfo_ cell, drawn through the dispatcher from the record the host holds.
#include "FakeCellHost.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/indActiveCell.h"
#include "cells/indCloneInfo.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

class InfoHost final : public FakeCellHost {
public:
    [[nodiscard]] const indCloneInfo* CloneInfo() const override { return record ? &*record : nullptr; }
    std::optional<indCloneInfo> record;
};

class CloneInfoTest : public testing::Test {
protected:
    // The text the cell of logic shows for the host's record.
    std::string show(clLogic logic)
    {
        FakeCell cell(ctCategory::CT_Null, logic);
        cell.Draw();
        indActiveCell(host).run(cell.capsule);
        return cell.capsule.output;
    }
    indCloneInfo& record() { return *host.record; }
    void put(int offset, std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i)
            record().bytes[static_cast<std::size_t>(offset) + i] = static_cast<std::uint8_t>(text[i]);
    }
    static std::string key(const char* name) { return MainText().GetText(name); }

    CellTestBed bed;
    InfoHost host;
};

} // namespace

TEST_F(CloneInfoTest, SequenceFieldsOfTheRecord)
{
    indCloneInfo info;
    struct Case {
        const char* text;
        int address;
    };
    for (const Case c :
         {Case{"FF7F", 0xFF7F}, Case{"ff7f", 0xFF7F}, Case{"8000", 0x8000}, Case{"8G0 ", 0x8000}}) {
        for (int i = 0; i < 4; ++i)
            info.bytes[static_cast<std::size_t>(56 + i)] = static_cast<std::uint8_t>(c.text[i]);
        EXPECT_EQ(info.LastAddress(), c.address) << c.text;
    }
    info.bytes[53] = 0x08;
    EXPECT_TRUE(info.HasPassword());
    EXPECT_TRUE(info.PasswordNeededForRead());
    info.bytes[53] = 0x18;
    EXPECT_TRUE(info.HasPassword());
    EXPECT_FALSE(info.PasswordNeededForRead());
    info.bytes[53] = 0x10;
    EXPECT_FALSE(info.HasPassword());
}

TEST_F(CloneInfoTest, EveryCellOfTheSampleRecord)
{
    host.record = indSampleCloneInfo();
    const std::string model = key("GI_Mess_CloneInfo_Model") + "\n136 - 174 MHz";
    struct Case {
        clLogic logic;
        std::string text;
    };
    const Case cases[] = {
        {clLogic::CL_CloneInfo_Model, model},
        {clLogic::CL_CloneInfo_Revision, "2.1"},
        {clLogic::CL_CloneInfo_Revision_DSP, "1.5"},
        {clLogic::CL_CloneInfo_Revision_FPGA, "0.10"},
        {clLogic::CL_CloneInfo_Revision_Front, "1.1"},
        {clLogic::CL_CloneInfo_Revision_MCU, "1.3"},
        {clLogic::CL_CloneInfo_Revision_SCU, "1.4"},
        {clLogic::CL_CloneInfo_CheckSum, "$1A2B"},
        {clLogic::CL_CloneInfo_CheckSum_DSP, "$5E6F"},
        {clLogic::CL_CloneInfo_CheckSum_FPGA, "$7A8B"},
        {clLogic::CL_CloneInfo_CheckSum_Front, "$3C4D"},
        {clLogic::CL_CloneInfo_CheckSum_MCU, "----"},
        {clLogic::CL_CloneInfo_CheckSum_SCU, "$9C0D"},
        {clLogic::CL_CloneInfo_RevSum_MainDspFpga, "2.1 ($1A2B 5E6F 7A8B)"},
        {clLogic::CL_CloneInfo_RevSum_Main, "2.1 ($1A2B)"},
        {clLogic::CL_CloneInfo_RevSum_DSP, "1.5 ($5E6F)"},
        {clLogic::CL_CloneInfo_RevSum_FPGA, "0.10 ($7A8B)"},
        {clLogic::CL_CloneInfo_RevSum_Front, "1.1 ($3C4D)"},
        {clLogic::CL_CloneInfo_RevSum_MCU, "1.3"},
        {clLogic::CL_CloneInfo_RevSum_SCU, "1.4 ($9C0D)"},
        {clLogic::CL_CloneInfo_Comment1, "SAMPLE RECORD   "},
        {clLogic::CL_CloneInfo_Comment2, "NOT FROM A RADIO"},
        {clLogic::CL_CloneInfo_Option,
         key("GI_Mess_CloneInfo_Opt_Qv43") + "\n" + key("GI_Mess_CloneInfo_Opt_Qv42") + "\n" +
             key("GI_Mess_CloneInfo_Opt_Qv41") + "\n" + key("GI_Mess_CloneInfo_Opt_FrontPanel") +
             " ($3C4D)\n" + key("GI_Mess_CloneInfo_Opt_PCBoard") + " (192.168.0.11)\n"},
        {clLogic::CL_CloneInfo_OverVolt, ""},
        {clLogic::CL_CloneInfo_Esn, "001011000012"},
        {clLogic::CL_CloneInfo_IpAddress, "192.168.0.11"},
        {clLogic::CL_CloneInfo_Dummy, ""},
        {clLogic::CL_CloneInfo_KeyBoard, ""},
        {clLogic::CL_CloneInfo_PllRef, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(show(c.logic), c.text) << clLogicName(clIndex(c.logic));
    // The popup menu's copy of the serial number reads the same record.
    EXPECT_EQ(host.SerialNumber(), "000A0B00000C");
}

TEST_F(CloneInfoTest, MissingUnitsAndFieldsShowDashesOrNothing)
{
    host.record = indSampleCloneInfo();
    record().bytes[52] = 0x00; // no front unit, no MCU, SCU or PC board
    record().bytes[60] = 0;    // no main checksum
    record().bytes[51] = 0x41; // no DSP (option 1 stays)
    record().bytes[53] |= 0x20;
    put(132, "017A0"); // an edge with a letter
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Revision_MCU), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Revision_SCU), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Revision_Front), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_IpAddress), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_CheckSum_Front), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_CheckSum_SCU), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_CheckSum), "");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_RevSum_Main), "2.1 ($0000)");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_RevSum_MainDspFpga), "2.1 ($0000 5E6F 7A8B)");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Revision_DSP), "");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_CheckSum_DSP), "");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_RevSum_DSP), "----");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Option), key("GI_Mess_CloneInfo_Opt_Qv43") + "\n" +
                                                      key("GI_Mess_CloneInfo_Opt_Qv42") + "\n" +
                                                      key("GI_Mess_CloneInfo_Opt_Qv41") + "\n");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_OverVolt), key("GI_Mess_CloneInfo_OverVolt"));
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Model), key("GI_Mess_CloneInfo_Model") + "\n0 - 0 MHz");
    // Option 4 instead of 3, and a serial number that is not hexadecimal.
    record().bytes[50] = 0x30;
    put(37, "000A0B00000G");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Option),
              key("GI_Mess_CloneInfo_Opt_Qv44") + "\n" + key("GI_Mess_CloneInfo_Opt_Qv41") + "\n");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Esn), " ");
}

TEST_F(CloneInfoTest, WithoutARecordTheCellsShowAnEmptyOne)
{
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Revision), "0.0");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_CheckSum), "");
    EXPECT_EQ(show(clLogic::CL_CloneInfo_Esn), " ");
    EXPECT_EQ(host.SerialNumber(), "");
}
