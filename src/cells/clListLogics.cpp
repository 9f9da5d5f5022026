// The digital lists: individual IDs and talk groups (with the entry added on the first row
// past the used count), NAC channels, digital status messages, encryption keys, short data
// messages, and the channel switch table of the external port.
//
// The digital status messages (kind 19) are laid out like the MSK status messages: receive
// text, beep (bits 0-3), receive on (bit 4), action (bits 5-6), auxiliary output (bit 7);
// transmit text and selection.
#include "cells/clRecordFamily.h"

#include "base/cmcEvMan.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <array>

namespace {

using L = clLogic;
using F = datField;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_Digi_Ind_Id_Name, F::IndName).Text(),
    clRow(L::CL_Digi_Grp_Id_Name, F::TgName).Text(),
    clRow(L::CL_Digi_NacCh_Sel, F::NacSel).Choice("GI_Sheet_Sel_Misc_OnOff2_I"),
    clRow(L::CL_Digi_Msg_Status_Text_Rx, F::DstRxText).Text(),
    clRow(L::CL_Digi_Msg_Status_Beep, F::DstBeep).Choice("GI_Sheet_Sel_RxC_Beep"),
    clRow(L::CL_Digi_Msg_Status_RX, F::DstRx).Choice(OnOff2),
    clRow(L::CL_Digi_Msg_Status_Action, F::DstAction).Choice("GI_Sheet_Sel_Dig_StatusAction"),
    clRow(L::CL_Digi_Msg_Status_AUX, F::DstAux).Choice(OnOff2),
    clRow(L::CL_Digi_Msg_Status_Text_Tx, F::DstTxText).Text(),
    clRow(L::CL_Digi_Msg_Status_Selection, F::DstSelection).Choice(OnOff2),
    clRow(L::CL_Digi_Encryption_Key, F::EncKey).Number(1, 32767),
    clRow(L::CL_Digi_SDM_Message, F::SdmText).Text(),
    clRow(L::CL_Digi_SDM_Sel, F::SdmSel).Choice(OnOff2),
    clRow(L::CL_ExtPort_ChSW_Table_MoveCH, F::ChSwMove).Choice("GI_Sheet_Sel_CH_Switch_Table"),
};
// clang-format on

struct IdList {
    int kind;
    datField id;
    cmcEvCode insert;
    int fitsKind;
};
constexpr IdList Individuals{datKindIndividualId, F::IndId, cmcEvCode::InsertIndividualId,
                             datFitsIndividualIds};
constexpr IdList TalkGroups{datKindTalkGroup, F::TgId, cmcEvCode::InsertTalkGroup, datFitsTalkGroups};

// A key on the first row past the list's used count adds the entry there through the
// record-table service, when the list holds fewer than 500 entries and the radio's memory
// has room. True when run.record is now an entry of the list.
bool addEntryAtBlankRow(clRun& run, const IdList& list)
{
    cmcEeprom& image = run.Image();
    const int count = datUsedCount(image, list.kind, 0);
    if (!clIsAddKey(run.capsule) || run.Arg() != count) {
        run.capsule.output.clear();
        return false;
    }
    if (count >= datMaxListEntries || !fits(image, list.fitsKind, 1, 0)) {
        clShowOverflow();
        run.capsule.output.clear();
        return false;
    }
    cmcEvents().Send(list.insert, 0, run.Arg());
    if (run.Arg() >= datUsedCount(image, list.kind, 0)) {
        run.capsule.output.clear();
        return false;
    }
    run.record.decode(list.kind, run.Arg());
    run.kind = list.kind;
    run.blank = false;
    run.flags |= cmcRepaint::All;
    return true;
}

// The identity of an entry, 1 to 65535 without 65520 to 65534, in hexadecimal (4 digits)
// or decimal; the decimal cell adds the entry on the first blank row.
void identity(clRun& run, const IdList& list, bool hex)
{
    if (run.blank && (hex || !addEntryAtBlankRow(run, list))) {
        run.capsule.output.clear();
        return;
    }
    if (!clEnsureRecord(run, list.kind)) {
        run.capsule.output = "error";
        run.capsule.SetError();
        return;
    }
    const std::uint32_t stored = run.record.Get(list.id);
    int id = static_cast<int>(stored);
    bool changed = false;
    if (hex) {
        changed = editHexNumber(run.Codec(), id, 1, 0xFFFF, 4);
    } else {
        cmcNumberForm form;
        form.lowest = 1;
        form.highest = 65535;
        changed = editNumber(run.Codec(), id, form);
    }
    if (!changed)
        return;
    const std::uint32_t value =
        datSkipReservedId(static_cast<std::uint32_t>(id), run.capsule.key == cmcKey::Space);
    if (value != stored) {
        run.record.Set(list.id, value);
        run.record.store();
        run.flags |= cmcRepaint::SameLogic;
    }
    // The codec showed the value it chose; show what was stored.
    const int shown = static_cast<int>(run.record.Get(list.id));
    if (shown != id && run.result != cmcRunResult::StartEditor) {
        clRedrawWith(run, [&](const cmcCodecContext& draw) {
            int v = shown;
            if (hex)
                (void)editHexNumber(draw, v, 1, 0xFFFF, 4);
            else
                (void)editNumber(draw, v, cmcNumberForm{1, 65535});
        });
    }
}
void individualHex(clRun& run)
{
    identity(run, Individuals, true);
}
void individualDec(clRun& run)
{
    identity(run, Individuals, false);
}
void talkGroupHex(clRun& run)
{
    identity(run, TalkGroups, true);
}
void talkGroupDec(clRun& run)
{
    identity(run, TalkGroups, false);
}

// NAC channels: the transmit NAC follows the receive NAC while the two are equal, and then
// shows "<-" (unless its editor is being opened).
void nacOf(clRun& run, bool transmit)
{
    if (!clEnsureRecord(run, datKindNacChannel)) {
        run.capsule.output = "error";
        run.capsule.SetError();
        return;
    }
    const int rx = static_cast<int>(run.record.Get(F::NacRx));
    const int tx = static_cast<int>(run.record.Get(F::NacTx));
    int value = transmit ? tx : rx;
    if (editHexNumber(run.Codec(), value, 0, 63, 2) && value != (transmit ? tx : rx)) {
        if (transmit) {
            run.record.Set(F::NacTx, static_cast<std::uint32_t>(value));
        } else {
            if (tx == rx)
                run.record.Set(F::NacTx, static_cast<std::uint32_t>(value));
            run.record.Set(F::NacRx, static_cast<std::uint32_t>(value));
        }
        run.record.store();
    }
    if (transmit && run.result != cmcRunResult::StartEditor &&
        run.record.Get(F::NacTx) == run.record.Get(F::NacRx)) {
        run.capsule.output = "<-";
        run.capsule.selLength = 2;
        run.capsule.cell->SetHorizontalAlignment(1);
        run.capsule.cell->SetVerticalAlignment(1);
    }
}
void receiveNac(clRun& run)
{
    nacOf(run, false);
}
void transmitNac(clRun& run)
{
    nacOf(run, true);
}

constexpr std::array Bindings{
    clBinding{L::CL_Digi_Ind_Id_Hex, &individualHex}, clBinding{L::CL_Digi_Ind_Id_Dec, &individualDec},
    clBinding{L::CL_Digi_Grp_Id_Hex, &talkGroupHex},  clBinding{L::CL_Digi_Grp_Id_Dec, &talkGroupDec},
    clBinding{L::CL_Digi_NacCh_RxNac, &receiveNac},   clBinding{L::CL_Digi_NacCh_TxNac, &transmitNac},
};

} // namespace

std::span<const clFieldRow> clListFieldRows()
{
    return Rows;
}

std::span<const clBinding> clListBindings()
{
    return Bindings;
}
