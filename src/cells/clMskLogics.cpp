// The MSK data-signalling lists: ID groups, the call list, the status messages and the
// short texts. Addresses are four decimal digits, 0 to 4095; an ID group's address outside
// the group range of the address plan (datVudaAdr), or a call-list address that is not a
// twelve-bit address, is marked as an error.
//
// The call list's digit flags are positions 1 to 4 of byte 12, position 1 in bit 7.
#include "cells/clRecordFamily.h"

#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datRecordKind.h"
#include "cells/datVudaAdr.h"

#include <array>

namespace {

using L = clLogic;
using F = datField;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";
constexpr int NoAddress = 65535; // the digits of an unused call-list entry are not decimal

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_Msk_IdGroup_Text, F::MskGrpText).Text(),
    clRow(L::CL_Msk_IdGroup_Alert, F::MskGrpAlert).Choice("GI_Sheet_Sel_RxC_Beep"),
    clRow(L::CL_Msk_IdGroup_SFunc, F::MskGrpSFunc).Choice(OnOff2),
    clRow(L::CL_Msk_IdGroup_Bell, F::MskGrpBell).Choice("GI_Sheet_Sel_Msk_IdGroup_Bell"),
    clRow(L::CL_Msk_CallList_Text, F::MskCallText).Text(),
    clRow(L::CL_Msk_CallList_Update, F::MskCallUpdate).Choice("GI_Sheet_Sel_Misc_Enable2"),
    clRow(L::CL_Msk_CallList_Digit, F::MskCallDigits).Bits(3, 4).Flags(1, 4, 0),
    clRow(L::CL_Msk_CallList_Sel, F::MskCallSel).Choice("GI_Sheet_Sel_Misc_Enable2"),
    clRow(L::CL_Msk_Msg_Status_Text_Rx, F::MskStRxText).Text(),
    clRow(L::CL_Msk_Msg_Status_Beep, F::MskStBeep).Choice("GI_Sheet_Sel_RxC_Beep"),
    clRow(L::CL_Msk_Msg_Status_Horn, F::MskStHorn).Choice(OnOff2),
    clRow(L::CL_Msk_Msg_Status_SFunc, F::MskStSFunc).Choice(OnOff2),
    clRow(L::CL_Msk_Msg_Status_Auto, F::MskStAuto).Choice(OnOff2),
    clRow(L::CL_Msk_Msg_Status_Text_Tx, F::MskStTxText).Text(),
    clRow(L::CL_Msk_Msg_Status_Rriority, F::MskStPriority).Choice("GI_Sheet_Sel_Msk_StatusMessPrio"),
    clRow(L::CL_Msk_Msg_Status_Selection, F::MskStSelection).Choice(OnOff2),
    clRow(L::CL_Msk_Msg_ShortTxtTxMsg_1, F::MskShortText).Text(),
    clRow(L::CL_Msk_Msg_ShortTxtTxMsg_Sel, F::MskShortSel).Choice(OnOff2),
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

// An address of four digits, 0 to 4095; a typed number outside the range is refused.
bool editAddress(clRun& run, int& address)
{
    return editPaddedNumber(run.Codec(), address, 4, 0, datVudaAdr::HighestAddress);
}

// CL_Msk_IdGroup_Adr: an ID group's address belongs to the group range.
void groupAddress(clRun& run)
{
    if (!recordOf(run, datKindMskIdGroup))
        return;
    int address = static_cast<int>(run.record.Get(F::MskGrpAddress));
    if (editAddress(run, address) &&
        static_cast<std::uint32_t>(address) != run.record.Get(F::MskGrpAddress)) {
        run.record.Set(F::MskGrpAddress, static_cast<std::uint32_t>(address));
        run.record.store();
    }
    if (!run.address.Group().Holds(static_cast<int>(run.record.Get(F::MskGrpAddress))))
        run.capsule.SetError();
}

// CL_Msk_CallList_Adr: an entry without an address shows nothing; digits that are not a
// twelve-bit address are an error.
void callAddress(clRun& run)
{
    if (!recordOf(run, datKindMskCallList))
        return;
    const int stored = static_cast<int>(run.record.Get(F::MskCallAddress));
    int address = stored;
    if (editAddress(run, address) && address != stored) {
        run.record.Set(F::MskCallAddress, static_cast<std::uint32_t>(address));
        run.record.store();
    }
    const int now = static_cast<int>(run.record.Get(F::MskCallAddress));
    if (now == NoAddress) {
        if (run.result == cmcRunResult::StartEditor && run.capsule.key == cmcKey::Enter) {
            run.capsule.output.clear();
            run.capsule.selStart = 0;
            run.capsule.selLength = 0;
        } else if (run.result != cmcRunResult::StartEditor) {
            run.capsule.output.clear();
            run.capsule.selLength = 0;
        }
        return;
    }
    if (now > datVudaAdr::HighestAddress)
        run.capsule.SetError();
}

// A short text holds one text: the second and third text cells of other models show "----".
constexpr std::array Bindings{
    clBinding{L::CL_Msk_IdGroup_Adr, &groupAddress},
    clBinding{L::CL_Msk_CallList_Adr, &callAddress},
    clBinding{L::CL_Msk_Msg_ShortTxtTxMsg_2, &clNotInFamily},
    clBinding{L::CL_Msk_Msg_ShortTxtTxMsg_3, &clNotInFamily},
};

} // namespace

std::span<const clFieldRow> clMskFieldRows()
{
    return Rows;
}

std::span<const clBinding> clMskBindings()
{
    return Bindings;
}
