// The settings cells at the places where the map has rules of its own: composed values,
// signed bytes, scaled values, dependent ranges, grey conditions, values outside a list,
// text filters, arrays selected by the argument, and the cells derived from other settings.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "base/cmcText.h"
#include "cells/clDispatchTable.h"
#include "cells/cmcFCache.h"
#include "cells/datCounts.h"
#include "cells/datSettingsMap.h"
#include "cells/indActiveCell.h"
#include "cells/indModelData.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
using L = clLogic;

class SettingsCellTest : public ::testing::Test {
protected:
    CellTestBed bed;
    cmcScriptedResponder responder;
    indActiveCell active{bed.host};
    cmcEeprom& image = bed.host.Image();

    // Runs the cell's current capsule; returns the run's result flags.
    int run(FakeCell& cell)
    {
        int flags = 0;
        cell.capsule.notify = [&flags](cmcCellCapsule&, int f) { flags = f; };
        cell.result = active.run(cell.capsule, true);
        return flags;
    }
    std::string draw(FakeCell& cell)
    {
        cell.Draw();
        run(cell);
        return TrimBlanks(cell.capsule.output);
    }
    int choose(FakeCell& cell, int value, clLogic flex = L::Flex0)
    {
        cell.Choice(flex, value);
        return run(cell);
    }
    int type(FakeCell& cell, const std::string& text)
    {
        cell.Input(text);
        return run(cell);
    }
    std::string bytesAt(int address, int n) const
    {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += static_cast<char>(image.GetByte(address + i));
        return s;
    }
    bool grey(FakeCell& cell)
    {
        draw(cell);
        return cell.capsule.fontColour == clSilverColour;
    }
};

TEST_F(SettingsCellTest, AFlagWritesItsBitAndKeepsTheRestOfTheByte)
{
    image.SetByte(0x107AE, 0x2A);
    FakeCell beep(ctCategory::CT_Null, L::CL_SetM_BeepOn);
    choose(beep, 1);
    EXPECT_EQ(image.GetByte(0x107AE), 0xAA);
    EXPECT_EQ(draw(beep), "On");

    image.SetByte(0x10B3E, 0x00);
    image.SetByte(0x10B3F, 0xFF);
    FakeCell user(ctCategory::CT_Null, L::CL_USetM_BeepOn); // user bit 3
    choose(user, 1);
    EXPECT_EQ(image.GetByte(0x10B3E), 0x10);
    EXPECT_EQ(image.GetByte(0x10B3F), 0xFF);
}

TEST_F(SettingsCellTest, LevelsAddAHundredForTheirSecondBit)
{
    image.SetByte(0x107AE, 0x80);
    FakeCell level(ctCategory::CT_Null, L::CL_SetM_BeepLev);
    choose(level, 105);
    EXPECT_EQ(image.GetByte(0x107AE), 0xC5);

    image.SetByte(0x107AE, 0x43);
    EXPECT_EQ(draw(level), SelectionLabels().GetLabel("GI_Sheet_Sel_SetM_BeepLev", clIndex(L::Flex0), 103));
}

TEST_F(SettingsCellTest, SignedAndScaledNumbers)
{
    FakeCell vote(ctCategory::CT_Null, L::CL_ScanComm_VoteLevel_Fast);
    type(vote, "-100");
    EXPECT_EQ(image.GetByte(0x10BCC), 0x9C);
    image.SetByte(0x10BCC, 0x9C);
    EXPECT_EQ(draw(vote), "-100");

    FakeCell low(ctCategory::CT_Null, L::CL_Exp_BeepFreq_Low);
    type(low, "1000");
    EXPECT_EQ(image.GetByte(0x10B38), 0x27);
    EXPECT_EQ(image.GetByte(0x10B39), 0x10);
    EXPECT_EQ(draw(low), "1000");

    FakeCell rssi(ctCategory::CT_Null, L::CL_ScanComm_VoteTimer_Rssi); // stored as value / 10
    type(rssi, "1230");
    EXPECT_EQ(image.GetByte(0x10BCB), 123);
}

TEST_F(SettingsCellTest, BlockDecodeMaximumStaysAboveTheMinimum)
{
    SetBE16(image.Bytes() + 0x15C64, 100); // minimum
    SetBE16(image.Bytes() + 0x15C62, 500); // maximum
    FakeCell max(ctCategory::CT_Null, L::CL_Digi_Grp_Set_BlockDecode_Max);
    FakeCell min(ctCategory::CT_Null, L::CL_Digi_Grp_Set_BlockDecode_Min);
    for (const char* refused : {"100", "50", "65520"}) {
        type(max, refused);
        EXPECT_EQ(GetBE16(image.Bytes() + 0x15C62), 500) << refused;
    }
    EXPECT_FALSE(responder.Boxes().empty()); // each refusal is told
    type(max, "101");
    EXPECT_EQ(GetBE16(image.Bytes() + 0x15C62), 101);

    type(min, "101"); // not below the maximum
    EXPECT_EQ(GetBE16(image.Bytes() + 0x15C64), 100);
    type(min, "1");
    EXPECT_EQ(GetBE16(image.Bytes() + 0x15C64), 1);

    // Both are grey while block decoding is off, and a change of the switch repaints them.
    image.SetByte(0x15C61, 0x00);
    EXPECT_TRUE(grey(max));
    EXPECT_TRUE(grey(min));
    FakeCell on(ctCategory::CT_Null, L::CL_Digi_Grp_Set_BlockDecode);
    EXPECT_NE(choose(on, 1) & cmcRepaint::All, 0);
    EXPECT_EQ(image.GetByte(0x15C61), 0x08);
    EXPECT_FALSE(grey(max));
    // Grey does not lock the cell.
    image.SetByte(0x15C61, 0x00);
    type(max, "200");
    EXPECT_EQ(GetBE16(image.Bytes() + 0x15C62), 200);
}

TEST_F(SettingsCellTest, GreyWhileTheirSwitchIsOff)
{
    FakeCell timer(ctCategory::CT_Null, L::CL_Comm_ManDown_TS2);
    image.SetByte(0x10B4C, 0xFB);
    EXPECT_TRUE(grey(timer));
    image.SetByte(0x10B4C, 0x04);
    EXPECT_FALSE(grey(timer));

    // The opening beep is grey while the opening text is blank; the text repaints every cell
    // on every run.
    FakeCell beep(ctCategory::CT_Null, L::CL_KDisp_OpeningBeep);
    FakeCell text(ctCategory::CT_Null, L::CL_KDisp_OpeningText);
    for (int i = 0; i < 24; ++i)
        image.SetByte(0x11A85 + i, ' ');
    EXPECT_TRUE(grey(beep));
    text.Draw();
    EXPECT_NE(run(text) & cmcRepaint::All, 0);
    EXPECT_NE(type(text, "WELCOME") & cmcRepaint::All, 0);
    EXPECT_EQ(bytesAt(0x11A85, 24), "WELCOME" + std::string(17, ' '));
    EXPECT_FALSE(grey(beep));

    // A plain setting repaints its own logic only.
    FakeCell contrast(ctCategory::CT_Null, L::CL_CW_Speed);
    const int flags = type(contrast, "25");
    EXPECT_NE(flags & cmcRepaint::SameLogic, 0);
    EXPECT_EQ(flags & cmcRepaint::All, 0);
}

TEST_F(SettingsCellTest, BatteryPowerReadsAStoredZeroAsOne)
{
    image.SetByte(0x10BA7, 0xF3);
    FakeCell power(ctCategory::CT_Null, L::CL_KDisp_RfPoBatt);
    EXPECT_EQ(draw(power), SelectionLabels().GetLabel("GI_Sheet_Sel_Batt_RfPwr", clIndex(L::Flex0), 1));
    choose(power, 3);
    EXPECT_EQ(image.GetByte(0x10BA7), 0xFF);
}

TEST_F(SettingsCellTest, AValueOutsideTheListShowsErrorUntilAnItemIsChosen)
{
    image.SetByte(0x107B1, 200);
    FakeCell gain(ctCategory::CT_Null, L::CL_SetM_MicGain);
    EXPECT_EQ(draw(gain), "error");
    EXPECT_EQ(draw(gain), "error");
    EXPECT_EQ(image.GetByte(0x107B1), 200);
    gain.Key(cmcKey::Space); // the first item of the popup's order
    run(gain);
    EXPECT_EQ(image.GetByte(0x107B1), 1);
    EXPECT_EQ(draw(gain), "1 (Low)");
}

TEST_F(SettingsCellTest, ThePowerSwitchOfHandHeldsHasItsOwnList)
{
    image.SetByte(0x10B50, 0x10); // bit 4: value 1
    image.SetByte(0x10BA7, 0x00);
    FakeCell mobile(ctCategory::CT_Null, L::CL_KDisp_PwrSW);
    FakeCell handy(ctCategory::CT_Null, L::CL_KDisp_PwrSW_HH);
    EXPECT_EQ(draw(mobile), "Ignition sense");
    EXPECT_EQ(draw(handy), "error");
    choose(handy, 2);
    EXPECT_EQ(image.GetByte(0x10B50), 0x00);
    EXPECT_EQ(image.GetByte(0x10BA7), 0x80);
    EXPECT_EQ(draw(mobile), "Resume last state");
}

TEST_F(SettingsCellTest, TextsAreFilteredAndPaddedAsTheirFieldWants)
{
    FakeCell cw(ctCategory::CT_Null, L::CL_CW_ID_Code);
    type(cw, "cq de ab1cd! <73>");
    EXPECT_EQ(bytesAt(0x1A27F, 32), "CQ DE AB1CD 73" + std::string(18, ' '));

    FakeCell password(ctCategory::CT_Null, L::CL_Comm_ClonePasswordStr_Old);
    FakeCell passwordNew(ctCategory::CT_Null, L::CL_Comm_ClonePasswordStr);
    type(passwordNew, "SeCret");
    EXPECT_EQ(bytesAt(0x10BD1, 16), "secret" + std::string(10, '\0'));
    EXPECT_EQ(draw(password), "secret");

    image.SetByte(0x10C1C + 15, 0x07); // a non-printable byte is shown as a blank
    FakeCell comment(ctCategory::CT_Null, L::CL_Comm_CloneComment1);
    type(comment, "Spare radio");
    EXPECT_EQ(bytesAt(0x10C0C, 16), "Spare radio     ");
    EXPECT_EQ(draw(comment), "Spare radio");
    EXPECT_EQ(image.GetByte(0x10C1C + 15), 0x07); // the next field is untouched
}

TEST_F(SettingsCellTest, TheArgumentSelectsTheMdcSystem)
{
    image.SetByte(0x17ACD, 0x00);
    image.SetByte(0x17AE1, 0x00);
    FakeCell first(ctCategory::CT_Null, L::CL_Mdc_General_Mdc_On, 0);
    FakeCell second(ctCategory::CT_Null, L::CL_Mdc_General_Mdc_On, 1);
    choose(second, 1);
    EXPECT_EQ(image.GetByte(0x17AE1), 0x80);
    EXPECT_EQ(image.GetByte(0x17ACD), 0x00);
    choose(first, 1);
    EXPECT_EQ(image.GetByte(0x17ACD), 0x80);

    // The status flags: entry 3 of record 1.
    FakeCell flag(ctCategory::CT_Null, L::CL_Mdc_Status_Enabled, 19);
    image.SetByte(0x17D9F + 208 + 3, 0x00);
    choose(flag, 1);
    EXPECT_EQ(image.GetByte(0x17D9F + 208 + 3), 0x10);

    // A settings cell at a single place ignores its argument; an array cell past its table
    // is a fault of the sheet definition.
    FakeCell single(ctCategory::CT_Null, L::CL_SetM_BeepOn, 7);
    image.SetByte(0x107AE, 0x80);
    EXPECT_EQ(draw(single), "On");
    FatalCatcher catcher;
    FakeCell past(ctCategory::CT_Null, L::CL_Mdc_General_Mdc_On, 5);
    past.Draw();
    EXPECT_THROW(active.run(past.capsule), FatalStop);
}

TEST_F(SettingsCellTest, BatteryBandsFollowTheThresholds)
{
    image.SetByte(0x10BBD, 140); // 7.00 V
    image.SetByte(0x10BBE, 132); // 6.60 V
    FakeCell normal(ctCategory::CT_Null, L::CL_Comm_Volt_Normal_Disp);
    FakeCell low1(ctCategory::CT_Null, L::CL_Comm_Volt_Threshold1_Disp);
    FakeCell low2(ctCategory::CT_Null, L::CL_Comm_Volt_Threshold2_Disp);
    FakeCell test1(ctCategory::CT_Null, L::CL_Comm_Volt_Threshold1_Test);
    EXPECT_EQ(draw(normal), "[7.00V] - [12.75V]");
    EXPECT_EQ(draw(low1), "[6.60V] - [7.00V]");
    EXPECT_EQ(draw(low2), "[0.00V] - [6.60V]");
    draw(test1);
    EXPECT_FALSE(test1.capsule.IsError());

    FakeCell threshold(ctCategory::CT_Null, L::CL_Comm_Volt_Threshold1);
    EXPECT_EQ(draw(threshold), "7.00");
    type(threshold, "6.5");
    EXPECT_EQ(image.GetByte(0x10BBD), 130);
    EXPECT_EQ(draw(low1), "[6.60V] - [6.50V]");
    draw(test1);
    EXPECT_TRUE(test1.capsule.IsError()); // the second warning is not below the first
}

TEST_F(SettingsCellTest, PowerStatusGoesToAnIndividualIdEntry)
{
    datSetIndividualIdCount(image, 3);
    for (int i = 0; i < 3; ++i)
        SetBE32(image.Bytes() + 0x121C7 + 16 * i, static_cast<std::uint32_t>(1001 + i));
    SetBE16(image.Bytes() + 0x17623, 0);
    FakeCell id(ctCategory::CT_Null, L::CL_Digi_Status_Set_PowerStatID);
    EXPECT_EQ(draw(id), "1001");

    id.Key(cmcKey::Enter);
    run(id);
    EXPECT_EQ(id.result, cmcRunResult::PopupOpened);
    const FakePopupRequest& popup = bed.host.LastPopup();
    EXPECT_EQ(popup.kind, FakePopupRequest::Kind::ModelSelection);
    EXPECT_EQ(popup.list, "GI_Sheet_Sel_DIG_INDList");
    EXPECT_EQ(popup.flex, clIndex(L::Flex_InvIDList_ChNo));
    EXPECT_EQ(popup.title, "Individual ID");

    choose(id, 2, L::Flex_InvIDList_ChNo);
    EXPECT_EQ(GetBE16(image.Bytes() + 0x17623), 2);
    EXPECT_EQ(draw(id), "1003");
    id.Key(cmcKey::Space); // wraps to the first entry
    run(id);
    EXPECT_EQ(GetBE16(image.Bytes() + 0x17623), 0);
    choose(id, 3, L::Flex_InvIDList_ChNo); // past the used entries: refused
    EXPECT_EQ(GetBE16(image.Bytes() + 0x17623), 0);
    type(id, "1002"); // the entry holding the typed ID
    EXPECT_EQ(GetBE16(image.Bytes() + 0x17623), 1);
    type(id, "4711"); // no entry holds it
    EXPECT_EQ(GetBE16(image.Bytes() + 0x17623), 1);
    EXPECT_EQ(responder.Boxes().size(), 1U);
    id.Key('7');
    run(id);
    EXPECT_EQ(id.result, cmcRunResult::StartEditor);

    datSetIndividualIdCount(image, 1);
    SetBE16(image.Bytes() + 0x17623, 2);
    EXPECT_EQ(draw(id), "error");
    EXPECT_TRUE(id.capsule.IsError());
}

TEST_F(SettingsCellTest, KeysEditTheirOwnSlot)
{
    const auto label = [](int code) {
        return SelectionLabels().GetLabel("GI_Sheet_Sel_Keys_Conv_Lmr_VADOR_Rep", clIndex(L::FlexMark), code);
    };
    FakeCell p0(ctCategory::CT_Null, L::CL_KDisp_Key_Conv_P0);            // slot 2
    FakeCell pio1(ctCategory::CT_Null, L::CL_KDisp_Key_Shift_Pio1);       // slot 12, shifted
    FakeCell common(ctCategory::CT_Null, L::CL_KDisp_Key_Conv_Common, 5); // slot 5: P3
    FakeCell p3(ctCategory::CT_Null, L::CL_KDisp_Key_Conv_P3);
    choose(p0, 65, L::FlexMark);
    choose(pio1, 67, L::FlexMark);
    choose(common, 69, L::FlexMark);
    EXPECT_EQ(image.GetByte(0x10B75 + 2), 65);
    EXPECT_EQ(image.GetByte(0x10B8A + 12), 67);
    EXPECT_EQ(image.GetByte(0x10B75 + 5), 69);
    EXPECT_EQ(draw(p3), label(69));
    EXPECT_EQ(draw(p0), label(65));
    // The left keys and the dial's second direction have no slot and no behaviour.
    EXPECT_EQ(clHandlerOf(clIndex(L::CL_KDisp_Key_Conv_LeftUp)), nullptr);
    EXPECT_EQ(clHandlerOf(clIndex(L::CL_KDisp_Key_Shift_DialCcw)), nullptr);
}

TEST_F(SettingsCellTest, TheLcdFontSizeIsTheDocumentsAndRepaintsEveryCell)
{
    FakeCell size(ctCategory::CT_Null, L::CL_KDisp_LcdFontSize);
    EXPECT_EQ(draw(size), "Size 2 (6 x 15 dots)");
    EXPECT_NE(choose(size, 1) & cmcRepaint::All, 0);
    EXPECT_EQ(bed.host.Document().LcdFontSize(), 1);
    EXPECT_EQ(draw(size), "Size 1 (6 x 17 dots)");
}

TEST_F(SettingsCellTest, ANumberOutsideItsRangeIsAWarningTheCommonCheckCollects)
{
    FakeCell repeat(ctCategory::CT_Null, L::CL_Common_Tot_Repeat); // 0..30 s
    FakeCell check(ctCategory::CT_Null, L::CL_Check_Common);
    image.SetByte(0x10B69, 30);
    image.SetByte(0x10BA6, 0); // reboot timer off
    draw(repeat);
    EXPECT_FALSE(repeat.capsule.IsWarning());
    draw(check);
    EXPECT_FALSE(check.capsule.IsWarning());

    image.SetByte(0x10B69, 31);
    draw(repeat);
    EXPECT_TRUE(repeat.capsule.IsWarning());
    EXPECT_FALSE(repeat.capsule.IsError());
    draw(check);
    EXPECT_TRUE(check.capsule.IsWarning());

    image.SetByte(0x10B69, 30);
    image.SetByte(0x10BA6, 121); // 0..120 s
    draw(check);
    EXPECT_TRUE(check.capsule.IsWarning());
}

} // namespace

// The five-tone digit flags are also kept in the newer layout's second copies, which the
// save step folds back over the first copies: an edit must survive that fold.
TEST_F(SettingsCellTest, FiveToneDigitFlagsSurviveTheSaveFold)
{
    indModelWords words;
    FakeCell display(ctCategory::CT_Null, L::CL_5TTx_DispDigit);
    FakeCell compare(ctCategory::CT_Null, L::CL_5TRx_CompareDigit);
    FakeCell compare10(ctCategory::CT_Null, L::CL_10TRx_CompareDigit);
    image.SetByte(0x10BFE, static_cast<std::uint8_t>(image.GetByte(0x10BFE) | 1)); // newer layout
    const auto toggle = [this](FakeCell& cell, char position) {
        cell.Key(position);
        run(cell);
    };
    const std::string displayBefore = draw(display);
    toggle(display, '1');
    toggle(display, '3');
    const std::string shown = draw(display);
    EXPECT_NE(shown, displayBefore);
    toggle(compare, '2');
    toggle(compare, '7');
    const std::string shownCompare = draw(compare);
    // Position 1 of a byte-wide flag string is bit 7; bit 0 stays free.
    EXPECT_EQ(image.GetByte(0x10B46) & 0xA0, (shown[0] == '1' ? 0x80 : 0) | (shown[2] == '3' ? 0x20 : 0));
    EXPECT_EQ(image.GetByte(0x10B46) & 1, 0);
    indBeforeSave(image, bed.host.Document().Default(), indSaveStage::BeforeSave, words, 2);
    EXPECT_EQ(draw(display), shown);
    EXPECT_EQ(draw(compare), shownCompare);
    // The ten-digit set shows the same first seven positions as the five-tone set.
    EXPECT_EQ(draw(compare10).substr(0, shownCompare.size()), shownCompare);
}
