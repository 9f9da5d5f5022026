// The channel cells as the dispatcher runs them: numbering, the blank row that adds a
// channel, frequencies with their coupling and marks, the warning and error rules, the
// applicability by channel type and bank type, marks, scan lists, unit identities, the ID
// list references and the bank cells.
#include "RecordLogicFixture.h"

#include "cells/datMemoryMap.h"
#include "cells/datTables.h"
#include "image/cmcBigEndian.h"

namespace {

using L = clLogic;
constexpr auto Mch = ctCategory::CT_Mch;

class RecordLogicChannelTest : public RecordLogicTest {};

TEST_F(RecordLogicChannelTest, NumberShowsBankAndPositionAndTheNewRowTitle)
{
    AddChannels(2);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_No, 0), "1-  1");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_No, 1), "1-  2");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_No, 2), "New");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqR, 2), "");
}

TEST_F(RecordLogicChannelTest, AKeyOnTheBlankRowAddsAChannelThroughTheServiceAndStartsTheEditor)
{
    AddChannels(1);
    FakeCell cell(Mch, L::CL_Mch_FreqR, 1);
    cell.Key('1');
    EXPECT_EQ(Run(cell), cmcRunResult::StartEditor);
    EXPECT_EQ(cell.capsule.output, "1");
    EXPECT_EQ(datChannelCount(Image(), 0), 2);
    EXPECT_TRUE(lastFlags & cmcRepaint::All);
    EXPECT_TRUE(boxes.Boxes().empty());

    Type(Mch, L::CL_Mch_FreqR, 1, "146.52");
    EXPECT_EQ(Record(datKindChannel, 1).Get(datField::ChRxFreq), 146'520'000u);
    EXPECT_EQ(Record(datKindChannel, 1).Get(datField::ChTxFreq), 146'520'000u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqR, 1), "146.520000");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqT, 1), "<-");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_No, 1), "1-  2");
}

TEST_F(RecordLogicChannelTest, OnlyAddingKeysAddAChannel)
{
    AddChannels(1);
    const auto before = Bytes();
    EXPECT_EQ(Press(Mch, L::CL_Mch_FreqR, 1, 'x'), cmcRunResult::Done);
    EXPECT_EQ(datChannelCount(Image(), 0), 1);
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
    for (int key : {int{'.'}, cmcKey::Space, cmcKey::Backspace, cmcKey::Enter}) {
        Press(Mch, L::CL_Mch_FreqR, datChannelCount(Image(), 0), key);
    }
    EXPECT_EQ(datChannelCount(Image(), 0), 5);
}

TEST_F(RecordLogicChannelTest, AFullMemoryRefusesTheNewChannelWithTheOverflowMessage)
{
    AddChannels(3);
    SetBE16(Image().Bytes() + datUsedEndPlace, datDynamicEnd);
    const auto before = Bytes();
    EXPECT_EQ(Press(Mch, L::CL_Mch_FreqR, 3, '1'), cmcRunResult::Done);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("memory is full"), std::string::npos);
    EXPECT_EQ(datChannelCount(Image(), 0), 3);
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
}

TEST_F(RecordLogicChannelTest, TransmitFrequencyFollowsMarksEqualityAndShowsDashesWhenTransmitIsOff)
{
    AddChannels(1);
    Type(Mch, L::CL_Mch_FreqT, 0, "147.0");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChTxFreq), 147'000'000u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqT, 0), "147.000000");
    // Receive and transmit differ now: a new receive frequency leaves the transmit alone.
    Type(Mch, L::CL_Mch_FreqR, 0, "146.5");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChTxFreq), 147'000'000u);

    Choose(Mch, L::CL_Mch_TxInh, 0, L::Flex0, 1);
    FakeCell t(Mch, L::CL_Mch_FreqT, 0);
    Run(t);
    EXPECT_EQ(t.capsule.output, "----");
    EXPECT_EQ(t.capsule.fontColour, clSilverColour);
    EXPECT_EQ(t.cell.HorizontalAlignment(), 1);
}

TEST_F(RecordLogicChannelTest, AReceiveFrequencyInARefusedRangeIsAnError)
{
    AddChannels(2);
    datCh ch = Record(datKindChannel, 1);
    ch.Set(datField::ChRxFreq, 200'000'000u);
    ch.encode(datKindChannel, 1);
    std::uint8_t state = 0;
    Draw(Mch, L::CL_Mch_FreqR, 1, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Error);
    Draw(Mch, L::CL_Mch_FreqR, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error);
}

TEST_F(RecordLogicChannelTest, RepeaterOperationWithoutASplitIsAWarning)
{
    AddChannels(1);
    struct Case {
        int mode;
        std::uint32_t tx;
        bool warning;
    } cases[] = {
        {0, 146'000'000, true}, {1, 146'000'000, true}, {2, 146'000'000, false}, {0, 146'600'000, false}};
    for (const Case& c : cases) {
        datCh ch = Record(datKindChannel, 0);
        ch.Set(datField::ChTxFreq, c.tx);
        ch.encode(datKindChannel, 0);
        Choose(Mch, L::CL_Mch_OperationMode, 0, L::FlexMark, c.mode);
        EXPECT_TRUE(lastFlags & cmcRepaint::All);
        std::uint8_t state = 0;
        Draw(Mch, L::CL_Mch_OperationMode, 0, &state);
        EXPECT_EQ((state & cmcCellCapsule::Warning) != 0, c.warning) << "mode " << c.mode << " tx " << c.tx;
        EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChOperationMode),
                  static_cast<std::uint32_t>(c.mode));
    }
}

TEST_F(RecordLogicChannelTest, DigitalLockoutsNeedTheDigitalFunctions)
{
    AddChannels(1);
    struct Case {
        int value;
        bool digitalOn;
        int type;
        bool warning;
        bool error;
    } cases[] = {
        {12, true, 0, true, false},  {16, true, 0, true, false},  {12, true, 3, false, false},
        {12, false, 3, false, true}, {16, false, 0, false, true}, {4, false, 0, false, false},
    };
    for (clLogic logic : {L::CL_Mch_Lockout, L::CL_Mch_Lockout_Local}) {
        for (const Case& c : cases) {
            SetChannelType(0, c.type);
            const std::uint8_t b = Image().GetByte(0x10B4F);
            Image().SetByte(0x10B4F, static_cast<std::uint8_t>(c.digitalOn ? (b | 0x10) : (b & ~0x10)));
            Choose(Mch, logic, 0, L::FlexMark, c.value);
            EXPECT_TRUE(lastFlags & cmcRepaint::All);
            std::uint8_t state = 0;
            Draw(Mch, logic, 0, &state);
            EXPECT_EQ((state & cmcCellCapsule::Warning) != 0, c.warning) << c.value;
            EXPECT_EQ((state & cmcCellCapsule::Error) != 0, c.error) << c.value;
        }
    }
    // The two lockouts are separate fields.
    Choose(Mch, L::CL_Mch_Lockout, 0, L::FlexMark, 8);
    Choose(Mch, L::CL_Mch_Lockout_Local, 0, L::FlexMark, 2);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChLockout), 8u);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChExtOptions17), 2u);
}

TEST_F(RecordLogicChannelTest, ScanListMembershipTogglesByLabelKey)
{
    AddChannels(1);
    EXPECT_EQ(Press(Mch, L::CL_Mch_Scan, 0, '3'), cmcRunResult::Done);
    EXPECT_TRUE(Record(datKindChannel, 0).InScanList(2));
    EXPECT_FALSE(Record(datKindChannel, 0).InScanList(3));
    Press(Mch, L::CL_Mch_Scan, 0, 'A'); // position 10: scan list 10 (index 9)
    EXPECT_TRUE(Record(datKindChannel, 0).InScanList(9));
    Press(Mch, L::CL_Mch_Scan, 0, '3');
    EXPECT_FALSE(Record(datKindChannel, 0).InScanList(2));
    EXPECT_EQ(Press(Mch, L::CL_Mch_Scan, 0, cmcKey::Enter), cmcRunResult::PopupOpened);
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::BitField);
    EXPECT_EQ(bed.host.LastPopup().first, 1);
    EXPECT_EQ(bed.host.LastPopup().last, 16);
}

TEST_F(RecordLogicChannelTest, TonesFollowTheReceiveToneAndAreGreyOnADigitalOnlyChannel)
{
    AddChannels(1);
    Type(Mch, L::CL_Mch_CTone_R, 0, "023i");
    datCh ch = Record(datKindChannel, 0);
    EXPECT_TRUE(ch.Tone(datField::ChRxTone).dtcs);
    EXPECT_TRUE(ch.Tone(datField::ChRxTone).inverted);
    EXPECT_EQ(ch.Tone(datField::ChRxTone).dtcsCode, 023);
    EXPECT_EQ(ch.Tone(datField::ChTxTone), ch.Tone(datField::ChRxTone));
    EXPECT_EQ(Draw(Mch, L::CL_Mch_CTone_R, 0), "023i");

    FakeCell grey(Mch, L::CL_Mch_CTone_R, 0);
    Run(grey);
    EXPECT_FALSE(grey.capsule.fontColour.has_value());
    SetChannelType(0, 3);
    Run(grey);
    EXPECT_EQ(grey.capsule.fontColour, clSilverColour);
    EXPECT_EQ(grey.capsule.output, "023i");
}

TEST_F(RecordLogicChannelTest, UnitIdentitiesApplyToDigitalChannelsWithinTheOverlayLimits)
{
    AddChannels(1);
    FakeCell analog(Mch, L::CL_Mch_Unit_Dec, 0);
    Run(analog);
    EXPECT_EQ(analog.capsule.output, "----");
    EXPECT_EQ(analog.capsule.fontColour, clSilverColour);

    SetChannelType(0, 3);
    Type(Mch, L::CL_Mch_Unit_Hex, 0, "1234");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting27), 0x1234u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Unit_Dec, 0), "4660");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Unit_Hex, 0), "1234");
    Type(Mch, L::CL_Mch_Unit_Dec, 0, "70000");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting27), 65519u);
    Type(Mch, L::CL_Mch_VADOR_TalkgroupId, 0, "1001");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting29), 1001u);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting27), 65519u);
}

TEST_F(RecordLogicChannelTest, CellsApplyByBankType)
{
    AddChannels(1);
    EXPECT_EQ(Draw(Mch, L::CL_Grp_RxId, 0), "----");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqR, 0), "146.000000");

    Choose(Mch, L::CL_Mch_LTR, 0, L::Flex0, 1);
    EXPECT_EQ(Record(datKindBank, 0).status & datStBank2, datStBank2);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_FreqR, 0), "----");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Lockout, 0), "----");
    EXPECT_EQ(Draw(Mch, L::CL_Grp_RxId, 0), "0");
    Type(Mch, L::CL_Grp_RxId, 0, "17");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChDigitalMarker), 17u);
    // The name belongs to both kinds of bank.
    EXPECT_NE(Draw(Mch, L::CL_Mch_Text, 0), "----");
}

TEST_F(RecordLogicChannelTest, TheBankTypeChangeTellsTheTreeAndTheTitles)
{
    AddChannels(1);
    Choose(Mch, L::CL_Mch_LTR, 0, L::Flex0, 1);
    const auto events = bed.TakeEvents();
    const auto raised = [&](cmcEvCode code) {
        return std::any_of(events.begin(), events.end(),
                           [code](const FakeRaisedEvent& e) { return e.code == code; });
    };
    EXPECT_TRUE(raised(cmcEvCode::RefreshBankImages));
    EXPECT_TRUE(raised(cmcEvCode::RefreshSheetTitle));
    Choose(Mch, L::CL_Bank_SmarTrunk, 0, L::Flex0, 1);
    EXPECT_EQ(Record(datKindBank, 0).status & (datStBank1 | datStBank2), datStBank1 | datStBank2);
}

TEST_F(RecordLogicChannelTest, ChannelTypeDecidesWhichCellsApply)
{
    AddChannels(1);
    struct Case {
        clLogic logic;
        bool analog;
        bool mixed;
        bool digital;
    } cases[] = {
        {L::CL_Mch_Compander, true, true, false},   {L::CL_Mch_RxCNo, true, true, false},
        {L::CL_Mch_VADOR_TxRan, false, true, true}, {L::CL_Mch_Encryption_No, false, true, true},
        {L::CL_Mch_RX_Type, false, true, false},    {L::CL_Mch_Ind_List, false, true, true},
        {L::CL_Mch_Text, true, true, true},
    };
    for (const Case& c : cases) {
        for (int type : {0, 1, 3}) {
            SetChannelType(0, type);
            const bool applies = type == 0 ? c.analog : type == 3 ? c.digital : c.mixed;
            EXPECT_EQ(Draw(Mch, c.logic, 0) != "----", applies)
                << clLogicName(clIndex(c.logic)) << " type " << type;
        }
    }
    // A cell that does not apply takes no key.
    SetChannelType(0, 0);
    const auto before = Bytes();
    Press(Mch, L::CL_Mch_VADOR_TxRan, 0, cmcKey::Space);
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
}

TEST_F(RecordLogicChannelTest, MarksSetTheReferences)
{
    AddChannels(3);
    Choose(Mch, L::CL_Mch_Atr, 2, L::Flex0, 1);
    EXPECT_TRUE(lastFlags & cmcRepaint::All);
    EXPECT_EQ(GetBE16(Image().Bytes() + datPrioAPlace), 2);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Atr, 2), "A");
    Choose(Mch, L::CL_Mch_Atr, 1, L::Flex0, 2);
    EXPECT_EQ(GetBE16(Image().Bytes() + datPrioBPlace), 1);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Atr, 1), "B");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Atr, 2), "A");
}

TEST_F(RecordLogicChannelTest, IdListReferencesShowTheEntryAndMarkOnesPastTheList)
{
    AddChannels(1);
    SetChannelType(0, 3);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Ind_List, 0), "1: 1");
    EXPECT_EQ(Press(Mch, L::CL_Mch_TG_List, 0, cmcKey::Enter), cmcRunResult::PopupOpened);
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::ModelSelection);
    EXPECT_EQ(bed.host.LastPopup().list, "GI_Sheet_Sel_DIG_TGList");
    EXPECT_EQ(bed.host.LastPopup().flex, clIndex(L::Flex_TgIDList_ChNo));

    datCh ch = Record(datKindChannel, 0);
    ch.Set(datField::ChIndList, 5);
    ch.encode(datKindChannel, 0);
    std::uint8_t state = 0;
    Draw(Mch, L::CL_Mch_Ind_List, 0, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Error);
    Choose(Mch, L::CL_Mch_Ind_List, 0, L::Flex_InvIDList_ChNo, 0);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChIndList), 0u);
    Draw(Mch, L::CL_Mch_Ind_List, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error);
}

TEST_F(RecordLogicChannelTest, BandwidthOfADigitalChannelShouldBeNarrow)
{
    AddChannels(1);
    SetChannelType(0, 2);
    Choose(Mch, L::CL_Mch_WNM, 0, L::Flex0, 0);
    std::uint8_t state = 0;
    Draw(Mch, L::CL_Mch_WNM, 0, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Warning);
    Choose(Mch, L::CL_Mch_Nar, 0, L::Flex0, 1);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChBandwidth), 1u);
    Draw(Mch, L::CL_Mch_WNM, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Warning);
    SetChannelType(0, 0);
    Choose(Mch, L::CL_Mch_WNM, 0, L::Flex0, 2);
    Draw(Mch, L::CL_Mch_WNM, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Warning);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Nar, 0), "Wide");
}

TEST_F(RecordLogicChannelTest, TheBankCountAddsAndRemovesChannelsAtTheEnd)
{
    AddChannels(2);
    Type(Mch, L::CL_Mch_Bank, 0, "5");
    EXPECT_EQ(datChannelCount(Image(), 0), 5);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_Bank, 0), "5");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_UsedCHs, 0), "5");
    EXPECT_EQ(Draw(Mch, L::CL_Bank_UsedTotal, 0), "5");
    EXPECT_EQ(Draw(Mch, L::CL_Bank_UsedLeft, 0), "27");
    // Only the blank channels at the end go: the count stops at the programmed ones.
    Type(Mch, L::CL_Mch_Bank, 0, "0");
    EXPECT_EQ(datChannelCount(Image(), 0), 2);
}

TEST_F(RecordLogicChannelTest, TheBankNameIsTheTreeCaption)
{
    Type(ctCategory::CT_BankOp, L::CL_Mch_BankText, 0, "ZONE A");
    EXPECT_EQ(Record(datKindBank, 0).Text(datField::BankName), "ZONE A      ");
    EXPECT_EQ(Draw(ctCategory::CT_BankOp, L::CL_Mch_BankText, 0), "ZONE A");
    EXPECT_TRUE(bed.Raised(cmcEvCode::BankNameToCaption));
}

TEST_F(RecordLogicChannelTest, CwIdentificationOffsetOutsideTheCoverageIsAnError)
{
    AddChannels(1);
    Type(Mch, L::CL_Mch_FreqT, 0, "170");
    Type(Mch, L::CL_Mch_CWID_Offset, 0, "1000");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChExtSetting12), 1'000'000u);
    std::uint8_t state = 0;
    Draw(Mch, L::CL_Mch_CWID_Offset, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error); // the identification is off
    Choose(Mch, L::CL_Mch_CWID_ONOFF, 0, L::Flex0, 1);
    Draw(Mch, L::CL_Mch_CWID_Offset, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error); // 171 MHz is covered
    Type(Mch, L::CL_Mch_CWID_Offset, 0, "20000");
    Draw(Mch, L::CL_Mch_CWID_Offset, 0, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Error); // 190 MHz is not
}

} // namespace

namespace {

class RecordLogicChannelViewTest : public RecordLogicTest {};

TEST_F(RecordLogicChannelViewTest, TheTwoToneAndDtmfCellsShowTheSelectiveCallDecodeOfTheirKind)
{
    AddChannels(1);
    Choose(Mch, L::CL_Mch_2Tone, 0, L::Flex0, 4);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting14), 20u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_RxCNo, 0), "2-Tone 4");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_2Tone, 0), "2-Tone 4");
    EXPECT_EQ(Draw(Mch, L::CL_Mch_RxCNoDtmf, 0), "Off");
    // Off in the DTMF cell leaves the two-tone decode alone; in the two-tone cell it ends it.
    Choose(Mch, L::CL_Mch_RxCNoDtmf, 0, L::Flex0, 0);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting14), 20u);
    Choose(Mch, L::CL_Mch_RxCNoDtmf, 0, L::Flex0, 10);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting14), 42u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_2Tone, 0), "Off");
    Choose(Mch, L::CL_Mch_RxCNoDtmf, 0, L::Flex0, 0);
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChSetting14), 0u);
}

TEST_F(RecordLogicChannelViewTest, CellsOfFeaturesThisFamilyLacksShowDashesAndTakeNoKey)
{
    AddChannels(1);
    for (clLogic logic : {L::CL_Mch_RxNac, L::CL_Mch_Msk_Sig, L::CL_Ltr_PriTgId, L::CL_Grp_BlockIdStart}) {
        FakeCell cell(Mch, logic, 0);
        Run(cell);
        EXPECT_EQ(cell.capsule.output, "----");
        EXPECT_EQ(cell.capsule.fontColour, clSilverColour);
        const auto before = Bytes();
        cell.Key(cmcKey::Enter);
        EXPECT_EQ(Run(cell), cmcRunResult::Done);
        EXPECT_EQ(FirstDifference(before, Bytes()), -1);
    }
    EXPECT_TRUE(bed.host.popups.empty());
}

TEST_F(RecordLogicChannelViewTest, TheCwOffsetAndTheMultiTableShareTheirSettingWithoutTouchingEachOther)
{
    AddChannels(1);
    Choose(Mch, L::CL_Mch_RX_MultiTableNo, 0, L::Flex0, 16);
    Type(Mch, L::CL_Mch_CWID_Offset, 0, "16000");
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChExtSetting12), (16u << 24) | 16'000'000u);
    EXPECT_EQ(Draw(Mch, L::CL_Mch_RX_MultiTableNo, 0), "Table 16");
    Type(Mch, L::CL_Mch_CWID_Offset, 0, "99999"); // clamped to the highest offset
    EXPECT_EQ(Record(datKindChannel, 0).Get(datField::ChExtSetting12), (16u << 24) | 16'000'000u);
}

} // namespace
