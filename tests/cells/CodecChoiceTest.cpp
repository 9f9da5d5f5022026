// Selection codecs and their variants, flag strings, channel marks, bit matrices, key
// assignments and scan-list channel references.
#include "FakeCellHost.h"

#include "base/cmcScriptedResponder.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

const std::string Prio1List = "GI_Sheet_Sel_ScanPrio1CH";
const std::string ToneList = "GI_Sheet_Sel_Mch_CTone";

class CodecChoiceTest : public testing::Test {
protected:
    CellTestBed bed;
    cmcScriptedResponder boxes;
    FakeCell cell{ctCategory::CT_Scan, clLogic::CL_ScanList_Prio1_CH};
};

TEST_F(CodecChoiceTest, LabelsErrorAndSteppingInColumnOrder)
{
    struct Case {
        int from;
        int key;
        int to;
        const char* shown;
    };
    const Case cases[] = {
        {0, cmcKey::Space, 1, "Selected channel"},
        {5, cmcKey::Space, 0, "Off"}, // wraps past the last item
        {0, cmcKey::Backspace, 5, "Fixed channel"},
        {3, cmcKey::Space, 0, "Off"}, // a value no item has steps to the first item
        {3, cmcKey::Backspace, 0, "Off"},
    };
    for (const Case& c : cases) {
        int value = c.from;
        cell.Key(c.key);
        EXPECT_TRUE(editChoice(cell.Context(bed.host), value, Prio1List));
        EXPECT_EQ(value, c.to) << c.from;
        EXPECT_EQ(cell.capsule.output, c.shown) << c.from;
    }
    int unknown = 3;
    cell.Draw();
    EXPECT_FALSE(editChoice(cell.Context(bed.host), unknown, Prio1List));
    EXPECT_EQ(cell.capsule.output, "error");

    // Column order: the tone list's second column follows its first.
    int tone = 11; // 97.4, the last of the first column
    cell.Key(cmcKey::Space);
    editChoice(cell.Context(bed.host), tone, ToneList);
    EXPECT_EQ(tone, 12);
}

TEST_F(CodecChoiceTest, EnterOpensThePopupAndItsResultIsTaken)
{
    int value = 1;
    cell.Key(cmcKey::DoubleClick);
    EXPECT_FALSE(editChoice(cell.Context(bed.host), value, Prio1List));
    EXPECT_EQ(cell.result, cmcRunResult::PopupOpened);
    const FakePopupRequest& popup = bed.host.LastPopup();
    EXPECT_EQ(popup.kind, FakePopupRequest::Kind::Selection);
    EXPECT_EQ(popup.list, Prio1List);
    EXPECT_EQ(popup.flex, clIndex(clLogic::Flex0));
    EXPECT_EQ(popup.current, 1);

    cell.Choice(clLogic::Flex0, 5);
    EXPECT_TRUE(editChoice(cell.Context(bed.host), value, Prio1List));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(cell.capsule.output, "Fixed channel");

    // Another popup's result is foreign: the plain form draws nothing, the other form ignores it.
    cell.Choice(clLogic::FlexMark, 0);
    EXPECT_FALSE(editChoice(cell.Context(bed.host), value, Prio1List));
    EXPECT_EQ(cell.capsule.output, "");
    cell.Choice(clLogic::FlexMark, 0);
    EXPECT_FALSE(editChoice(cell.Context(bed.host), value, Prio1List, cmcForeignSource::Absent));
    EXPECT_EQ(value, 5);
    EXPECT_EQ(cell.capsule.output, "Fixed channel");

    // Other keys are ignored.
    cell.Key('q');
    EXPECT_FALSE(editChoice(cell.Context(bed.host), value, Prio1List));
    EXPECT_EQ(cell.result, cmcRunResult::Done);
}

TEST_F(CodecChoiceTest, LargeListsUseTheModelSelectionPopup)
{
    int value = 2;
    cell.Key(cmcKey::Enter);
    editLargeChoice(cell.Context(bed.host), value, "GI_Sheet_Sel_DIG_INDList",
                    clIndex(clLogic::Flex_InvIDList_ChNo), "Individual ID", std::string("Dispatcher"));
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::ModelSelection);
    EXPECT_EQ(bed.host.LastPopup().title, "Individual ID");
    EXPECT_EQ(cell.capsule.output, "Dispatcher");
    cell.Choice(clLogic::Flex_InvIDList_ChNo, 7);
    EXPECT_TRUE(editLargeChoice(cell.Context(bed.host), value, "GI_Sheet_Sel_DIG_INDList",
                                clIndex(clLogic::Flex_InvIDList_ChNo), "Individual ID"));
    EXPECT_EQ(value, 7);
}

TEST_F(CodecChoiceTest, TypedNumberAndLabelVariants)
{
    struct Case {
        const char* typed;
        int value; // -1: refused, stays 30
    };
    const Case typedNumbers[] = {
        {"67", 0},
        {"70", 1}, // 69.3 and 71.9 read as 69 and 71: the first of the tie
        {"255", 49},
        {"off", cmcToneOffValue},
        {"OF", cmcToneOffValue},
        {"o", -1},
        {"x", -1},
    };
    for (const Case& c : typedNumbers) {
        int value = 30;
        cell.Input(c.typed);
        EXPECT_EQ(editTypedChoice(cell.Context(bed.host), value, ToneList), c.value >= 0) << c.typed;
        EXPECT_EQ(value, c.value >= 0 ? c.value : 30) << c.typed;
    }
    int value = 30;
    cell.Key('O');
    editTypedChoice(cell.Context(bed.host), value, ToneList);
    EXPECT_EQ(cell.result, cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "O");

    const Case labels[] = {{"fix", 5}, {"S", 1}, {"o", 0}, {"zz", -1}};
    for (const Case& c : labels) {
        int choice = 30;
        cell.Input(c.typed);
        EXPECT_EQ(editLabelChoice(cell.Context(bed.host), choice, Prio1List), c.value >= 0) << c.typed;
        EXPECT_EQ(choice, c.value >= 0 ? c.value : 30) << c.typed;
    }
    cell.Key(' ');
    value = 0;
    editLabelChoice(cell.Context(bed.host), value, Prio1List);
    EXPECT_EQ(value, 1); // the blank steps, it does not open the editor
}

TEST_F(CodecChoiceTest, FlagStrings)
{
    std::uint32_t bits = 0;
    struct Case {
        int key;
        const char* shown; // positions 1..17, label style 3
    };
    const Case cases[] = {
        {'1', "1________________"},           {'a', "1________A_______"},
        {'Z', "1________A______Z"},           {cmcKey::Backspace, "_23456789_BCDEFG_"},
        {cmcKey::Space, "_________________"}, // some set: all cleared
        {cmcKey::Space, "123456789ABCDEFGZ"}, // none set: all set
        {'9', "12345678_ABCDEFGZ"},
    };
    for (const Case& c : cases) {
        cell.Key(c.key);
        EXPECT_TRUE(editFlagString(cell.Context(bed.host), bits, 1, 17, 3)) << c.key;
        EXPECT_EQ(cell.capsule.output, c.shown) << c.key;
    }
    // Position 1 is the most significant of the set.
    EXPECT_EQ(bits, 0x1FEFFu);

    // The other label style shows 10 as "0".
    std::uint32_t ten = 0x1;
    cell.Draw();
    editFlagString(cell.Context(bed.host), ten, 1, 10, 0);
    EXPECT_EQ(cell.capsule.output, "_________0");
    cell.Key('0');
    editFlagString(cell.Context(bed.host), ten, 1, 10, 0);
    EXPECT_EQ(ten, 0u);

    cell.Key(cmcKey::Enter);
    std::uint32_t scan = 0x8001;
    EXPECT_FALSE(editFlagString(cell.Context(bed.host), scan, 1, 16, 3));
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::BitField);
    EXPECT_EQ(bed.host.LastPopup().current, 0x8001);
    EXPECT_EQ(bed.host.LastPopup().last, 16);
    cell.Choice(clLogic::Flex0, 0, {}, "3");
    EXPECT_TRUE(editFlagString(cell.Context(bed.host), scan, 1, 16, 3));
    EXPECT_EQ(cell.capsule.output, "______________FG");
}

TEST_F(CodecChoiceTest, ChannelMarksResultsAndEvents)
{
    struct Case {
        int item;
        std::uint8_t from;
        std::uint8_t to;
        const char* shown;
    };
    const Case cases[] = {
        {1, 0, datStPrioA, "A"},
        {2, datStPrioA, datStPrioA | datStPrioB, "AB"},
        {3, datStThirdOff, datStThird, "E"},
        {4, datStThird, datStThirdOff, ""},
        {5, datStBank2, datStBank1 | datStBank2, ""},
        {6, datStBank2, 0, ""},
    };
    bed.TakeEvents();
    for (const Case& c : cases) {
        std::uint8_t status = c.from;
        cell.Choice(clLogic::Flex0, c.item);
        EXPECT_TRUE(editChannelMarks(cell.Context(bed.host), status, "GI_Sheet_Sel_Mch_Atr"));
        EXPECT_EQ(status, c.to) << c.item;
        EXPECT_EQ(cell.capsule.output, c.shown) << c.item;
        const std::vector<FakeRaisedEvent> events = bed.TakeEvents();
        ASSERT_EQ(events.size(), 2u) << c.item;
        EXPECT_EQ(events[0].code, cmcEvCode::RefreshBankImages);
        EXPECT_EQ(events[1].code, cmcEvCode::RefreshSheetTitle);
    }
    std::uint8_t third = datStThird | datStThirdOff; // a reference out of force shows no E
    cell.Draw();
    editChannelMarks(cell.Context(bed.host), third, "GI_Sheet_Sel_Mch_Atr");
    EXPECT_EQ(cell.capsule.output, "");
    cell.Key(cmcKey::Enter);
    editChannelMarks(cell.Context(bed.host), third, "GI_Sheet_Sel_Mch_Atr");
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_Mch_Atr");
    EXPECT_TRUE(bed.TakeEvents().empty());
}

TEST_F(CodecChoiceTest, BitMatrixGoesToTheCharacterEditorAndBack)
{
    std::array<std::uint8_t, 24> dots{};
    dots[0] = 0x80; // column 0, row 0
    dots[3] = 0x01; // column 1, row 15
    cell.Key(cmcKey::Enter);
    editBits(cell.Context(bed.host), dots, 12, 16);
    const FakePopupRequest& editor = bed.host.LastPopup();
    ASSERT_EQ(editor.kind, FakePopupRequest::Kind::CharacterEditor);
    ASSERT_EQ(editor.text.size(), 192u);
    EXPECT_EQ(editor.text[0], '1');
    EXPECT_EQ(editor.text[15 * 12 + 1], '1');
    EXPECT_EQ(std::count(editor.text.begin(), editor.text.end(), '1'), 2);

    std::string result(192, '0');
    result[12 * 8 + 11] = '1'; // row 8, column 11
    cell.Choice(clLogic::Flex0, 0, {}, result);
    EXPECT_TRUE(editBits(cell.Context(bed.host), dots, 12, 16));
    std::array<std::uint8_t, 24> expected{};
    expected[23] = 0x80;
    EXPECT_EQ(dots, expected);
    EXPECT_EQ(cmcDotsText(dots, 12, 16), result);
    cell.Choice(clLogic::Flex0, 0, {}, "01x");
    EXPECT_FALSE(editBits(cell.Context(bed.host), dots, 12, 16));
}

TEST_F(CodecChoiceTest, KeyFunctions)
{
    cmcEeprom& image = bed.host.Image();
    EXPECT_EQ(cmcKeySlotOf(clIndex(clLogic::CL_KDisp_Key_Conv_P0), 0), 2);
    EXPECT_EQ(cmcKeySlotOf(clIndex(clLogic::CL_KDisp_Key_Shift_Pio9), 0), 20);
    EXPECT_EQ(cmcKeySlotOf(clIndex(clLogic::CL_KDisp_Key_Conv_DialCw), 0), cmcDialSlot);
    EXPECT_EQ(cmcKeySlotOf(clIndex(clLogic::CL_KDisp_Key_Conv_LeftUp), 0), -1);
    EXPECT_EQ(cmcKeySlotOf(clIndex(clLogic::CL_KDisp_Key_Shift_Common), 11), 11);
    EXPECT_TRUE(cmcKeyIsShifted(clIndex(clLogic::CL_KDisp_Key_Shift_RightUp)));
    EXPECT_FALSE(cmcKeyIsShifted(clIndex(clLogic::CL_KDisp_Key_Conv_Common)));

    FakeCell normal(ctCategory::CT_Null, clLogic::CL_KDisp_Key_Conv_P1);
    FakeCell shifted(ctCategory::CT_Null, clLogic::CL_KDisp_Key_Shift_P1);
    int repaint = 0;
    const int slot = 3;

    // A level function: chosen, then its level asked in a second popup.
    normal.Choice(clLogic::FlexMark, '4');
    ASSERT_TRUE(editKeyFunction(normal.Context(bed.host), image, slot, false, repaint));
    EXPECT_EQ(image.GetByte(cmcKeyNormalPlace + slot), '4');
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_KDisp_KeyOpt_HL");
    EXPECT_EQ(bed.host.LastPopup().flex, clIndex(clLogic::FlexKeyOpt));
    EXPECT_EQ(normal.result, cmcRunResult::PopupOpened);
    const std::uint8_t levels = image.GetByte(cmcKeyLevelPlace);
    normal.Choice(clLogic::FlexKeyOpt, 1);
    ASSERT_TRUE(editKeyFunction(normal.Context(bed.host), image, slot, false, repaint));
    EXPECT_EQ(image.GetByte(cmcKeyLevelPlace), levels | 0x40); // '4' is group 2: bit 6
    EXPECT_EQ(repaint & cmcRepaint::All, cmcRepaint::All);
    EXPECT_EQ(normal.capsule.output, "Output 2 (momentary) /H");

    // 'S' needs the digital functions.
    image.SetByte(cmcDigitalFunctionPlace,
                  static_cast<std::uint8_t>(image.GetByte(cmcDigitalFunctionPlace) & ~0x10));
    normal.Choice(clLogic::FlexMark, 'S');
    editKeyFunction(normal.Context(bed.host), image, slot, false, repaint);
    EXPECT_TRUE(normal.capsule.IsError());
    image.SetByte(cmcDigitalFunctionPlace,
                  static_cast<std::uint8_t>(image.GetByte(cmcDigitalFunctionPlace) | 0x10));
    normal.Draw();
    editKeyFunction(normal.Context(bed.host), image, slot, false, repaint);
    EXPECT_FALSE(normal.capsule.IsError());
    bed.TakeEvents();

    // 'c' (function) on the normal key takes the shifted assignment along and redraws all.
    normal.Choice(clLogic::FlexMark, 'c');
    ASSERT_TRUE(editKeyFunction(normal.Context(bed.host), image, slot, false, repaint));
    EXPECT_EQ(image.GetByte(cmcKeyShiftedPlace + slot), 'c');
    EXPECT_TRUE(bed.Raised(cmcEvCode::RedrawAll));
    shifted.Key(cmcKey::Space);
    EXPECT_FALSE(editKeyFunction(shifted.Context(bed.host), image, slot, true, repaint));
    EXPECT_EQ(shifted.capsule.fontColour, clOliveColour);
    EXPECT_EQ(shifted.capsule.output, "Function");
    normal.Key(cmcKey::Backspace); // stepping away from 'c' redraws again
    ASSERT_TRUE(editKeyFunction(normal.Context(bed.host), image, slot, false, repaint));
    EXPECT_NE(image.GetByte(cmcKeyNormalPlace + slot), 'c');
    EXPECT_TRUE(bed.Raised(cmcEvCode::RedrawAll));

    // The dial has its own list.
    FakeCell dial(ctCategory::CT_Null, clLogic::CL_KDisp_Key_Conv_DialCw);
    dial.Key(cmcKey::Enter);
    editKeyFunction(dial.Context(bed.host), image, cmcDialSlot, false, repaint);
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_Dials_Lmr_VADOR");
    EXPECT_EQ(bed.host.LastPopup().flex, clIndex(clLogic::FlexMark));
}

TEST_F(CodecChoiceTest, ScanChannelReferences)
{
    cmcEeprom& image = bed.host.Image();
    datSetChannelCount(image, 0, 4);
    cmcScanChannelRef ref{1, 0, false};

    // Choosing the fixed channel opens the channel selector.
    cell.Choice(clLogic::Flex0, cmcScanFixedChannelMode);
    ASSERT_TRUE(editScanChannel(cell.Context(bed.host), ref, cmcScanChannel::Priority2, image));
    EXPECT_EQ(ref.mode, cmcScanFixedChannelMode);
    EXPECT_TRUE(ref.prio2InUse);
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::ModelSelection);
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_ScanCHSel");
    EXPECT_EQ(bed.host.LastPopup().flex, clIndex(clLogic::FlexCHSel));

    cell.Choice(clLogic::FlexCHSel, 2);
    ASSERT_TRUE(editScanChannel(cell.Context(bed.host), ref, cmcScanChannel::Priority2, image));
    EXPECT_EQ(ref.channel, 2);
    EXPECT_EQ(cell.capsule.output, "3 ch");

    // A zone without channels opens the zone selector again.
    datSetChannelCount(image, 0, 0);
    cell.Choice(clLogic::FlexZoneSel, 0);
    EXPECT_FALSE(editScanChannel(cell.Context(bed.host), ref, cmcScanChannel::Priority2, image));
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_ScanZoneSel");
    EXPECT_EQ(bed.host.LastPopup().flex, clIndex(clLogic::FlexZoneSel));

    // Mode 0 of priority channel 2 clears its in-use bit; modes step like a list.
    cell.Choice(clLogic::Flex0, 0);
    ASSERT_TRUE(editScanChannel(cell.Context(bed.host), ref, cmcScanChannel::Priority2, image));
    EXPECT_FALSE(ref.prio2InUse);
    EXPECT_EQ(cell.capsule.output, "Off");
    cell.Key(cmcKey::Space);
    ASSERT_TRUE(editScanChannel(cell.Context(bed.host), ref, cmcScanChannel::Transmit, image));
    EXPECT_EQ(ref.mode, 1);
    EXPECT_FALSE(ref.prio2InUse); // only priority channel 2 has the bit
}

} // namespace
