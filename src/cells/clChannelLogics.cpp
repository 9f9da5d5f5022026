// The channel family: the cells of a channel row and of its bank. The fields that one codec
// call edits are rows of data below; the others have handlers here, in
// clChannelFrequencyLogics.cpp and in clBankLogics.cpp.
//
// Besides the fields the layout names, a channel carries settings that are ours to lay out
// inside the bytes the layout keeps for them:
//   main byte 12 bits 0-1  channel type (CL_Mch_Signaling_Type): 0 analog, 1 mixed with
//                          analog transmit, 2 mixed with digital transmit, 3 digital only
//   main byte 12 bit 5     tight squelch (CL_Mch_Sql_Tight)
//   main byte 14           analog selective-call decode (CL_Mch_RxCNo): 0 off, 1-8 the
//                          five-tone receive codes, 17-26 the two-tone codes, 33-42 the DTMF
//                          receive entries
//   main bytes 27-28       the channel's own unit identity (CL_Mch_Unit_Hex, _Unit_Dec,
//                          CL_Mch_VADOR_OwnUnitId)
//   main bytes 29-30       the channel's talk-group identity (CL_Mch_VADOR_TalkgroupId)
//   main byte 31           MDC system (CL_Mch_Mdc_System): 0 off, 1-5 the MDC systems
//   ext bytes 12-15        CW identification frequency offset in hertz, bits 0-23
//                          (CL_Mch_CWID_Offset); the receive multi table, bits 24-28
//                          (CL_Mch_RX_MultiTableNo): 0 off, 1-16 the multi tables
//   ext byte 17 bits 3-7   local busy lockout (CL_Mch_Lockout_Local), values as the lockout
//   ext byte 18 bits 0-1   receive priority of a mixed channel (CL_Mch_RX_Type)
//   ext byte 18 bits 2-7   auto reset, log, CW identification on, scrambler on, scrambler
//                          type (bits 2, 3, 4, 5 and 6-7)
//   ext byte 20            scrambler code 1-32 (bits 0-4, stored 0-31), local and repeat
//                          time-out timers on (bits 5, 6), DTMF decode on (bit 7)
//   digital byte 0         trunked group receive identity (CL_Grp_RxId): not 0 marks a
//                          trunked channel in use, as a frequency marks a conventional one
//   digital byte 1         RAN 0-63 (bits 0-5), digital squelch type (bits 6-7)
//   digital byte 2         encryption key 0 (off) or 1-63 (bits 0-5), fast mute (bit 6),
//                          digital busy lockout (bit 7)
//   digital byte 3         trunked group transmit identity
//   digital byte 4         home repeater 0-20 (bits 0-4), transmit inhibit (5) and telephone
//                          privacy (6) of a trunked group
//   digital byte 5         digital selective-call decode (CL_Mch_Dig_Sig)
// The two-tone and DTMF decode cells (CL_Mch_2Tone, CL_Mch_RxCNoDtmf) show and set the
// selective-call decode of byte 14 when it is one of theirs.
//
// The cells of features this family does not have show "----": the LTR system settings and
// block identities, the channel settings of the data-signalling (MSK) system and of P25,
// the second receive code, the per-channel scan list choice, and the transmit, FM and
// destination settings of other models.
#include "cells/clChannelFamily.h"
#include "cells/clFamilies.h"
#include "cells/clFieldRow.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <array>
#include <string>
#include <vector>

namespace {

using L = clLogic;
using F = datField;
constexpr auto Conv = clBankUse::Conventional;
constexpr auto Trunk = clBankUse::Trunked;
constexpr auto Analog = clWhen::Analog;
constexpr auto Digital = clWhen::Digital;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_Mch_Inh, F::ChInhibit).Choice("GI_Sheet_Sel_Mch_ChInh"),
    clRow(L::CL_Mch_TxInh, F::ChTxOff).Choice("GI_Sheet_Sel_Mch_CH_TxInh").Bank(Conv),
    clRow(L::CL_Mch_TxInh_Vuda, F::ChTxOff).Choice("GI_Sheet_Sel_Mch_CH_TxInh").Bank(Conv),
    clRow(L::CL_Mch_Nar, F::ChBandwidth).Bits(0, 1).Choice("GI_Sheet_Sel_Mch_Nar").Bank(Conv),
    clRow(L::CL_Mch_Nar_Pmr, F::ChBandwidth).Bits(0, 1).Choice("GI_Sheet_Sel_Mch_Nar").Bank(Conv),
    clRow(L::CL_Mch_Text, F::ChName).Text(),
    clRow(L::CL_Mch_Compander, F::ChCompander).Choice(OnOff2).When(Analog),
    clRow(L::CL_Mch_PwrSave, F::ChPowerSave).Choice(OnOff2).Bank(Conv),
    clRow(L::CL_Mch_PwrSave_Vuda, F::ChPowerSave).Choice(OnOff2).Bank(Conv),
    clRow(L::CL_Mch_Tot, F::ChTot).Choice(OnOff2),
    clRow(L::CL_Mch_Tot_Vuda, F::ChTot).Choice(OnOff2),
    clRow(L::CL_Mch_RfPo, F::ChPower).ZeroReadsAs(3).Choice("GI_Sheet_Sel_Mch_RfPwr").Bank(Conv),
    clRow(L::CL_Mch_AutoChScan, F::ChAutoChScan).Choice(OnOff2),
    clRow(L::CL_Mch_Signaling_Type, F::ChMode).Choice("GI_Sheet_Sel_Mch_ChType").Repaint(cmcRepaint::All),
    clRow(L::CL_Mch_Sql_Tight, F::ChOption5).Choice(OnOff2).When(Analog).Bank(Conv),
    clRow(L::CL_Mch_RxCNo, F::ChSetting14).Choice("GI_Sheet_Sel_Mch_RxCNo").When(Analog),
    clRow(L::CL_Mch_Mdc_System, F::ChSetting31).Choice("GI_Sheet_Sel_Mch_MdcSystem").When(Analog),
    clRow(L::CL_Mch_RX_Type, F::ChModeGroup).Choice("GI_Sheet_Sel_Mch_RxType").When(clWhen::Mixed),
    clRow(L::CL_Mch_AutoReset, F::ChExtOptions18).Bits(0, 1).Choice(OnOff2),
    clRow(L::CL_Mch_AutoReset_Pmr, F::ChExtOptions18).Bits(0, 1).Choice(OnOff2),
    clRow(L::CL_Mch_AutoReset_Vuda, F::ChExtOptions18).Bits(0, 1).Choice(OnOff2),
    clRow(L::CL_Mch_Log, F::ChExtOptions18).Bits(1, 1).Choice(OnOff2),
    clRow(L::CL_Mch_Log_Pmr, F::ChExtOptions18).Bits(1, 1).Choice(OnOff2),
    clRow(L::CL_Mch_Log_Vuda, F::ChExtOptions18).Bits(1, 1).Choice(OnOff2),
    clRow(L::CL_Mch_CWID_ONOFF, F::ChExtOptions18).Bits(2, 1).Choice(OnOff2).When(Analog),
    clRow(L::CL_Mch_Scrm_On, F::ChExtOptions18).Bits(3, 1).Choice(OnOff2).When(Analog),
    clRow(L::CL_Mch_Scrm_Type, F::ChExtOptions18).Bits(4, 2).Choice("GI_Sheet_Sel_Mch_ScrmType").When(Analog),
    clRow(L::CL_Mch_Scrm_Code, F::ChExtSetting20).Bits(0, 5).Number(0, 31, 1).When(Analog),
    clRow(L::CL_Mch_TOT_Local, F::ChExtSetting20).Bits(5, 1).Choice(OnOff2),
    clRow(L::CL_Mch_TOT_Repeat, F::ChExtSetting20).Bits(6, 1).Choice(OnOff2),
    clRow(L::CL_Mch_DtmfDec, F::ChExtSetting20).Bits(7, 1).Choice(OnOff2).When(Analog),
    clRow(L::CL_Mch_RX_MultiTableNo, F::ChExtSetting12).Bits(24, 5).Choice("GI_Sheet_Sel_Mch_MultiTable").When(Analog),
    clRow(L::CL_Mch_VADOR_TxRan, F::ChDigital).Byte(0, 0, 6).Number(0, 63).When(Digital).Bank(Conv),
    clRow(L::CL_Mch_SQL_Type, F::ChDigital).Byte(0, 6, 2).Choice("GI_Sheet_Sel_Mch_SqlType").When(Digital).Bank(Conv),
    clRow(L::CL_Mch_Encryption_No, F::ChDigital).Byte(1, 0, 6).Typed("GI_Sheet_Sel_Mch_Encryption").When(Digital).Bank(Conv),
    clRow(L::CL_Mch_Fast_Mute, F::ChDigital).Byte(1, 6, 1).Choice(OnOff2).When(Digital).Bank(Conv),
    clRow(L::CL_Mch_Lockout_Dig, F::ChDigital).Byte(1, 7, 1).Choice(OnOff2).When(Digital).Bank(Conv),
    clRow(L::CL_Grp_TxId, F::ChDigital).Byte(2).Number(0, 255).Bank(Trunk),
    clRow(L::CL_Grp_HomeRptCh, F::ChDigital).Byte(3, 0, 5).Number(0, 20).Bank(Trunk),
    clRow(L::CL_Grp_TxInh, F::ChDigital).Byte(3, 5, 1).Choice("GI_Sheet_Sel_Mch_CH_TxInh").Bank(Trunk),
    clRow(L::CL_Grp_PhonePriv, F::ChDigital).Byte(3, 6, 1).Choice(OnOff2).Bank(Trunk),
    clRow(L::CL_Mch_Dig_Sig, F::ChDigital).Byte(4).Choice("GI_Sheet_Sel_Mch_DigSig").When(Digital).Bank(Conv),
};
// clang-format on

// The channel record of the cell, or false after showing "error" (a cell of another
// category naming no channel).
bool channelOf(clRun& run)
{
    if (clEnsureRecord(run, datKindChannel))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

// Whether the cell may show its value: not a blank row (empty), and the field applies
// ("----" otherwise).
bool shows(clRun& run, clWhen when, clBankUse bank)
{
    if (run.blank) {
        run.capsule.output.clear();
        return false;
    }
    if (!channelOf(run))
        return false;
    if (!clApplies(run.record, when, bank)) {
        clShowNotApplicable(run);
        return false;
    }
    return true;
}

void storeChannel(clRun& run, int flags)
{
    run.record.store();
    run.flags |= flags;
}

// CL_Mch_No: the new-channel title on a blank row, else bank and position "%d-%3d".
void channelNumber(clRun& run)
{
    if (run.blank) {
        run.capsule.output = MainText().GetText("GI_NewChTitle");
        return;
    }
    if (!channelOf(run))
        return;
    const cmcEeprom& image = run.Image();
    const int bank = datBankOfChannel(image, run.Arg());
    run.capsule.output = Format("%d-%3d", bank + 1, run.Arg() - datFirstChannel(image, bank) + 1);
}

// CL_Mch_Atr: the marks A, B and E; a change moves the references (the record stores them).
void channelMarks(clRun& run)
{
    if (!shows(run, clWhen::Always, clBankUse::Any))
        return;
    std::uint8_t status = run.record.status;
    if (editChannelMarks(run.Codec(), status, "GI_Sheet_Sel_Mch_Atr")) {
        run.record.status = status;
        storeChannel(run, cmcRepaint::SameLogic | cmcRepaint::All);
    }
}

// CL_Mch_OperationMode: a repeater mode (0, 1) with the transmit frequency equal to the
// receive frequency is suspicious.
void operationMode(clRun& run)
{
    if (!shows(run, clWhen::Always, Conv))
        return;
    int mode = static_cast<int>(run.record.Get(F::ChOperationMode));
    if (editMarkedChoice(run.Codec(), mode, "GI_Sheet_Sel_Mch_OperationMode")) {
        run.record.Set(F::ChOperationMode, static_cast<std::uint32_t>(mode));
        storeChannel(run, cmcRepaint::All);
    }
    clMarkListError(run);
    const std::uint32_t rx = run.record.Get(F::ChRxFreq);
    if ((mode == 0 || mode == 1) && rx != 0 && !run.record.Get(F::ChTxOff) &&
        run.record.Get(F::ChTxFreq) == rx)
        run.capsule.SetWarning();
}

// The lockout values that need the digital functions: a warning on an analog channel while
// they are on, an error while they are off.
void lockoutMarks(clRun& run, int value)
{
    if (value != 12 && value != 16)
        return;
    const bool digitalOn = (run.Image().GetByte(cmcDigitalFunctionPlace) & 0x10) != 0;
    if (!digitalOn)
        run.capsule.SetError();
    else if (clChannelType(run.record) == 0)
        run.capsule.SetWarning();
}

// CL_Mch_Lockout (and its variant) and CL_Mch_Lockout_Local: five-bit busy lockouts on the
// marked list.
void lockoutOf(clRun& run, datField field)
{
    if (!shows(run, clWhen::Always, Conv))
        return;
    int value = static_cast<int>(run.record.Get(field));
    if (editMarkedChoice(run.Codec(), value, "GI_Sheet_Sel_Mch_Lockout")) {
        run.record.Set(field, static_cast<std::uint32_t>(value));
        storeChannel(run, cmcRepaint::All);
    }
    clMarkListError(run);
    lockoutMarks(run, value);
}
void lockout(clRun& run)
{
    lockoutOf(run, F::ChLockout);
}
void lockoutLocal(clRun& run)
{
    lockoutOf(run, F::ChExtOptions17);
}

// CL_Mch_Scan: membership of scan lists 1 to 16, one character each.
void scanLists(clRun& run)
{
    if (!shows(run, clWhen::Always, clBankUse::Any))
        return;
    std::uint32_t lists = run.record.ScanMembership();
    if (editFlagString(run.Codec(), lists, 1, 16, 3)) {
        run.record.SetScanMembership(lists);
        storeChannel(run, 0);
    }
}

// CL_Mch_WNM: the bandwidth; a channel that transmits digitally wants a narrow one.
void bandwidth(clRun& run)
{
    if (!shows(run, clWhen::Always, Conv))
        return;
    int value = static_cast<int>(run.record.Get(F::ChBandwidth));
    if (editChoice(run.Codec(), value, "GI_Sheet_Sel_Mch_WNM")) {
        run.record.Set(F::ChBandwidth, static_cast<std::uint32_t>(value));
        storeChannel(run, 0);
    }
    clMarkListError(run);
    if (clChannelType(run.record) != 0 && (value == 0 || value == 2))
        run.capsule.SetWarning();
}

// A unit or talk-group identity of the channel, GI_AppUnitIdMin..GI_AppUnitIdMax, for the
// channel types with a digital part.
void identityOf(clRun& run, datField field, bool hex)
{
    if (!shows(run, Digital, Conv))
        return;
    int value = static_cast<int>(run.record.Get(field));
    bool changed = false;
    if (hex) {
        changed = editHexNumber(run.Codec(), value, run.unitIdMin, run.unitIdMax, 4);
    } else {
        cmcNumberForm form;
        form.lowest = run.unitIdMin;
        form.highest = run.unitIdMax;
        changed = editNumber(run.Codec(), value, form);
    }
    if (changed && static_cast<std::uint32_t>(value) != run.record.Get(field)) {
        run.record.Set(field, static_cast<std::uint32_t>(value));
        storeChannel(run, 0);
    }
}
void unitHex(clRun& run)
{
    identityOf(run, F::ChSetting27, true);
}
void unitDec(clRun& run)
{
    identityOf(run, F::ChSetting27, false);
}
void talkGroupId(clRun& run)
{
    identityOf(run, F::ChSetting29, false);
}

// The entry of an ID list a channel refers to: its number and identity; a reference past
// the list's used count is an error.
void listReference(clRun& run, datField field, int listKind, const char* list, clLogic flex)
{
    if (!shows(run, Digital, Conv))
        return;
    const cmcEeprom& image = run.Image();
    const int count =
        listKind == datKindIndividualId ? datIndividualIdCount(image) : datTalkGroupCount(image);
    const int old = static_cast<int>(run.record.Get(field));
    int ref = old;
    std::optional<std::string> shown;
    if (ref < count) {
        datCh entry(image);
        entry.decode(listKind, ref);
        const std::uint32_t id = entry.Get(listKind == datKindIndividualId ? F::IndId : F::TgId);
        shown = Format("%d: %u", ref + 1, id);
    } else {
        shown = std::string("error");
    }
    const std::string title = MainText().GetText(std::string(list) + "_Title");
    if (editLargeChoice(run.Codec(), ref, list, clIndex(flex), title, shown) && ref != old && ref >= 0 &&
        ref < count) {
        run.record.Set(field, static_cast<std::uint32_t>(ref));
        storeChannel(run, 0);
    }
    if (static_cast<int>(run.record.Get(field)) >= count)
        run.capsule.SetError();
}
void individualList(clRun& run)
{
    listReference(run, F::ChIndList, datKindIndividualId, "GI_Sheet_Sel_DIG_INDList", L::Flex_InvIDList_ChNo);
}
void talkGroupList(clRun& run)
{
    listReference(run, F::ChTgList, datKindTalkGroup, "GI_Sheet_Sel_DIG_TGList", L::Flex_TgIDList_ChNo);
}

// CL_Mch_CWID_Offset: the CW identification is sent this many kilohertz above the transmit
// frequency; with the identification on, a frequency the coverage refuses is an error.
constexpr std::uint32_t CwIdOffsetMask = 0x00FFFFFF;

void cwIdOffset(clRun& run)
{
    if (!shows(run, Analog, Conv))
        return;
    const std::uint32_t setting = run.record.Get(F::ChExtSetting12);
    int offset = static_cast<int>(setting & CwIdOffsetMask);
    cmcFixedForm form;
    form.scale = 3;
    form.decimals = 3;
    form.lowest = 0;
    form.highest = 16000;
    if (editFixed(run.Codec(), offset, form) &&
        static_cast<std::uint32_t>(offset) != (setting & CwIdOffsetMask)) {
        run.record.Set(F::ChExtSetting12, (setting & ~CwIdOffsetMask) | static_cast<std::uint32_t>(offset));
        storeChannel(run, 0);
    }
    const bool cwOn = (run.record.Get(F::ChExtOptions18) & 0x04) != 0;
    const std::uint32_t tx = run.record.Get(F::ChTxFreq);
    if (cwOn && tx != 0 && !run.record.Get(F::ChTxOff) &&
        (tx + static_cast<std::uint32_t>(offset) > cmcMaxFrequency ||
         cmcFrequencyRefused(tx + static_cast<std::uint32_t>(offset))))
        run.capsule.SetError();
}

// CL_Mch_2Tone and CL_Mch_RxCNoDtmf: the selective-call decode of byte 14 as one kind of
// code: values first+1 .. first+count are codes 1 .. count of that kind, 0 shows "Off".
void decodeOfKind(clRun& run, std::uint32_t first, std::uint32_t count, const char* list)
{
    if (!shows(run, Analog, clBankUse::Any))
        return;
    const std::uint32_t stored = run.record.Get(F::ChSetting14);
    const bool ours = stored > first && stored <= first + count;
    int value = ours ? static_cast<int>(stored - first) : 0;
    if (!editChoice(run.Codec(), value, list))
        return;
    // Off takes away only a code of this kind; another kind's code stays.
    const std::uint32_t now = value > 0 ? first + static_cast<std::uint32_t>(value) : (ours ? 0 : stored);
    if (now != stored) {
        run.record.Set(F::ChSetting14, now);
        storeChannel(run, 0);
    }
}
void twoToneDecode(clRun& run)
{
    decodeOfKind(run, 16, 10, "GI_Sheet_Sel_Mch_2Tone");
}
void dtmfDecode(clRun& run)
{
    decodeOfKind(run, 32, 10, "GI_Sheet_Sel_Mch_RxCNoDtmf");
}

constexpr std::array FieldBindings{
    clBinding{L::CL_Mch_2Tone, &twoToneDecode},
    clBinding{L::CL_Mch_RxCNoDtmf, &dtmfDecode},
    clBinding{L::CL_Mch_No, &channelNumber},
    clBinding{L::CL_Mch_Atr, &channelMarks},
    clBinding{L::CL_Mch_OperationMode, &operationMode},
    clBinding{L::CL_Mch_Lockout, &lockout},
    clBinding{L::CL_Mch_Lockout_Pmr, &lockout},
    clBinding{L::CL_Mch_Lockout_Local, &lockoutLocal},
    clBinding{L::CL_Mch_Scan, &scanLists},
    clBinding{L::CL_Mch_Scan_Vuda, &scanLists},
    clBinding{L::CL_Mch_WNM, &bandwidth},
    clBinding{L::CL_Mch_WNM_Pmr, &bandwidth},
    clBinding{L::CL_Mch_Unit_Hex, &unitHex},
    clBinding{L::CL_Mch_Unit_Dec, &unitDec},
    clBinding{L::CL_Mch_VADOR_OwnUnitId, &unitDec},
    clBinding{L::CL_Mch_VADOR_TalkgroupId, &talkGroupId},
    clBinding{L::CL_Mch_Ind_List, &individualList},
    clBinding{L::CL_Mch_TG_List, &talkGroupList},
    clBinding{L::CL_Mch_CWID_Offset, &cwIdOffset},
};

// Features of other models and systems (see the header of this file).
constexpr std::array NotInFamily{
    L::CL_Bank_SelBankFree,  L::CL_Ltr_BlockIdEna,    L::CL_Ltr_BlockIdStart, L::CL_Ltr_BlockIdEnd,
    L::CL_Ltr_DecPriTgEna,   L::CL_Ltr_PriTgId,       L::CL_Ltr_TotDispatch,  L::CL_Ltr_TotPhone,
    L::CL_Ltr_TaBusyLockout, L::CL_Ltr_BeepHandShake, L::CL_Ltr_BeepOnRx,     L::CL_Ltr_PwrSave,
    L::CL_Grp_BlockIdEnable, L::CL_Grp_BlockIdStart,  L::CL_Grp_BlockIdEnd,   L::CL_Mch_Scan_Inc,
    L::CL_Mch_Scan_List,     L::CL_Mch_Scan_ListSel,  L::CL_Mch_RxCNo2,       L::CL_Mch_RxCNo2_Ltr,
    L::CL_Mch_TX_Type,       L::CL_Mch_FM_Type,       L::CL_Mch_FM_TxCTone,   L::CL_Mch_VADOR_DestId,
    L::CL_Mch_Moni,          L::CL_Mch_Sel,           L::CL_Mch_Call,         L::CL_Mch_PTT,
    L::CL_Mch_CH_Mute,       L::CL_Mch_RptMode,       L::CL_Mch_Form,         L::CL_Mch_Rpt_C,
    L::CL_Mch_Rpt_L,         L::CL_Mch_Stn_C,         L::CL_Mch_Stn_L,        L::CL_Mch_Id_C,
    L::CL_Mch_Id_L,          L::CL_Mch_Pos,           L::CL_Mch_Moni_Vuda,    L::CL_Mch_Sel_Vuda,
    L::CL_Mch_Call_Vuda,     L::CL_Mch_PTT_Vuda,      L::CL_Mch_Form_Vuda,    L::CL_Mch_Rpt_C_Vuda,
    L::CL_Mch_Rpt_L_Vuda,    L::CL_Mch_Msk_Sig,       L::CL_Mch_Msk_Log,      L::CL_Mch_Msk_SendStatus,
    L::CL_Mch_Msk_Rpt,       L::CL_Mch_Msk_Stn,       L::CL_Mch_Msk_RxCNo,    L::CL_Mch_RxNac,
    L::CL_Mch_TxNac,
};

std::vector<clBinding> joinChannelFamily()
{
    std::vector<clBinding> all = clBindingsOf(Rows);
    for (const clLogic logic : NotInFamily)
        all.push_back({logic, &clNotInFamily});
    for (const auto part : {clChannelFieldBindings(), clChannelFrequencyBindings(), clBankBindings()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

std::span<const clFieldRow> clChannelFieldRows()
{
    return Rows;
}

std::span<const clBinding> clChannelFieldBindings()
{
    return FieldBindings;
}

std::span<const clBinding> clChannelLogics()
{
    static const std::vector<clBinding> all = joinChannelFamily();
    return all;
}
