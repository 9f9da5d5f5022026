// Every record-bound logic round-trips through decode and encode: a value set through the
// dispatcher lands in the field, every other bit of the image stays as it was, and the cell
// reads the same text back. The rows of data are walked value by value; the logics with
// handlers of their own are cases of a table.
#include "RecordLogicFixture.h"

#include "base/cmcText.h"
#include "cells/cmcFCache.h"

#include <functional>

namespace {

using L = clLogic;
using F = datField;

int categoryOfKind(int kind)
{
    for (int c = 0; c < ctCategoryCount; ++c)
        if (ctCategories[static_cast<std::size_t>(c)].recordKind == kind)
            return c;
    return ctNoCategory;
}

int flexOf(const clFieldRow& row)
{
    return clIndex(row.codec == clFieldCodec::MarkedChoice ? L::FlexMark : L::Flex0);
}

// The bits of the image a row's field occupies in record index (with the bits the encoder
// derives from it): the bytes that differ between writing two opposite values.
void addFieldMask(std::vector<std::uint8_t>& mask, const cmcEeprom& image, const clFieldRow& row, int kind,
                  int index, std::uint32_t a, std::uint32_t b)
{
    cmcEeprom first;
    first.CopyFrom(image);
    cmcEeprom second;
    second.CopyFrom(image);
    datCh x(first);
    x.decode(kind, index);
    datCh y(second);
    y.decode(kind, index);
    if (row.codec == clFieldCodec::Text) {
        x.SetText(row.field, std::string(64, static_cast<char>(a)));
        y.SetText(row.field, std::string(64, static_cast<char>(b)));
    } else {
        clWriteField(x, row, a);
        clWriteField(y, row, b);
    }
    x.encode(kind, index);
    y.encode(kind, index);
    for (std::size_t i = 0; i < mask.size(); ++i)
        mask[i] |= static_cast<std::uint8_t>(first.Bytes()[i] ^ second.Bytes()[i]);
}

std::vector<std::uint8_t> fieldMask(const cmcEeprom& image, const clFieldRow& row, int kind, int index)
{
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(image.GetSize()), 0);
    addFieldMask(mask, image, row, kind, index, 0xFFFFFFFFu, 0);
    if (row.codec == clFieldCodec::Text)
        addFieldMask(mask, image, row, kind, index, ' ', 'A');
    return mask;
}

class RecordLogicRoundTripTest : public RecordLogicTest {
public:
    // A record of the row's kind that is in use and to which the row applies.
    int prepare(const clFieldRow& row, int kind)
    {
        if (kind == datKindChannel) {
            AddChannels(1);
            SetChannelType(0, row.when == clWhen::Digital ? 3 : row.when == clWhen::Mixed ? 1 : 0);
            SetTrunkedBank(row.bank == clBankUse::Trunked);
        }
        if (kind == datKindRepeater)
            AddRepeaters(1);
        return datKindOf(kind).lowest;
    }

    std::vector<int> valuesOf(const clFieldRow& row)
    {
        switch (row.codec) {
        case clFieldCodec::Choice:
        case clFieldCodec::MarkedChoice:
        case clFieldCodec::TypedChoice: {
            std::vector<int> values;
            for (const cmcFCacheItem& item : SelectionLabels().Build(row.list, flexOf(row)).byValue)
                values.push_back(item.value);
            return values;
        }
        case clFieldCodec::Number:
        case clFieldCodec::PaddedNumber:
        case clFieldCodec::HexNumber:
            return {row.hi, row.lo, (row.lo + row.hi) / 2};
        case clFieldCodec::FlagString: {
            const int all = (1 << (row.hi - row.lo + 1)) - 1;
            return {all, 0, 0x5555 & all};
        }
        case clFieldCodec::Text:
            return {0};
        case clFieldCodec::Show:
            return {};
        }
        return {};
    }

    // Sets value through the cell; returns the text the setting run showed.
    std::string set(const clFieldRow& row, ctCategory category, int arg, int value, std::string& expected)
    {
        FakeCell cell(category, row.logic, arg);
        switch (row.codec) {
        case clFieldCodec::Choice:
        case clFieldCodec::MarkedChoice:
        case clFieldCodec::TypedChoice:
            cell.Choice(static_cast<clLogic>(flexOf(row)), value);
            expected = SelectionLabels().GetLabel(row.list, flexOf(row), value);
            break;
        case clFieldCodec::Number:
            cell.Input(Format("%d", value + row.offset));
            expected = Format("%d", value + row.offset);
            break;
        case clFieldCodec::PaddedNumber:
            cell.Input(Format("%d", value));
            expected = Format("%0*d", row.digits, value);
            break;
        case clFieldCodec::HexNumber:
            cell.Input(Format("%X", value));
            expected = Format("%0*X", row.digits, value);
            break;
        case clFieldCodec::FlagString:
            cell.Choice(L::Flex0, 0, {}, Format("%d", value));
            break;
        case clFieldCodec::Text:
            cell.Input("AB12 x");
            expected = "AB12 x";
            break;
        case clFieldCodec::Show:
            break;
        }
        Run(cell);
        if (row.codec == clFieldCodec::FlagString)
            expected = cell.capsule.output;
        return cell.capsule.output;
    }
};

TEST_F(RecordLogicRoundTripTest, EveryFieldRowSetsItsBitsOnlyAndReadsBack)
{
    std::vector<const clFieldRow*> rows;
    for (const auto part : {clChannelFieldRows(), clRecordFieldRows()})
        for (const clFieldRow& row : part)
            rows.push_back(&row);
    ASSERT_GT(rows.size(), 100u);
    int checked = 0;
    for (const clFieldRow* row : rows) {
        const std::string name(clLogicName(clIndex(row->logic)));
        SCOPED_TRACE(name);
        const int kind = datFieldOf(row->field).kind;
        const auto category = static_cast<ctCategory>(categoryOfKind(kind));
        const int index = prepare(*row, kind);
        const std::vector<std::uint8_t> mask = fieldMask(Image(), *row, kind, index);
        for (const int value : valuesOf(*row)) {
            SCOPED_TRACE(value);
            cmcEeprom expectedImage;
            expectedImage.CopyFrom(Image());
            const std::vector<std::uint8_t> before = Bytes();
            datCh expectedRecord(expectedImage);
            expectedRecord.decode(kind, index);
            if (row->codec == clFieldCodec::Text)
                expectedRecord.SetText(row->field, "AB12 x");
            else if (clReadField(expectedRecord, *row) != static_cast<std::uint32_t>(value))
                clWriteField(expectedRecord, *row, static_cast<std::uint32_t>(value));
            expectedRecord.encode(kind, index);

            std::string expectedText;
            const std::string shown = set(*row, category, index, value, expectedText);
            EXPECT_EQ(shown, expectedText);
            if (row->codec != clFieldCodec::Text) {
                EXPECT_EQ(clReadField(Record(kind, index), *row), static_cast<std::uint32_t>(value));
            }
            const std::vector<std::uint8_t> after = Bytes();
            EXPECT_EQ(FirstDifference(
                          after, {expectedImage.Bytes(), expectedImage.Bytes() + expectedImage.GetSize()}),
                      -1);
            for (std::size_t i = 0; i < after.size(); ++i)
                if (((before[i] ^ after[i]) & ~mask[i]) != 0)
                    ADD_FAILURE() << "a bit outside the field changed at " << Format("0x%05zX", i);
            EXPECT_EQ(Draw(category, row->logic, index), expectedText);
            ++checked;
        }
    }
    EXPECT_GT(checked, 400);
    EXPECT_TRUE(boxes.Boxes().empty());
}

// --- the logics with handlers of their own ---

struct SpecialCase {
    const char* name;
    ctCategory category;
    clLogic logic;
    int arg;
    int kind; // the record that changes
    int index;
    std::function<void(RecordLogicTest&)> prepare;
    std::function<void(FakeCell&)> event;
    std::function<void(datCh&)> expect; // the change, applied to the record as it was
    std::string text;                   // read back; empty: the text the setting run showed
};

void digital(RecordLogicTest& t)
{
    t.AddChannels(1);
    t.SetChannelType(0, 3);
}

std::vector<SpecialCase> specialCases()
{
    const auto channel = [](RecordLogicTest& t) { t.AddChannels(1); };
    const auto repeater = [](RecordLogicTest& t) { t.AddRepeaters(1); };
    const auto none = [](RecordLogicTest&) {};
    const auto type = [](std::string s) { return [s](FakeCell& c) { c.Input(s); }; };
    const auto choose = [](clLogic flex, int v, std::string input = {}) {
        return [flex, v, input](FakeCell& c) { c.Choice(flex, v, {}, input); };
    };
    const auto scanMode = [](int mode, int txMode) {
        return [mode, txMode](RecordLogicTest& t) {
            datCh s = t.Record(datKindScanList, 0);
            s.Set(F::ScanMode, static_cast<std::uint32_t>(mode));
            s.Set(F::ScanTxMode, static_cast<std::uint32_t>(txMode));
            s.encode(datKindScanList, 0);
        };
    };
    using C = ctCategory;
    constexpr int Ch = datKindChannel;
    std::vector<SpecialCase> cases{
        {"FreqR", C::CT_Mch, L::CL_Mch_FreqR, 0, Ch, 0, channel, type("146.52"),
         [](datCh& r) {
             r.Set(F::ChRxFreq, 146'520'000);
             r.Set(F::ChTxFreq, 146'520'000);
         },
         "146.520000"},
        {"FreqT", C::CT_Mch, L::CL_Mch_FreqT, 0, Ch, 0, channel, type("147.5"),
         [](datCh& r) { r.Set(F::ChTxFreq, 147'500'000); }, "147.500000"},
        {"CTone_R", C::CT_Mch, L::CL_Mch_CTone_R, 0, Ch, 0, channel, type("67"),
         [](datCh& r) {
             datTone t;
             t.on = true;
             r.SetTone(F::ChRxTone, t);
             r.SetTone(F::ChTxTone, t);
         },
         "67.0"},
        {"CTone_T", C::CT_Mch, L::CL_Mch_CTone_T, 0, Ch, 0, channel, type("023N"),
         [](datCh& r) {
             datTone t;
             t.on = true;
             t.dtcs = true;
             t.dtcsCode = 023;
             r.SetTone(F::ChTxTone, t);
         },
         "023N"},
        {"Atr", C::CT_Mch, L::CL_Mch_Atr, 0, Ch, 0, channel, choose(L::Flex0, 1),
         [](datCh& r) { r.status |= datStPrioA; }, "A"},
        {"OperationMode", C::CT_Mch, L::CL_Mch_OperationMode, 0, Ch, 0, channel, choose(L::FlexMark, 2),
         [](datCh& r) { r.Set(F::ChOperationMode, 2); }, "Simplex"},
        {"Lockout", C::CT_Mch, L::CL_Mch_Lockout, 0, Ch, 0, channel, choose(L::FlexMark, 8),
         [](datCh& r) { r.Set(F::ChLockout, 8); }, "Tone"},
        {"Lockout_Pmr", C::CT_Mch, L::CL_Mch_Lockout_Pmr, 0, Ch, 0, channel, choose(L::FlexMark, 16),
         [](datCh& r) { r.Set(F::ChLockout, 16); }, "Digital busy"},
        {"Lockout_Local", C::CT_Mch, L::CL_Mch_Lockout_Local, 0, Ch, 0, channel, choose(L::FlexMark, 4),
         [](datCh& r) { r.Set(F::ChExtOptions17, 4); }, "Carrier"},
        {"Scan", C::CT_Mch, L::CL_Mch_Scan, 0, Ch, 0, channel, choose(L::Flex0, 0, "32769"),
         [](datCh& r) { r.SetScanMembership(0x8001); }, ""},
        {"Scan_Vuda", C::CT_Mch, L::CL_Mch_Scan_Vuda, 0, Ch, 0, channel, choose(L::Flex0, 0, "2"),
         [](datCh& r) { r.SetScanMembership(2); }, ""},
        {"WNM", C::CT_Mch, L::CL_Mch_WNM, 0, Ch, 0, channel, choose(L::Flex0, 2),
         [](datCh& r) { r.Set(F::ChBandwidth, 2); }, "Middle (20 kHz)"},
        {"WNM_Pmr", C::CT_Mch, L::CL_Mch_WNM_Pmr, 0, Ch, 0, channel, choose(L::Flex0, 3),
         [](datCh& r) { r.Set(F::ChBandwidth, 3); }, "Very narrow (6.25 kHz)"},
        {"Unit_Hex", C::CT_Mch, L::CL_Mch_Unit_Hex, 0, Ch, 0, digital, type("ABCD"),
         [](datCh& r) { r.Set(F::ChSetting27, 0xABCD); }, "ABCD"},
        {"Unit_Dec", C::CT_Mch, L::CL_Mch_Unit_Dec, 0, Ch, 0, digital, type("4660"),
         [](datCh& r) { r.Set(F::ChSetting27, 4660); }, "4660"},
        {"OwnUnitId", C::CT_Mch, L::CL_Mch_VADOR_OwnUnitId, 0, Ch, 0, digital, type("100"),
         [](datCh& r) { r.Set(F::ChSetting27, 100); }, "100"},
        {"TalkgroupId", C::CT_Mch, L::CL_Mch_VADOR_TalkgroupId, 0, Ch, 0, digital, type("200"),
         [](datCh& r) { r.Set(F::ChSetting29, 200); }, "200"},
        {"Ind_List", C::CT_Mch, L::CL_Mch_Ind_List, 0, Ch, 0,
         [](RecordLogicTest& t) {
             digital(t);
             t.AddListEntry(datKindIndividualId, 77);
         },
         choose(L::Flex_InvIDList_ChNo, 1), [](datCh& r) { r.Set(F::ChIndList, 1); }, "2: 77"},
        {"TG_List", C::CT_Mch, L::CL_Mch_TG_List, 0, Ch, 0,
         [](RecordLogicTest& t) {
             digital(t);
             t.AddListEntry(datKindTalkGroup, 300);
         },
         choose(L::Flex_TgIDList_ChNo, 1), [](datCh& r) { r.Set(F::ChTgList, 1); }, "2: 300"},
        {"CWID_Offset", C::CT_Mch, L::CL_Mch_CWID_Offset, 0, Ch, 0, channel, type("12.5"),
         [](datCh& r) { r.Set(F::ChExtSetting12, 12'500); }, ""},
        {"Grp_RxId", C::CT_Mch, L::CL_Grp_RxId, 0, Ch, 0,
         [](RecordLogicTest& t) {
             t.AddChannels(1);
             t.SetTrunkedBank(true);
         },
         type("42"), [](datCh& r) { r.Set(F::ChDigitalMarker, 42); }, "42"},
        {"Ind_Id_Dec", C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Dec, 0, datKindIndividualId, 0, none, type("1234"),
         [](datCh& r) { r.Set(F::IndId, 1234); }, "1234"},
        {"Ind_Id_Hex", C::CT_DIG_Inv, L::CL_Digi_Ind_Id_Hex, 0, datKindIndividualId, 0, none, type("BEEF"),
         [](datCh& r) { r.Set(F::IndId, 0xBEEF); }, "BEEF"},
        {"Grp_Id_Dec", C::CT_DIG_Tg, L::CL_Digi_Grp_Id_Dec, 0, datKindTalkGroup, 0, none, type("65519"),
         [](datCh& r) { r.Set(F::TgId, 65519); }, "65519"},
        {"Grp_Id_Hex", C::CT_DIG_Tg, L::CL_Digi_Grp_Id_Hex, 0, datKindTalkGroup, 0, none, type("12"),
         [](datCh& r) { r.Set(F::TgId, 0x12); }, "0012"},
        {"NacCh_RxNac", C::CT_DIG_NacCh, L::CL_Digi_NacCh_RxNac, 3, datKindNacChannel, 3, none, type("2A"),
         [](datCh& r) {
             r.Set(F::NacRx, 0x2A);
             r.Set(F::NacTx, 0x2A);
         },
         "2A"},
        {"NacCh_TxNac", C::CT_DIG_NacCh, L::CL_Digi_NacCh_TxNac, 3, datKindNacChannel, 3, none, type("3F"),
         [](datCh& r) { r.Set(F::NacTx, 0x3F); }, "3F"},
        {"Rpt_FreqR", C::CT_Rpt, L::CL_Rpt_FreqR, 0, datKindRepeater, 0, repeater, type("451"),
         [](datCh& r) { r.Set(F::RptRxFreq, 451'000'000); }, "451.000000"},
        {"Rpt_FreqT", C::CT_Rpt, L::CL_Rpt_FreqT, 0, datKindRepeater, 0, repeater, type("456"),
         [](datCh& r) { r.Set(F::RptTxFreq, 456'000'000); }, "456.000000"},
        {"Rpt_Atr", C::CT_Rpt, L::CL_Rpt_Atr, 0, datKindRepeater, 0, repeater, choose(L::Flex0, 1),
         [](datCh& r) { r.status |= datStHome; }, "H"},
        {"Rpt_Text", C::CT_Rpt, L::CL_Rpt_Text, 0, datKindRepeater, 0, repeater, type("SITE 1"),
         [](datCh& r) { r.SetText(F::RptSiteText, "SITE 1"); }, "SITE 1"},
        {"ScanList_TalkBack", C::CT_Scan, L::CL_ScanList_TalkBack, 0, datKindScanList, 0, scanMode(1, 1),
         choose(L::Flex0, 1), [](datCh& r) { r.Set(F::ScanTalkBack, 1); }, "On"},
        {"ScanList_TX_Action", C::CT_Scan, L::CL_ScanList_TX_Action, 0, datKindScanList, 0, scanMode(1, 0),
         choose(L::Flex0, 1), [](datCh& r) { r.Set(F::ScanTxAction, 1); }, "Continue scan"},
        {"ScanList_Cancel_CH", C::CT_Scan, L::CL_ScanList_Cancel_CH, 0, datKindScanList, 0, scanMode(2, 0),
         choose(L::Flex0, 3), [](datCh& r) { r.Set(F::ScanCancelCh, 3); }, "Priority channel 2"},
        {"ScanList_DispText", C::CT_Scan, L::CL_ScanList_DispText, 0, datKindScanList, 0, scanMode(17, 0),
         choose(L::Flex0, 2), [](datCh& r) { r.Set(F::ScanDispText, 2); }, "Frequency"},
        {"ScanList_Prio1_CH", C::CT_Scan, L::CL_ScanList_Prio1_CH, 0, datKindScanList, 0, scanMode(2, 0),
         choose(L::Flex0, 1), [](datCh& r) { r.Set(F::ScanPrio1Mode, 1); }, "Selected channel"},
        {"ScanList_Prio2_CH", C::CT_Scan, L::CL_ScanList_Prio2_CH, 0, datKindScanList, 0, scanMode(2, 0),
         choose(L::Flex0, 1),
         [](datCh& r) {
             r.Set(F::ScanPrio2Mode, 1);
             r.Set(F::ScanPrio2InUse, 1);
         },
         "Selected channel"},
        {"ScanList_TX_CH", C::CT_Scan, L::CL_ScanList_TX_CH, 0, datKindScanList, 0, scanMode(1, 0),
         choose(L::Flex0, 1), [](datCh& r) { r.Set(F::ScanTxMode, 1); }, "Selected channel"},
        {"Dtmf_Code", C::CT_DTMF, L::CL_Dtmf_Code, 2, datKindDtmf, 2, none, type("123*#"),
         [](datCh& r) {
             const int d[] = {1, 2, 3, 14, 15};
             for (int i = 0; i < 24; ++i)
                 r.SetDigit(F::DtmfDigits, i, i < 5 ? d[i] : 0);
             r.Set(F::DtmfCount, 5);
         },
         "123*#"},
        {"Dtmf_Decode_Code", C::CT_DTMF_Rx, L::CL_Dtmf_Decode_Code, 1, datKindDtmfRx, 1, none, type("9A"),
         [](datCh& r) {
             for (int i = 0; i < 16; ++i)
                 r.SetDigit(F::DrxDigits, i, i == 0 ? 9 : i == 1 ? 10 : 0);
             r.Set(F::DrxCount, 2);
         },
         "9A"},
        {"Msk_IdGroup_Adr", C::CT_MSK_IdGroup, L::CL_Msk_IdGroup_Adr, 1, datKindMskIdGroup, 1, none,
         type("100"), [](datCh& r) { r.Set(F::MskGrpAddress, 100); }, "0100"},
        {"Msk_CallList_Adr", C::CT_MSK_CallList, L::CL_Msk_CallList_Adr, 1, datKindMskCallList, 1, none,
         type("42"), [](datCh& r) { r.Set(F::MskCallAddress, 42); }, "0042"},
        {"CTone_RX", C::CT_CTone, L::CL_CTone_RX, 4, datKindToneEntry, 4, none, type("100.0"),
         [](datCh& r) {
             datTone t;
             t.on = true;
             t.toneIndex = 12;
             r.SetTone(F::ToneRx, t);
             r.SetTone(F::ToneTx, t);
         },
         "100.0"},
        {"CTone_TX", C::CT_CTone, L::CL_CTone_TX, 4, datKindToneEntry, 4, none, type("754i"),
         [](datCh& r) {
             datTone t;
             t.on = true;
             t.dtcs = true;
             t.inverted = true;
             t.dtcsCode = 0754;
             r.SetTone(F::ToneTx, t);
         },
         "754i"},
        {"5TRx_RxCode", C::CT_RX_Code, L::CL_5TRx_RxCode, 1, datKindRxCode, 1, none, type("12345"),
         [](datCh& r) {
             for (int i = 0; i < 16; ++i)
                 r.SetDigit(F::RxcCode, i, i < 5 ? i + 1 : 15);
         },
         "12345"},
        {"10TRx_RxCode", C::CT_RX_Code, L::CL_10TRx_RxCode, 2, datKindRxCode, 2, none, type("9876543210"),
         [](datCh& r) {
             const char* digits = "9876543210";
             for (int i = 0; i < 16; ++i)
                 r.SetDigit(F::RxcCode, i, i < 10 ? digits[i] - '0' : 15);
         },
         "9876543210"},
        {"5TTx_TxCode", C::CT_TX_Code, L::CL_5TTx_TxCode, 0, datKindTxCode, 0, none, type("7A1"),
         [](datCh& r) {
             for (int i = 0; i < 16; ++i)
                 r.SetDigit(F::TxcCode, i, i == 0 ? 7 : i == 1 ? 10 : i == 2 ? 1 : 15);
         },
         "7A1"},
        {"UTone_Dec_Low", C::CT_UserTone, L::CL_UTone_Dec_Low, 2, datKindUserTone, 2, none, type("900"),
         [](datCh& r) { r.Set(F::UtDecLow, 900); }, "900"},
        {"UTone_Dec_High", C::CT_UserTone, L::CL_UTone_Dec_High, 2, datKindUserTone, 2, none, type("1100"),
         [](datCh& r) { r.Set(F::UtDecHigh, 1100); }, "1100"},
        {"2T_RxFreq_1st", C::CT_2Tone_Code, L::CL_2T_RxFreq_1st, 1, datKindTwoTone, 1, none, type("1000"),
         [](datCh& r) {
             r.Set(F::TtEdge1, 1000);
             r.Set(F::TtLow1, 980);
             r.Set(F::TtHigh1, 1020);
         },
         "1000"},
        {"2T_RxFreq_2nd", C::CT_2Tone_Code, L::CL_2T_RxFreq_2nd, 1, datKindTwoTone, 1, none, type("2000"),
         [](datCh& r) {
             r.Set(F::TtEdge2, 2000);
             r.Set(F::TtLow2, 1960);
             r.Set(F::TtHigh2, 2040);
         },
         "2000"},
        {"2TTx_Freq_1st", C::CT_2ToneTX_Common, L::CL_2TTx_Freq_1st, 0, datKindTwoToneTx, 0, none,
         type("1234.5"), [](datCh& r) { r.Set(F::TtxFreq1, 12345); }, ""},
        {"2TTx_Freq_2nd", C::CT_2ToneTX_Common, L::CL_2TTx_Freq_2nd, 0, datKindTwoToneTx, 0, none,
         type("800"), [](datCh& r) { r.Set(F::TtxFreq2, 8000); }, ""},
        {"2T_1st_Period", C::CT_2ToneTX_Common, L::CL_2T_1st_Period, 0, datKindTwoToneTx, 0, none,
         type("0.5"), [](datCh& r) { r.Set(F::TtxPeriod1, 50); }, ""},
        {"2T_2nd_Period", C::CT_2ToneTX_Common, L::CL_2T_2nd_Period, 0, datKindTwoToneTx, 0, none,
         type("2.55"), [](datCh& r) { r.Set(F::TtxPeriod2, 255); }, ""},
        {"MultiTable_BlockNo", C::CT_MultiTable, L::CL_MultiTable_BlockNo, 3, datKindMultiTable, 0, none,
         type("7"), [](datCh& r) { r.Set(F::MtBlockNo, 7, 3); }, "7"},
        {"MultiTable_Type", C::CT_MultiTable, L::CL_MultiTable_Type, 3, datKindMultiTable, 0, none,
         choose(L::Flex0, 2), [](datCh& r) { r.Set(F::MtType, 2, 3); }, "DTCS"},
        {"MultiTable_Decode", C::CT_MultiTable, L::CL_MultiTable_Decode, 3, datKindMultiTable, 0,
         [](RecordLogicTest& t) {
             datCh m = t.Record(datKindMultiTable, 0);
             m.Set(F::MtType, 1, 3);
             m.encode(datKindMultiTable, 0);
         },
         type("71.9"), [](datCh& r) { r.Set(F::MtDecode, 2, 3); }, "71.9"},
        {"MultiTable_Encode", C::CT_MultiTable, L::CL_MultiTable_Encode, 5, datKindMultiTable, 0,
         [](RecordLogicTest& t) {
             datCh m = t.Record(datKindMultiTable, 0);
             m.Set(F::MtType, 2, 5);
             m.encode(datKindMultiTable, 0);
         },
         type("025"), [](datCh& r) { r.Set(F::MtEncode, 025, 5); }, "025N"},
        {"BankText", C::CT_BankOp, L::CL_Mch_BankText, 0, datKindBank, 0, none, type("ZONE 1"),
         [](datCh& r) { r.SetText(F::BankName, "ZONE 1"); }, "ZONE 1"},
        {"Bank_SmarTrunk", C::CT_BankOp, L::CL_Bank_SmarTrunk, 0, datKindBank, 0, none, choose(L::Flex0, 1),
         [](datCh& r) { r.status |= datStBank1; }, "On"},
        {"Mch_SmarTrunk", C::CT_BankOp, L::CL_Mch_SmarTrunk, 0, datKindBank, 0, none, choose(L::Flex0, 1),
         [](datCh& r) { r.status |= datStBank1; }, "On"},
        {"Mch_LTR", C::CT_BankOp, L::CL_Mch_LTR, 0, datKindBank, 0, none, choose(L::Flex0, 1),
         [](datCh& r) { r.status |= datStBank2; }, "Trunked"},
        {"Rpt_AreaBit", C::CT_Rpt, L::CL_Rpt_AreaBit, 0, datKindRepeater, 0, repeater,
         [](FakeCell& c) { c.Key(cmcKey::Space); }, [](datCh& r) { r.Set(F::RptSiteArea, 1); },
         "Area bit: 1"},
        {"Mch_AreaBit", C::CT_Null, L::CL_Mch_AreaBit, 0, datKindRepeater, 0, none,
         [](FakeCell& c) { c.Key(cmcKey::Enter); }, [](datCh& r) { r.Set(F::RptSiteArea, 1); },
         "Area bit: 1"},
    };
    return cases;
}

TEST_F(RecordLogicRoundTripTest, EveryLogicWithItsOwnHandlerSetsItsFieldOnlyAndReadsBack)
{
    for (const SpecialCase& c : specialCases()) {
        SCOPED_TRACE(c.name);
        c.prepare(*this);
        cmcEeprom expectedImage;
        expectedImage.CopyFrom(Image());
        datCh expected(expectedImage);
        expected.decode(c.kind, c.index);
        c.expect(expected);
        expected.encode(c.kind, c.index);

        FakeCell cell(c.category, c.logic, c.arg);
        c.event(cell);
        Run(cell);
        EXPECT_EQ(FirstDifference(Bytes(),
                                  {expectedImage.Bytes(), expectedImage.Bytes() + expectedImage.GetSize()}),
                  -1);
        const std::string text = c.text.empty() ? cell.capsule.output : c.text;
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(Draw(c.category, c.logic, c.arg), text);
        // Every case starts from the shipped image again.
        bed.host.Document().New();
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RecordLogicRoundTripTest, TheUserCharacterTakesTheEditorsDotsColumnByColumn)
{
    std::string dots(16 * 12, '0');
    for (int x = 0; x < 12; ++x)
        dots[static_cast<std::size_t>(x)] = '1';        // the top row
    dots[static_cast<std::size_t>(15 * 12 + 11)] = '1'; // bottom right
    EXPECT_EQ(Press(ctCategory::CT_CEdit, L::CL_CEdit, 5, cmcKey::Enter), cmcRunResult::PopupOpened);
    EXPECT_EQ(bed.host.LastPopup().kind, FakePopupRequest::Kind::CharacterEditor);
    Choose(ctCategory::CT_CEdit, L::CL_CEdit, 5, L::Flex0, 0, dots);
    const std::string stored = Record(datKindUserChar, 5).Text(F::UcDots);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(static_cast<std::uint8_t>(stored[static_cast<std::size_t>(2 * x)]), 0x80) << x;
        EXPECT_EQ(static_cast<std::uint8_t>(stored[static_cast<std::size_t>(2 * x + 1)]),
                  x == 11 ? 0x01 : 0x00);
    }
}

} // namespace
