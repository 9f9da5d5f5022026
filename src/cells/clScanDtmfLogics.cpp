// Scan lists (with the cells that apply only in some scan modes and the three channel
// references), DTMF codes, and the DTMF receive entries.
//
// The DTMF receive entries (kind 23) hold a 12-character text, up to 16 digits with their
// count, the decode options (ID decode, bell in bits 1-2, emergency cancel, answer back,
// external output, beep, auto transmit, audio, stun, scan, special function), the action
// (bits 0-3 of byte 23) and the acknowledgement (bit 4).
#include "cells/clRecordFamily.h"

#include "base/cmcText.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

using L = clLogic;
using F = datField;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_ScanList_Text, F::ScanName).Text(),
    clRow(L::CL_ScanList_ScanMode, F::ScanMode).Choice("GI_Sheet_Sel_ScanMode"),
    clRow(L::CL_ScanList_PwrSave, F::ScanPowerSave).Choice(OnOff2),
    clRow(L::CL_Dtmf_Text, F::DtmfName).Text(),
    clRow(L::CL_Dtmf_Decode_Text, F::DrxText).Text(),
    clRow(L::CL_Dtmf_Decode_IdDec, F::DrxIdDec).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Bell, F::DrxBell).Choice("GI_Sheet_Sel_RxC_Bell"),
    clRow(L::CL_Dtmf_Decode_EmerCancel, F::DrxEmerCancel).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Abc, F::DrxAbc).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Exo, F::DrxExo).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Beep, F::DrxBeep).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_AutoTx, F::DrxAutoTx).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Aud, F::DrxAud).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Stun, F::DrxStun).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Scan, F::DrxScan).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Sfunc, F::DrxSFunc).Choice(OnOff2),
    clRow(L::CL_Dtmf_Decode_Action, F::DrxAction).Choice("GI_Sheet_Sel_Dtmf_Action"),
    clRow(L::CL_Dtmf_Decode_Ack, F::DrxAck).Choice(OnOff2),
};

// Scan list fields that apply only in some scan modes (handlers below decide).
constexpr clFieldRow TalkBack = clRow(L::CL_ScanList_TalkBack, F::ScanTalkBack).Choice("GI_Sheet_Sel_Misc_OnOff");
constexpr clFieldRow TxAction = clRow(L::CL_ScanList_TX_Action, F::ScanTxAction).Choice("GI_Sheet_Sel_ScanTXAct");
constexpr clFieldRow CancelCh = clRow(L::CL_ScanList_Cancel_CH, F::ScanCancelCh).Choice("GI_Sheet_Sel_ScanCancelCH");
constexpr clFieldRow DispText = clRow(L::CL_ScanList_DispText, F::ScanDispText).Choice("GI_Sheet_Sel_ScanList_Text");
// clang-format on

// Scan modes the applicability rules name.
constexpr int ScanOff = 0;
constexpr int ScanPriority = 2;
constexpr int ScanNoTransmit = 17; // a mode without a transmit channel

bool scanListOf(clRun& run)
{
    if (clEnsureRecord(run, datKindScanList))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

int scanMode(const clRun& run)
{
    return static_cast<int>(run.record.Get(F::ScanMode));
}

bool transmitModes(const clRun& run)
{
    const int mode = scanMode(run);
    return mode != ScanOff && mode != ScanNoTransmit;
}

void conditional(clRun& run, const clFieldRow& row, bool applies)
{
    if (!scanListOf(run))
        return;
    if (!applies)
        clShowNotApplicable(run);
    else
        clRunFieldRow(run, row);
}

void talkBack(clRun& run)
{
    if (!scanListOf(run))
        return;
    conditional(run, TalkBack, transmitModes(run) && run.record.Get(F::ScanTxMode) != 0);
}
void txAction(clRun& run)
{
    if (scanListOf(run))
        conditional(run, TxAction, transmitModes(run));
}
void cancelChannel(clRun& run)
{
    if (scanListOf(run))
        conditional(run, CancelCh, transmitModes(run));
}
void displayText(clRun& run)
{
    if (scanListOf(run))
        conditional(run, DispText, scanMode(run) != ScanOff);
}

// The transmit channel and the two priority channels: a mode and, for a fixed channel, the
// channel chosen in the channel selector.
void scanChannel(clRun& run, cmcScanChannel which)
{
    if (!scanListOf(run))
        return;
    const bool applies =
        which == cmcScanChannel::Transmit ? transmitModes(run) : scanMode(run) == ScanPriority;
    if (!applies) {
        clShowNotApplicable(run);
        return;
    }
    const datField modeField = which == cmcScanChannel::Transmit    ? F::ScanTxMode
                               : which == cmcScanChannel::Priority1 ? F::ScanPrio1Mode
                                                                    : F::ScanPrio2Mode;
    const datField channelField = which == cmcScanChannel::Transmit    ? F::ScanTxCh
                                  : which == cmcScanChannel::Priority1 ? F::ScanPrio1Ch
                                                                       : F::ScanPrio2Ch;
    cmcScanChannelRef ref;
    ref.mode = static_cast<int>(run.record.Get(modeField));
    ref.channel = static_cast<int>(run.record.Get(channelField));
    ref.prio2InUse = run.record.Get(F::ScanPrio2InUse) != 0;
    if (editScanChannel(run.Codec(), ref, which, run.Image())) {
        run.record.Set(modeField, static_cast<std::uint32_t>(ref.mode));
        run.record.Set(channelField, static_cast<std::uint32_t>(ref.channel));
        if (which == cmcScanChannel::Priority2)
            run.record.Set(F::ScanPrio2InUse, ref.prio2InUse ? 1 : 0);
        run.record.store();
    }
    clMarkListError(run);
}
void priority1(clRun& run)
{
    scanChannel(run, cmcScanChannel::Priority1);
}
void priority2(clRun& run)
{
    scanChannel(run, cmcScanChannel::Priority2);
}
void transmitChannel(clRun& run)
{
    scanChannel(run, cmcScanChannel::Transmit);
}

// DTMF digits and their count (codes: 24 digits, receive entries: 16).
void dtmfOf(clRun& run, int kind, datField digits, datField count, int n)
{
    if (!clEnsureRecord(run, kind)) {
        run.capsule.output = "error";
        run.capsule.SetError();
        return;
    }
    const std::string stored = run.record.Text(digits);
    std::vector<std::uint8_t> packed(stored.begin(), stored.end());
    int digitCount = static_cast<int>(run.record.Get(count));
    if (editDtmf(run.Codec(), packed, digitCount, n)) {
        run.record.SetText(digits, std::string(packed.begin(), packed.end()));
        run.record.Set(count, static_cast<std::uint32_t>(digitCount));
        run.record.store();
    }
}
void dtmfCode(clRun& run)
{
    dtmfOf(run, datKindDtmf, F::DtmfDigits, F::DtmfCount, 24);
}
void dtmfReceiveCode(clRun& run)
{
    dtmfOf(run, datKindDtmfRx, F::DrxDigits, F::DrxCount, 16);
}

// The row number of a table, from 1.
void rowNumber(clRun& run)
{
    run.capsule.output = Format("%d", run.Arg() + 1);
    run.capsule.selLength = static_cast<int>(run.capsule.output.size());
}

constexpr std::array Bindings{
    clBinding{L::CL_ScanList_TalkBack, &talkBack},
    clBinding{L::CL_ScanList_TX_Action, &txAction},
    clBinding{L::CL_ScanList_Cancel_CH, &cancelChannel},
    clBinding{L::CL_ScanList_DispText, &displayText},
    clBinding{L::CL_ScanList_Prio1_CH, &priority1},
    clBinding{L::CL_ScanList_Prio2_CH, &priority2},
    clBinding{L::CL_ScanList_TX_CH, &transmitChannel},
    clBinding{L::CL_Dtmf_Code, &dtmfCode},
    clBinding{L::CL_Dtmf_CodeID, &dtmfCode},
    clBinding{L::CL_Dtmf_CodeEmer, &dtmfCode},
    clBinding{L::CL_Dtmf_Decode_Code, &dtmfReceiveCode},
    clBinding{L::CL_Dtmf_ChNo, &rowNumber},
    clBinding{L::CL_Dtmf_Decode_ChNo, &rowNumber},
};

} // namespace

std::span<const clFieldRow> clScanDtmfFieldRows()
{
    return Rows;
}

std::span<const clBinding> clScanDtmfBindings()
{
    return Bindings;
}
