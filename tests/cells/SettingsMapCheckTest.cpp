// The settings map's own checks: the start-up self check finds the definition errors it is
// there for, and the map's composition rules read and write the bits they claim.
#include "cells/datSettingsMap.h"

#include "cells/indModelData.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {
using L = clLogic;

bool mentions(const std::vector<std::string>& problems, const std::string& text)
{
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(text) != std::string::npos; });
}

TEST(SettingsMapCheck, TheProgramsMapIsSoundAndPassesTheStartUpCheck)
{
    const std::vector<std::string> problems = datSettingsMapProblems(datSettingsMap());
    for (const std::string& p : problems)
        ADD_FAILURE() << p;
    FatalCatcher catcher;
    EXPECT_NO_THROW(indSelfCheck());
}

TEST(SettingsMapCheck, EveryBoundLogicFindsItsRow)
{
    for (const datSettingDef& row : datSettingsMap()) {
        EXPECT_EQ(datFindSetting(clIndex(row.logic)), &row) << clLogicName(clIndex(row.logic));
        if (row.logic2 != clLogic::Count_) {
            EXPECT_EQ(datFindSetting(clIndex(row.logic2)), &row) << clLogicName(clIndex(row.logic2));
        }
    }
    EXPECT_EQ(datFindSetting(clIndex(L::CL_Mch_FreqR)), nullptr);
    EXPECT_EQ(datFindSetting(clNoLogic), nullptr);
    EXPECT_EQ(datFindSetting(-1), nullptr);
}

struct BrokenMap {
    const char* what;
    std::vector<datSettingDef> rows;
    const char* problem;
};

TEST(SettingsMapCheck, DefinitionErrorsAreFound)
{
    const auto onOff = "GI_Sheet_Sel_Misc_OnOff";
    const BrokenMap cases[] = {
        {"logic twice",
         {datSet(L::CL_SetM_BeepOn, 0x107AE).Bit(7).Choice(onOff),
          datSet(L::CL_SetM_BeepOn, 0x107AF).Bit(7).Choice(onOff)},
         "bound by two rows"},
        {"second logic twice",
         {datSet(L::CL_SetM_Fan, 0x107B4).Bit(0).Choice(onOff).And(L::CL_SetM_BeepOn),
          datSet(L::CL_SetM_BeepOn, 0x107AE).Bit(7).Choice(onOff)},
         "bound by two rows"},
        {"parts share a bit",
         {datSet(L::CL_SetM_BeepLev, 0x107AE).Bits(0, 3).Plus(0x107AE, 3, 1, 100).Choice(onOff)},
         "overlap"},
        {"outside the image",
         {datSet(L::CL_SetM_BeepOn, cmcImageSize).Bit(0).Choice(onOff)},
         "outside the image"},
        {"array runs out of the image",
         {datSet(L::CL_Mdc_General_Mdc_On, cmcImageSize - 30).Array(20).Bit(7).Choice(onOff)},
         "outside the image"},
        {"be16 past the end",
         {datSet(L::CL_CW_AudioFreq, cmcImageSize - 1).Be16().Number(0, 9)},
         "outside the image"},
        {"not in a saved table",
         {datSet(L::CL_SetM_BeepOn, 0x03A0).Bit(0).Choice(onOff)},
         "outside every saved table"},
        {"choice without list",
         {datSet(L::CL_SetM_BeepOn, 0x107AE).Bit(7).Choice(nullptr)},
         "without a list"},
        {"empty range", {datSet(L::CL_CW_Speed, 0x1A2A0).Byte().Number(30, 5)}, "empty range"},
        {"bits beyond the byte",
         {datSet(L::CL_SetM_BeepOn, 0x107AE).Field(1, 6, 4).Choice(onOff)},
         "outside its bytes"},
    };
    for (const BrokenMap& c : cases) {
        const auto problems = datSettingsMapProblems(c.rows);
        EXPECT_TRUE(mentions(problems, c.problem)) << c.what;
    }
}

// The composition rules, at the level of the bits: values split over bytes, weights,
// divisors, signs, and array elements, each writing only its own bits.
TEST(SettingsMapCheck, ComposedValuesReadAndWriteTheirOwnBits)
{
    cmcEeprom image;
    image.SetSize(cmcImageSize);
    image.Fill(0x5A);

    const datSettingDef beepLev = *datFindSetting(clIndex(L::CL_SetM_BeepLev));
    image.SetByte(0x107AE, 0x43);
    EXPECT_EQ(datReadSetting(image, beepLev, 0), 103);
    datWriteSetting(image, beepLev, 0, 105);
    EXPECT_EQ(image.GetByte(0x107AE), 0x45); // bit 6 and 5; bits 4, 5 and 7 as they were

    const datSettingDef suspend = *datFindSetting(clIndex(L::CL_KDisp_HangAct_ScanSuspend));
    image.SetByte(0x10B53, 0x00);
    image.SetByte(0x10BB9, 0xFF);
    datWriteSetting(image, suspend, 0, 5); // bit 0 and bit 2 of the value
    EXPECT_EQ(image.GetByte(0x10B53), 0x10);
    EXPECT_EQ(image.GetByte(0x10BB9), 0xEF);
    EXPECT_EQ(datReadSetting(image, suspend, 0), 5);

    const datSettingDef vote = *datFindSetting(clIndex(L::CL_ScanComm_VoteLevel_Fast));
    datWriteSetting(image, vote, 0, -100);
    EXPECT_EQ(image.GetByte(0x10BCC), 0x9C);
    EXPECT_EQ(datReadSetting(image, vote, 0), -100);

    const datSettingDef beepFreq = *datFindSetting(clIndex(L::CL_Exp_BeepFreq_Low));
    datWriteSetting(image, beepFreq, 0, 1000);
    EXPECT_EQ(image.GetByte(0x10B38), 0x27);
    EXPECT_EQ(image.GetByte(0x10B39), 0x10);

    const datSettingDef ifFreq = *datFindSetting(clIndex(L::CL_Maker_IfFreq));
    datWriteSetting(image, ifFreq, 0, -99'975'000);
    EXPECT_EQ(datReadSetting(image, ifFreq, 0), -99'975'000);

    const datSettingDef rfPoBatt = *datFindSetting(clIndex(L::CL_KDisp_RfPoBatt));
    image.SetByte(0x10BA7, 0xF3);
    EXPECT_EQ(datReadSetting(image, rfPoBatt, 0), 1);

    const datSettingDef mdcOn = *datFindSetting(clIndex(L::CL_Mdc_General_Mdc_On));
    EXPECT_EQ(datSettingPlace(mdcOn, 0, 0), 0x17ACD);
    EXPECT_EQ(datSettingPlace(mdcOn, 0, 1), 0x17AE1);
    const datSettingDef statusAck = *datFindSetting(clIndex(L::CL_Mdc_Status_Ack));
    EXPECT_EQ(datSettingPlace(statusAck, 0, 17), 0x17D9F + 208 + 1);
    EXPECT_EQ(datSettingElements(statusAck), 80);

    const datSettingDef userBeep = *datFindSetting(clIndex(L::CL_USetM_BeepOn));
    EXPECT_EQ(datSettingBytes(userBeep, 0).front().address, 0x10B3E);
    EXPECT_EQ(datSettingBytes(userBeep, 0).front().mask, 0x10);
    const datSettingDef userKeys = *datFindSetting(clIndex(L::CL_USetM_KeyCheck));
    EXPECT_EQ(datSettingBytes(userKeys, 0).front().address, 0x10B40);
    EXPECT_EQ(datSettingBytes(userKeys, 0).front().mask, 0x40);
}

} // namespace
