// The record cells of the lists and tables besides the channels: entries added on the
// blank rows of the ID lists and the repeaters, the reserved identities, the repeater rules,
// the scan list applicability, the NAC coupling, the MSK address errors, the multi tables
// and the user tone windows; and every record logic drawn on a programmed image.
#include "RecordLogicFixture.h"

#include "cells/clFamilies.h"
#include "cells/datMemoryMap.h"
#include "cells/datTables.h"
#include "cells/datVudaAdr.h"
#include "image/cmcBigEndian.h"

#include <functional>
#include <string_view>

namespace {

using L = clLogic;
using F = datField;
using C = ctCategory;

class RecordLogicListTest : public RecordLogicTest {};

TEST_F(RecordLogicListTest, AKeyOnTheFirstRowPastAnIdListAddsAnEntryThroughItsEvent)
{
    struct Case {
        C category;
        clLogic dec;
        clLogic hex;
        int kind;
        F id;
        cmcEvCode event;
    } cases[] = {
        {C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Dec, L::CL_Digi_Ind_Id_Hex, datKindIndividualId, F::IndId,
         cmcEvCode::InsertIndividualId},
        {C::CT_DIG_Tg, L::CL_Digi_Grp_Id_Dec, L::CL_Digi_Grp_Id_Hex, datKindTalkGroup, F::TgId,
         cmcEvCode::InsertTalkGroup},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(datUsedCount(Image(), c.kind, 0), 1);
        EXPECT_EQ(Draw(c.category, c.dec, 1), "");
        // The hexadecimal cell and rows further down add nothing.
        Press(c.category, c.hex, 1, '5');
        Press(c.category, c.dec, 2, '5');
        EXPECT_EQ(datUsedCount(Image(), c.kind, 0), 1);
        bed.TakeEvents();

        FakeCell cell(c.category, c.dec, 1);
        cell.Key('5');
        EXPECT_EQ(Run(cell), cmcRunResult::StartEditor);
        EXPECT_EQ(cell.capsule.output, "5");
        EXPECT_EQ(datUsedCount(Image(), c.kind, 0), 2);
        const auto events = bed.TakeEvents();
        EXPECT_TRUE(std::any_of(events.begin(), events.end(),
                                [&](const FakeRaisedEvent& e) { return e.code == c.event && e.arg2 == 1; }));
        Type(c.category, c.dec, 1, "500");
        EXPECT_EQ(Record(c.kind, 1).Get(c.id), 500u);
        EXPECT_EQ(Draw(c.category, c.hex, 1), "01F4");
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RecordLogicListTest, AFullMemoryRefusesTheNewEntry)
{
    SetBE16(Image().Bytes() + datUsedEndPlace, datDynamicEnd);
    const auto before = Bytes();
    Press(C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Dec, 1, cmcKey::Enter);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find("memory is full"), std::string::npos);
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
}

TEST_F(RecordLogicListTest, IdentitiesPassOverTheReservedRange)
{
    struct Case {
        std::uint32_t from;
        int key; // 0: type text
        const char* text;
        std::uint32_t stored;
    } cases[] = {
        {100, 0, "65525", 65519},          {100, 0, "65520", 65519},
        {65519, cmcKey::Space, "", 65535}, {65535, cmcKey::Backspace, "", 65519},
        {100, 0, "65535", 65535},          {100, 0, "65519", 65519},
    };
    for (clLogic logic : {L::CL_Digi_Ind_Id_Dec, L::CL_Digi_Grp_Id_Dec}) {
        const bool individual = logic == L::CL_Digi_Ind_Id_Dec;
        const C category = individual ? C::CT_DIG_Inv : C::CT_DIG_Tg;
        const int kind = individual ? datKindIndividualId : datKindTalkGroup;
        const F id = individual ? F::IndId : F::TgId;
        for (const Case& c : cases) {
            datCh entry = Record(kind, 0);
            entry.Set(id, c.from);
            entry.encode(kind, 0);
            if (c.key != 0)
                Press(category, logic, 0, c.key);
            else
                Type(category, logic, 0, c.text);
            EXPECT_EQ(Record(kind, 0).Get(id), c.stored) << c.from << " " << c.text;
            EXPECT_EQ(Draw(category, logic, 0), std::to_string(c.stored));
        }
    }
    Type(C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Hex, 0, "FFF5");
    EXPECT_EQ(Record(datKindIndividualId, 0).Get(F::IndId), 65519u);
    FakeCell hex(C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Hex, 0);
    hex.Input("FFF0");
    Run(hex);
    EXPECT_EQ(hex.capsule.output, "FFEF");
}

TEST_F(RecordLogicListTest, RepeatersAddWithTheDuplexOffsetAndNumberWithinTheSite)
{
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_No, 0), "New");
    FakeCell cell(C::CT_Rpt, L::CL_Rpt_FreqR, 0);
    cell.Key('4');
    EXPECT_EQ(Run(cell), cmcRunResult::StartEditor);
    EXPECT_EQ(datRepeaterCount(Image(), 0), 1);
    EXPECT_TRUE(bed.Raised(cmcEvCode::InsertRepeater));
    Type(C::CT_Rpt, L::CL_Rpt_FreqR, 0, "450.5");
    EXPECT_EQ(Record(datKindRepeater, 0).Get(F::RptRxFreq), 450'500'000u);
    EXPECT_EQ(Record(datKindRepeater, 0).Get(F::RptTxFreq), 455'500'000u);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_No, 0), "  1");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_No, 1), "New");
    // The site's text and area bit show on the blank row too.
    Type(C::CT_Rpt, L::CL_Rpt_Text, 1, "NORTH");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Text, 0), "NORTH");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_AreaBit, 1), "Area bit: 0");
}

TEST_F(RecordLogicListTest, RepeaterPowerZeroReadsAsHighAndTheSourceOfTheWindowIsIgnored)
{
    AddRepeaters(1);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_RfPo, 0), "High");
    // The repeater window's cells run with the opening cell as their source.
    FakeCell opener(C::CT_Mch, L::CL_Mch_No, 0);
    FakeCell cell(C::CT_Rpt, L::CL_Rpt_RfPo, 0);
    cell.Key(cmcKey::Space);
    cell.capsule.source = &opener.capsule;
    Run(cell);
    EXPECT_EQ(Record(datKindRepeater, 0).Get(F::RptPower), 2u);
    EXPECT_EQ(cell.capsule.output, "Low 2");
}

TEST_F(RecordLogicListTest, TheHomeRepeaterMarkIsOneRepeaterOfTheSite)
{
    AddRepeaters(3);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Atr, 1), "");
    Choose(C::CT_Rpt, L::CL_Rpt_Atr, 1, L::Flex0, 1);
    EXPECT_TRUE(bed.Raised(cmcEvCode::RedrawAll));
    EXPECT_EQ(Image().GetByte(0x176E5 + 7), 2);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Atr, 1), "H");
    Choose(C::CT_Rpt, L::CL_Rpt_Atr, 2, L::Flex0, 1);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Atr, 1), "");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Atr, 2), "H");
    Choose(C::CT_Rpt, L::CL_Rpt_Atr, 2, L::Flex0, 0);
    EXPECT_EQ(Image().GetByte(0x176E5 + 7), 0);
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Atr, 2), "");
    // A repeater without a frequency offers nothing.
    datCh r = Record(datKindRepeater, 0);
    r.Set(F::RptRxFreq, 0);
    r.encode(datKindRepeater, 0);
    EXPECT_EQ(Press(C::CT_Rpt, L::CL_Rpt_Atr, 0, cmcKey::Enter), cmcRunResult::Done);
}

TEST_F(RecordLogicListTest, ScanListCellsApplyByScanMode)
{
    struct Case {
        int mode;
        int txMode;
        bool tx; // transmit channel, action, cancel channel
        bool talkBack;
        bool priority;
        bool display;
    } cases[] = {
        {0, 1, false, false, false, false}, {1, 0, true, false, false, true},
        {1, 1, true, true, false, true},    {2, 1, true, true, true, true},
        {17, 1, false, false, false, true},
    };
    for (const Case& c : cases) {
        datCh s = Record(datKindScanList, 3);
        s.Set(F::ScanMode, static_cast<std::uint32_t>(c.mode));
        s.Set(F::ScanTxMode, static_cast<std::uint32_t>(c.txMode));
        s.encode(datKindScanList, 3);
        const auto applies = [&](clLogic logic) { return Draw(C::CT_Scan, logic, 3) != "----"; };
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(applies(L::CL_ScanList_TX_CH), c.tx);
        EXPECT_EQ(applies(L::CL_ScanList_TX_Action), c.tx);
        EXPECT_EQ(applies(L::CL_ScanList_Cancel_CH), c.tx);
        EXPECT_EQ(applies(L::CL_ScanList_TalkBack), c.talkBack);
        EXPECT_EQ(applies(L::CL_ScanList_Prio1_CH), c.priority);
        EXPECT_EQ(applies(L::CL_ScanList_Prio2_CH), c.priority);
        EXPECT_EQ(applies(L::CL_ScanList_DispText), c.display);
        EXPECT_TRUE(applies(L::CL_ScanList_PwrSave));
    }
    // A cell that does not apply takes no key.
    const auto before = Bytes();
    Press(C::CT_Scan, L::CL_ScanList_Prio1_CH, 3, cmcKey::Space);
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
}

TEST_F(RecordLogicListTest, TheTransmitNacFollowsTheReceiveNacWhileEqual)
{
    EXPECT_EQ(Draw(C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 0), "<-");
    Type(C::CT_DIG_NacCh, L::CL_Digi_NacCh_RxNac, 0, "1F");
    EXPECT_EQ(Record(datKindNacChannel, 0).Get(F::NacTx), 0x1Fu);
    EXPECT_EQ(Draw(C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 0), "<-");
    // The editor opens on the value, not on the arrow.
    FakeCell edit(C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 0);
    edit.Key(cmcKey::Enter);
    EXPECT_EQ(Run(edit), cmcRunResult::StartEditor);
    EXPECT_EQ(edit.capsule.output, "1F");
    Type(C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 0, "20");
    EXPECT_EQ(Draw(C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 0), "20");
    Type(C::CT_DIG_NacCh, L::CL_Digi_NacCh_RxNac, 0, "05");
    EXPECT_EQ(Record(datKindNacChannel, 0).Get(F::NacTx), 0x20u);
    Type(C::CT_DIG_NacCh, L::CL_Digi_NacCh_RxNac, 0, "7F"); // above 63: clamped
    EXPECT_EQ(Record(datKindNacChannel, 0).Get(F::NacRx), 63u);
}

TEST_F(RecordLogicListTest, MskAddressesOutsideTheirRangeAreErrors)
{
    datVudaAdr plan;
    plan.SetBase(2000);
    plan.Write(Image());
    std::uint8_t state = 0;
    Type(C::CT_MSK_IdGroup, L::CL_Msk_IdGroup_Adr, 0, "100");
    EXPECT_EQ(Draw(C::CT_MSK_IdGroup, L::CL_Msk_IdGroup_Adr, 0, &state), "0100");
    EXPECT_TRUE(state & cmcCellCapsule::Error);
    Type(C::CT_MSK_IdGroup, L::CL_Msk_IdGroup_Adr, 0, "2500");
    Draw(C::CT_MSK_IdGroup, L::CL_Msk_IdGroup_Adr, 0, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error);

    // A call-list entry without an address shows nothing; digits past 4095 are an error.
    EXPECT_EQ(Draw(C::CT_MSK_CallList, L::CL_Msk_CallList_Adr, 4, &state), "");
    EXPECT_FALSE(state & cmcCellCapsule::Error);
    datCh entry = Record(datKindMskCallList, 4);
    entry.Set(F::MskCallAddress, 9999);
    entry.encode(datKindMskCallList, 4);
    EXPECT_EQ(Draw(C::CT_MSK_CallList, L::CL_Msk_CallList_Adr, 4, &state), "9999");
    EXPECT_TRUE(state & cmcCellCapsule::Error);
    // A typed address past the range is refused.
    const auto before = Bytes();
    Type(C::CT_MSK_CallList, L::CL_Msk_CallList_Adr, 4, "5000");
    EXPECT_EQ(FirstDifference(before, Bytes()), -1);
    EXPECT_FALSE(boxes.Boxes().empty());
}

TEST_F(RecordLogicListTest, MultiTableCodesFollowTheEntryType)
{
    EXPECT_EQ(Draw(C::CT_MultiTable, L::CL_MultiTable_Decode, 7), "----");
    Choose(C::CT_MultiTable, L::CL_MultiTable_Type, 7, L::Flex0, 1);
    Type(C::CT_MultiTable, L::CL_MultiTable_Decode, 7, "67.0");
    EXPECT_EQ(Draw(C::CT_MultiTable, L::CL_MultiTable_Decode, 7), "67.0");
    // A DTCS code typed into a CTCSS entry is not taken.
    Type(C::CT_MultiTable, L::CL_MultiTable_Decode, 7, "023");
    EXPECT_EQ(Record(datKindMultiTable, 0).Get(F::MtDecode, 7), 0u);

    std::uint8_t state = 0;
    Draw(C::CT_MultiTable, L::CL_MultiTable_Type, 7, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Error);
    datCh table = Record(datKindMultiTable, 0);
    table.Set(F::MtEncode, 60, 7); // no CTCSS tone
    table.encode(datKindMultiTable, 0);
    Draw(C::CT_MultiTable, L::CL_MultiTable_Type, 7, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Error);
    // The other entries are untouched.
    for (int e = 0; e < 16; ++e)
        if (e != 7) {
            EXPECT_EQ(Record(datKindMultiTable, 0).Get(F::MtType, e), 0u) << e;
        }
}

TEST_F(RecordLogicListTest, AUserToneWindowThatMissesTheToneIsAWarning)
{
    Type(C::CT_UserTone, L::CL_UTone_Encode, 3, "1000");
    Type(C::CT_UserTone, L::CL_UTone_Dec_Low, 3, "900");
    Type(C::CT_UserTone, L::CL_UTone_Dec_High, 3, "1100");
    std::uint8_t state = 0;
    Draw(C::CT_UserTone, L::CL_UTone_Dec_Low, 3, &state);
    EXPECT_FALSE(state & cmcCellCapsule::Warning);
    Type(C::CT_UserTone, L::CL_UTone_Dec_Low, 3, "1050");
    Draw(C::CT_UserTone, L::CL_UTone_Dec_High, 3, &state);
    EXPECT_TRUE(state & cmcCellCapsule::Warning);
}

// The category a record logic's cells have in the sheets, and an argument in range.
struct Place {
    C category;
    int arg;
};
Place placeOf(int logic)
{
    const std::string_view name = clLogicName(logic);
    const auto starts = [&](std::string_view prefix) { return name.substr(0, prefix.size()) == prefix; };
    if (const clFieldRow* row = clFieldRowOf(logic)) {
        const int kind = datFieldOf(row->field).kind;
        for (int c = 0; c < ctCategoryCount; ++c)
            if (ctCategories[static_cast<std::size_t>(c)].recordKind == kind)
                return {static_cast<C>(c), datKindOf(kind).lowest};
    }
    struct Prefix {
        std::string_view prefix;
        C category;
        int arg;
    } prefixes[] = {
        {"CL_Digi_Ind_", C::CT_DIG_Inv, 0},
        {"CL_Digi_Grp_", C::CT_DIG_Tg, 0},
        {"CL_Digi_NacCh_", C::CT_DIG_NacCh, 0},
        {"CL_Rpt_", C::CT_Rpt, 0},
        {"CL_ScanList_", C::CT_Scan, 0},
        {"CL_Dtmf_Decode_", C::CT_DTMF_Rx, 0},
        {"CL_Dtmf_", C::CT_DTMF, 0},
        {"CL_Msk_IdGroup_", C::CT_MSK_IdGroup, 0},
        {"CL_Msk_CallList_", C::CT_MSK_CallList, 0},
        {"CL_CEdit", C::CT_CEdit, 0},
        {"CL_CTone_", C::CT_CTone, 0},
        {"CL_5TRx_", C::CT_RX_Code, 1},
        {"CL_10TRx_", C::CT_RX_Code, 1},
        {"CL_5TTx_", C::CT_TX_Code, 0},
        {"CL_Select_", C::CT_TX_Code, 0},
        {"CL_UTone_", C::CT_UserTone, 0},
        {"CL_2T_RxFreq", C::CT_2Tone_Code, 1},
        {"CL_2T", C::CT_2ToneTX_Common, 0},
        {"CL_MultiTable_", C::CT_MultiTable, 0},
        {"CL_Mch_AreaBit", C::CT_Null, 0},
        {"CL_Bank_", C::CT_BankOp, 0},
        {"CL_Mch_Bank", C::CT_BankOp, 0},
        {"CL_Mch_SmarTrunk", C::CT_BankOp, 0},
        {"CL_Mch_LTR", C::CT_BankOp, 0},
        {"CL_Mch_UsedCHs", C::CT_BankOp, 0},
    };
    for (const Prefix& p : prefixes)
        if (starts(p.prefix))
            return {p.category, p.arg};
    return {C::CT_Mch, 0};
}

TEST_F(RecordLogicListTest, EveryRecordLogicDrawsWithoutErrorOnAProgrammedImage)
{
    AddChannels(2);
    SetChannelType(1, 1);
    AddRepeaters(1);
    int drawn = 0;
    for (const auto family : {clChannelLogics(), clRecordLogics()}) {
        for (const clBinding& b : family) {
            const int logic = clIndex(b.logic);
            for (int channel : {0, 1}) {
                Place place = placeOf(logic);
                if (place.category == C::CT_Mch)
                    place.arg = channel;
                else if (channel == 1)
                    continue;
                const auto before = Bytes();
                std::uint8_t state = 0;
                const std::string text = Draw(place.category, b.logic, place.arg, &state);
                SCOPED_TRACE(std::string(clLogicName(logic)));
                EXPECT_EQ(text.find("*Yet*"), std::string::npos);
                EXPECT_NE(text, "error");
                EXPECT_FALSE(state & cmcCellCapsule::Error);
                EXPECT_EQ(FirstDifference(before, Bytes()), -1) << "drawing changed the image";
                ++drawn;
            }
        }
    }
    EXPECT_GT(drawn, 200);
}

} // namespace

namespace {

class RecordLogicFullTableTest : public RecordLogicTest {};

// The row below a full table has no record: its first cell refuses with the overflow
// message, its number cell shows the new-row title, its other cells nothing.
TEST_F(RecordLogicFullTableTest, TheRowBelowAFullTableRefusesTheNewRecord)
{
    struct Case {
        C category;
        clLogic first;
        clLogic other;
        int row;
        std::function<void(cmcEeprom&)> fill;
    } cases[] = {
        {C::CT_Mch, L::CL_Mch_FreqR, L::CL_Mch_Text, datMaxChannels,
         [](cmcEeprom& image) { datSetChannelCount(image, 0, datMaxChannels); }},
        {C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Dec, L::CL_Digi_Ind_Id_Name, datMaxListEntries,
         [](cmcEeprom& image) { datSetIndividualIdCount(image, datMaxListEntries); }},
        {C::CT_DIG_Tg, L::CL_Digi_Grp_Id_Dec, L::CL_Digi_Grp_Id_Name, datMaxListEntries,
         [](cmcEeprom& image) { datSetTalkGroupCount(image, datMaxListEntries); }},
        {C::CT_Rpt, L::CL_Rpt_FreqR, L::CL_Rpt_Nar, datMaxRepeaters,
         [](cmcEeprom& image) { datSetRepeaterCount(image, 0, datMaxRepeaters); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(clLogicName(clIndex(c.first))));
        bed.host.Document().New();
        c.fill(Image());
        boxes.ClearBoxes();
        const auto before = Bytes();
        EXPECT_EQ(Draw(c.category, c.other, c.row), "");
        EXPECT_EQ(Press(c.category, c.first, c.row, '1'), cmcRunResult::Done);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_NE(boxes.Boxes()[0].text.find("memory is full"), std::string::npos);
        EXPECT_EQ(FirstDifference(before, Bytes()), -1);
    }
    datSetChannelCount(Image(), 0, datMaxChannels);
    EXPECT_EQ(Draw(C::CT_Mch, L::CL_Mch_No, datMaxChannels), "New");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_No, datMaxRepeaters), "New");
    Type(C::CT_Rpt, L::CL_Rpt_Text, datMaxRepeaters, "SOUTH");
    EXPECT_EQ(Draw(C::CT_Rpt, L::CL_Rpt_Text, 0), "SOUTH");
}

TEST_F(RecordLogicFullTableTest, AMultiTableCellAddressesEntryArgMod16OfTableArgDiv16)
{
    Choose(C::CT_MultiTable, L::CL_MultiTable_Type, 16 * 9 + 4, L::Flex0, 2);
    EXPECT_EQ(Record(datKindMultiTable, 9).Get(F::MtType, 4), 2u);
    EXPECT_EQ(Record(datKindMultiTable, 0).Get(F::MtType, 4), 0u);
    EXPECT_EQ(Record(datKindMultiTable, 9).Get(F::MtType, 5), 0u);
    EXPECT_EQ(Draw(C::CT_MultiTable, L::CL_MultiTable_Type, 16 * 9 + 4), "DTCS");
    EXPECT_EQ(Draw(C::CT_MultiTable, L::CL_MultiTable_Type, 4), "Off");
}

} // namespace
