// The code tables: user characters, tone entries, five-tone receive and transmit codes,
// user tones, two-tone codes and their transmit settings, MDC aliases and multi tables.
//
// Units and rules of the layouts that are ours to choose:
//   user tones     encode tone and decode window in hertz; a window that does not hold
//                  the encode tone is suspicious (CL_Check_User_Tone_Encode collects it)
//   two-tone codes the two tones in hertz; a tone's decode window is kept at 2 % around it
//   two-tone TX    tones in 0.1 Hz, periods in 10 ms
//   five-tone      the repeat tone ('*') is the common setting at 0x10B49; transmit codes
//                  keep no group mask, so '+' stores tone 0 there
//   multi tables   a cell's argument is 16 x table + entry; the entry's type is 0 (off),
//                  1 (CTCSS: decode and encode are tone indexes) or 2 (DTCS: they are
//                  codes); a code that does not fit its type is an error of the type cell
#include "cells/clRecordFamily.h"

#include "cells/clRecordArg.h"

#include "base/cmcText.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace {

using L = clLogic;
using F = datField;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";
constexpr int RepeatTonePlace = 0x10B49; // low nibble: the five-tone repeat tone
constexpr int CtcssTones = 50;
constexpr int HighestDtcsCode = 0777;

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_CTone_Sel, F::ToneSel).Choice(OnOff2),
    clRow(L::CL_5TRx_Text, F::RxcText).Text(),
    clRow(L::CL_5TRx_IdDec, F::RxcIdDec).Choice(OnOff2),
    clRow(L::CL_5TRx_Bell, F::RxcBell).Choice("GI_Sheet_Sel_RxC_Bell"),
    clRow(L::CL_5TRx_EmerCancel, F::RxcEmerCancel).Choice(OnOff2),
    clRow(L::CL_5TRx_Abc, F::RxcAbc).Choice(OnOff2),
    clRow(L::CL_5TRx_Exo, F::RxcExo).Choice(OnOff2),
    clRow(L::CL_5TRx_Beep, F::RxcBeep).Choice(OnOff2),
    clRow(L::CL_5TRx_AutoTx, F::RxcAutoTx).Choice(OnOff2),
    clRow(L::CL_5TRx_Aud, F::RxcAud).Choice(OnOff2),
    clRow(L::CL_5TRx_Stun, F::RxcStun).Choice(OnOff2),
    clRow(L::CL_5TRx_Scan, F::RxcScan).Choice(OnOff2),
    clRow(L::CL_5TRx_Sfunc, F::RxcSFunc).Choice(OnOff2),
    clRow(L::CL_5TTx_Update, F::TxcUpdate).Choice(OnOff2),
    clRow(L::CL_5TTx_AbcDec, F::TxcAbcDec).Choice(OnOff2),
    clRow(L::CL_5TTx_AbcAud, F::TxcAbcAud).Choice(OnOff2),
    clRow(L::CL_5TTx_Sel, F::TxcSel).Choice(OnOff2),
    clRow(L::CL_5TTx_InputDigit, F::TxcInputDigit).Number(0, 16),
    clRow(L::CL_5TTx_Text, F::TxcText).Text(),
    clRow(L::CL_UTone_Encode, F::UtEncode).Number(0, 16383),
    clRow(L::CL_UTone_Length, F::UtLength).Choice("GI_Sheet_Sel_UTone_Length"),
    clRow(L::CL_UTone_Auto, F::UtAuto).Choice(OnOff2),
    clRow(L::CL_2T_TxText, F::TtxText).Text(),
    clRow(L::CL_2T_GroupCall, F::TtGroupCall).Choice(OnOff2),
    clRow(L::CL_2T_Bell, F::TtBell).Choice("GI_Sheet_Sel_RxC_Bell"),
    clRow(L::CL_2T_ANS, F::TtAns).Choice(OnOff2),
    clRow(L::CL_2T_EXO, F::TtExo).Choice(OnOff2),
    clRow(L::CL_2T_Beep, F::TtBeep).Choice(OnOff2),
    clRow(L::CL_2T_AutoTx, F::TtAutoTx).Choice(OnOff2),
    clRow(L::CL_2T_Stun, F::TtStun).Choice(OnOff2),
    clRow(L::CL_2T_Scan, F::TtScan).Choice(OnOff2),
    clRow(L::CL_2T_Sfunc, F::TtSFunc).Choice(OnOff2),
    clRow(L::CL_2T_Code_Type, F::TtCodeType).Choice("GI_Sheet_Sel_2T_CodeType"),
    clRow(L::CL_Mdc_Alias1_ID, F::MdcId).Hex(0, 0xFFFF, 4),
    clRow(L::CL_Mdc_Alias1_Text, F::MdcText).Text(),
    clRow(L::CL_Mdc_Alias1_Beep_Type, F::MdcBeepType).Choice("GI_Sheet_Sel_MDC_Beep_Type"),
    clRow(L::CL_Mdc_Alias1_Strip, F::MdcStrip).Choice(OnOff2),
};
// clang-format on

bool recordOf(clRun& run, int kind)
{
    if (clEnsureRecord(run, kind))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

// CL_CEdit: the 12 x 16 dot matrix of a user character, edited in the character editor.
void userCharacter(clRun& run)
{
    if (!recordOf(run, datKindUserChar))
        return;
    const std::string stored = run.record.Text(F::UcDots);
    std::vector<std::uint8_t> dots(stored.begin(), stored.end());
    if (editBits(run.Codec(), dots, 12, 16)) {
        run.record.SetText(F::UcDots, std::string(dots.begin(), dots.end()));
        run.record.store();
    }
}

// CL_CTone_RX and _TX: a tone entry's pair of tones; the transmit tone follows the receive
// tone while the two are equal.
void toneEntry(clRun& run, cmcSide side)
{
    if (!recordOf(run, datKindToneEntry))
        return;
    cmcTonePair tones{run.record.Tone(F::ToneRx), run.record.Tone(F::ToneTx)};
    if (editTone(run.Codec(), tones, side)) {
        run.record.SetTone(F::ToneRx, tones.rx);
        run.record.SetTone(F::ToneTx, tones.tx);
        run.record.store();
    }
}
void toneEntryRx(clRun& run)
{
    toneEntry(run, cmcSide::Receive);
}
void toneEntryTx(clRun& run)
{
    toneEntry(run, cmcSide::Transmit);
}

int repeatTone(const clRun& run)
{
    return run.Image().GetByte(RepeatTonePlace) & 0x0F;
}

// A five-tone code of up to n digits; the nibbles past n are ended too, so a shorter code
// never shows digits of a longer one.
bool editCode(clRun& run, datField field, int n, std::uint8_t& mask)
{
    const std::string stored = run.record.Text(field);
    std::vector<std::uint8_t> packed(stored.begin(), stored.end());
    if (!editFiveTone(run.Codec(), packed, n, mask, repeatTone(run)))
        return false;
    for (int i = n; i < 2 * static_cast<int>(packed.size()); ++i) {
        auto& b = packed[static_cast<std::size_t>(i / 2)];
        b = static_cast<std::uint8_t>(i % 2 == 0 ? (b | 0xF0) : (b | 0x0F));
    }
    run.record.SetText(field, std::string(packed.begin(), packed.end()));
    return true;
}

void receiveCode(clRun& run, int n)
{
    if (!recordOf(run, datKindRxCode))
        return;
    auto mask = static_cast<std::uint8_t>(run.record.Get(F::RxcMask));
    if (editCode(run, F::RxcCode, n, mask)) {
        run.record.Set(F::RxcMask, mask);
        run.record.store();
    }
}
void receiveCode5(clRun& run)
{
    receiveCode(run, 8);
}
void receiveCode10(clRun& run)
{
    receiveCode(run, 16);
}

void transmitCode(clRun& run, int n)
{
    if (!recordOf(run, datKindTxCode))
        return;
    std::uint8_t mask = 0;
    if (editCode(run, F::TxcCode, n, mask))
        run.record.store();
}
void transmitCode5(clRun& run)
{
    transmitCode(run, 8);
}
void transmitCode16(clRun& run)
{
    transmitCode(run, 16);
}

// CL_Select_TX_Code and _TX_Text: a transmit code as a list of codes shows it, unchanged.
void showTransmitCode(clRun& run)
{
    if (!recordOf(run, datKindTxCode))
        return;
    const std::string stored = run.record.Text(F::TxcCode);
    std::vector<std::uint8_t> packed(stored.begin(), stored.end());
    const int repeat = repeatTone(run);
    clRedrawWith(run, [&](const cmcCodecContext& draw) {
        std::uint8_t mask = 0;
        (void)editFiveTone(draw, packed, 16, mask, repeat);
    });
}
void showTransmitText(clRun& run)
{
    if (!recordOf(run, datKindTxCode))
        return;
    std::string text = run.record.Text(F::TxcText);
    clRedrawWith(
        run, [&](const cmcCodecContext& draw) { (void)editText(draw, text, static_cast<int>(text.size())); });
}

// CL_UTone_Dec_Low and _High: the decode window of a user tone, in hertz; a window that
// does not hold the encode tone, or whose ends are crossed, is suspicious.
void userToneWindow(clRun& run, datField field)
{
    if (!recordOf(run, datKindUserTone))
        return;
    int value = static_cast<int>(run.record.Get(field));
    cmcNumberForm form;
    form.lowest = 0;
    form.highest = 16383;
    if (editNumber(run.Codec(), value, form) && static_cast<std::uint32_t>(value) != run.record.Get(field)) {
        run.record.Set(field, static_cast<std::uint32_t>(value));
        run.record.store();
    }
    const std::uint32_t encode = run.record.Get(F::UtEncode);
    const std::uint32_t low = run.record.Get(F::UtDecLow);
    const std::uint32_t high = run.record.Get(F::UtDecHigh);
    if (encode != 0 && (low > encode || high < encode))
        run.capsule.SetWarning();
}
void userToneLow(clRun& run)
{
    userToneWindow(run, F::UtDecLow);
}
void userToneHigh(clRun& run)
{
    userToneWindow(run, F::UtDecHigh);
}

// A two-tone decode window: 2 % on either side of the tone, within twelve bits.
void setWindow(datCh& rec, datField low, datField high, std::uint32_t tone)
{
    rec.Set(low, tone - tone / 50);
    rec.Set(high, std::min<std::uint32_t>(tone + tone / 50, 4095));
}

// CL_2T_RxFreq_1st and _2nd: the two tones of a two-tone code, in hertz.
void twoToneOf(clRun& run, bool second)
{
    if (!recordOf(run, datKindTwoTone))
        return;
    const datField tone = second ? F::TtEdge2 : F::TtEdge1;
    int value = static_cast<int>(run.record.Get(tone));
    cmcNumberForm form;
    form.lowest = 0;
    form.highest = 4095;
    if (editNumber(run.Codec(), value, form) && static_cast<std::uint32_t>(value) != run.record.Get(tone)) {
        run.record.Set(tone, static_cast<std::uint32_t>(value));
        if (second)
            setWindow(run.record, F::TtLow2, F::TtHigh2, static_cast<std::uint32_t>(value));
        else
            setWindow(run.record, F::TtLow1, F::TtHigh1, static_cast<std::uint32_t>(value));
        run.record.store();
    }
}
void twoTone1(clRun& run)
{
    twoToneOf(run, false);
}
void twoTone2(clRun& run)
{
    twoToneOf(run, true);
}

// Two-tone transmit settings: tones in 0.1 Hz, periods in 10 ms.
void twoToneTxFreq(clRun& run, datField field)
{
    if (!recordOf(run, datKindTwoToneTx))
        return;
    int value = static_cast<int>(run.record.Get(field));
    cmcFixedForm form;
    form.scale = 1;
    form.decimals = 1;
    form.lowest = 0;
    form.highest = 6553.5;
    if (editFixed(run.Codec(), value, form) && static_cast<std::uint32_t>(value) != run.record.Get(field)) {
        run.record.Set(field, static_cast<std::uint32_t>(value));
        run.record.store();
    }
}
void twoToneTxPeriod(clRun& run, datField field)
{
    if (!recordOf(run, datKindTwoToneTx))
        return;
    int value = static_cast<int>(run.record.Get(field));
    cmcSecondsForm form;
    form.unitsPerSecond = 100;
    if (editSeconds(run.Codec(), value, form) && static_cast<std::uint32_t>(value) != run.record.Get(field)) {
        run.record.Set(field, static_cast<std::uint32_t>(value));
        run.record.store();
    }
}
void twoToneTxFreq1(clRun& run)
{
    twoToneTxFreq(run, F::TtxFreq1);
}
void twoToneTxFreq2(clRun& run)
{
    twoToneTxFreq(run, F::TtxFreq2);
}
void twoToneTxPeriod1(clRun& run)
{
    twoToneTxPeriod(run, F::TtxPeriod1);
}
void twoToneTxPeriod2(clRun& run)
{
    twoToneTxPeriod(run, F::TtxPeriod2);
}

// --- multi tables ---

constexpr int MultiCtcss = 1;
constexpr int MultiDtcs = 2;

// The table of the cell (its record) and the entry; false after showing "error" for an
// argument past the tables.
bool multiEntryOf(clRun& run, int& entry)
{
    const int table = clRecordOfArg(datKindMultiTable, run.Arg());
    entry = clEntryOfArg(datKindMultiTable, run.Arg());
    if (run.Arg() < 0 || table >= datSlotsOf(datKindMultiTable)) {
        run.capsule.output = "error";
        run.capsule.SetError();
        return false;
    }
    if (run.record.Kind() != datKindMultiTable || run.record.Index() != table) {
        run.record.decode(datKindMultiTable, table);
        run.kind = datKindMultiTable;
    }
    return true;
}

bool codeFits(int type, std::uint32_t code)
{
    if (type == MultiCtcss)
        return code < static_cast<std::uint32_t>(CtcssTones);
    if (type == MultiDtcs)
        return code <= static_cast<std::uint32_t>(HighestDtcsCode);
    return true;
}

void multiNumber(clRun& run, datField field, int highest)
{
    int entry = 0;
    if (!multiEntryOf(run, entry))
        return;
    int value = static_cast<int>(run.record.Get(field, entry));
    cmcNumberForm form;
    form.lowest = 0;
    form.highest = highest;
    if (editNumber(run.Codec(), value, form) &&
        static_cast<std::uint32_t>(value) != run.record.Get(field, entry)) {
        run.record.Set(field, static_cast<std::uint32_t>(value), entry);
        run.record.store();
    }
}
void multiBlock(clRun& run)
{
    multiNumber(run, F::MtBlockNo, 255);
}

// CL_MultiTable_Type: off, CTCSS or DTCS; an error when a code of the entry does not fit.
void multiType(clRun& run)
{
    int entry = 0;
    if (!multiEntryOf(run, entry))
        return;
    int type = static_cast<int>(run.record.Get(F::MtType, entry));
    if (editChoice(run.Codec(), type, "GI_Sheet_Sel_MultiTable_Type") &&
        static_cast<std::uint32_t>(type) != run.record.Get(F::MtType, entry)) {
        run.record.Set(F::MtType, static_cast<std::uint32_t>(type), entry);
        run.record.store();
    }
    clMarkListError(run);
    if (!codeFits(type, run.record.Get(F::MtDecode, entry)) ||
        !codeFits(type, run.record.Get(F::MtEncode, entry)))
        run.capsule.SetError();
}

// CL_MultiTable_Decode and _Encode: a tone of the entry's type ("----" while it is off); a
// tone of the other type is not taken.
void multiCode(clRun& run, datField field)
{
    int entry = 0;
    if (!multiEntryOf(run, entry))
        return;
    const int type = static_cast<int>(run.record.Get(F::MtType, entry));
    if (type != MultiCtcss && type != MultiDtcs) {
        clShowNotApplicable(run);
        return;
    }
    const std::uint32_t code = run.record.Get(field, entry);
    datTone tone;
    tone.on = true;
    tone.dtcs = type == MultiDtcs;
    tone.toneIndex = static_cast<int>(code);
    tone.dtcsCode = static_cast<int>(code);
    if (!editTone(run.Codec(), tone))
        return;
    if (!tone.on || tone.dtcs != (type == MultiDtcs))
        return;
    const auto value = static_cast<std::uint32_t>(tone.dtcs ? tone.dtcsCode : tone.toneIndex);
    if (value != code) {
        run.record.Set(field, value, entry);
        run.record.store();
    }
}
void multiDecode(clRun& run)
{
    multiCode(run, F::MtDecode);
}
void multiEncode(clRun& run)
{
    multiCode(run, F::MtEncode);
}

constexpr std::array Bindings{
    clBinding{L::CL_CEdit, &userCharacter},
    clBinding{L::CL_CTone_RX, &toneEntryRx},
    clBinding{L::CL_CTone_TX, &toneEntryTx},
    clBinding{L::CL_5TRx_RxCode, &receiveCode5},
    clBinding{L::CL_10TRx_RxCode, &receiveCode10},
    clBinding{L::CL_5TTx_TxCode, &transmitCode5},
    clBinding{L::CL_5TTx_TxCode_16dig, &transmitCode16},
    clBinding{L::CL_Select_TX_Code, &showTransmitCode},
    clBinding{L::CL_Select_TX_Text, &showTransmitText},
    clBinding{L::CL_UTone_Dec_Low, &userToneLow},
    clBinding{L::CL_UTone_Dec_High, &userToneHigh},
    clBinding{L::CL_2T_RxFreq_1st, &twoTone1},
    clBinding{L::CL_2T_RxFreq_2nd, &twoTone2},
    clBinding{L::CL_2TTx_Freq_1st, &twoToneTxFreq1},
    clBinding{L::CL_2TTx_Freq_2nd, &twoToneTxFreq2},
    clBinding{L::CL_2T_1st_Period, &twoToneTxPeriod1},
    clBinding{L::CL_2T_2nd_Period, &twoToneTxPeriod2},
    clBinding{L::CL_MultiTable_BlockNo, &multiBlock},
    clBinding{L::CL_MultiTable_Type, &multiType},
    clBinding{L::CL_MultiTable_Decode, &multiDecode},
    clBinding{L::CL_MultiTable_Encode, &multiEncode},
};

} // namespace

std::span<const clFieldRow> clCodeTableFieldRows()
{
    return Rows;
}

std::span<const clBinding> clCodeTableBindings()
{
    return Bindings;
}
