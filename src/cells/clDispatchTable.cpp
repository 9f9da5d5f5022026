#include "cells/clDispatchTable.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "cells/clFamilies.h"

#include <array>
#include <string>

namespace {

void doNothing(clRun&) {}

// Items of selection lists and of the model popups: the label is the cell's display text.
void showDisplayText(clRun& run)
{
    run.capsule.output = run.Cell().DisplayText();
}

constexpr clBinding row(clLogic logic, clHandler handler)
{
    return {logic, handler};
}

// Every logic of first .. last (table order), bound to handler.
template <std::size_t N>
constexpr void addRange(std::array<clBinding, N>& rows, std::size_t& at, clLogic first, clLogic last,
                        clHandler handler)
{
    for (int i = clIndex(first); i <= clIndex(last); ++i)
        rows[at++] = {static_cast<clLogic>(i), handler};
}

constexpr int rangeSize(clLogic first, clLogic last)
{
    return clIndex(last) - clIndex(first) + 1;
}

// The logics the dispatcher runs without a behaviour of their own: they draw nothing and
// ignore every event (the adjustment values behind them are shown by the adjustment
// window, the MDC aliases 2 to 5 are not used by this family, CL_Dummy stands for nothing).
constexpr std::size_t inertCount =
    2 + 2 + rangeSize(clLogic::CL_Mdc_Alias2_Strip, clLogic::CL_Mdc_Alias5_Text) +
    rangeSize(clLogic::CL_ADP_Level_Pwr_H, clLogic::CL_ADP_Bal_Slant_H) +
    rangeSize(clLogic::CL_Adjust_High, clLogic::CL_Adjust_RxLVA_H_Bar) + 4 +
    rangeSize(clLogic::CL_Adjust_LV_Rx_L, clLogic::CL_Adjust_RSSI) +
    rangeSize(clLogic::CL_Adjust_BAL, clLogic::CL_Adjust_MOD_Offset_High_Bar) +
    rangeSize(clLogic::CL_Adjust_BPF_C_T1, clLogic::CL_Adjust_BPF_L_T1_Bar) + 6;

// Flex0 .. FlexRxCodeAUX without Flex_Language_ChNo.
constexpr std::size_t flexCount =
    static_cast<std::size_t>(rangeSize(clLogic::Flex0, clLogic::FlexRxCodeAUX) - 1);

constexpr std::array<clBinding, inertCount + flexCount> dispatcherRows = [] {
    std::array<clBinding, inertCount + flexCount> rows{};
    std::size_t at = 0;
    rows[at++] = row(clLogic::CL_Null, doNothing);
    rows[at++] = row(clLogic::Flex_Language_ChNo, doNothing);
    rows[at++] = row(clLogic::CL_Maker_TxcDelayTimer, doNothing);
    rows[at++] = row(clLogic::CL_Dummy, doNothing);
    addRange(rows, at, clLogic::CL_Mdc_Alias2_Strip, clLogic::CL_Mdc_Alias5_Text, doNothing);
    addRange(rows, at, clLogic::CL_ADP_Level_Pwr_H, clLogic::CL_ADP_Bal_Slant_H, doNothing);
    addRange(rows, at, clLogic::CL_Adjust_High, clLogic::CL_Adjust_RxLVA_H_Bar, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_TxLVA_L, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_TxLVA_L_Bar, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_TxLVA_H, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_TxLVA_H_Bar, doNothing);
    addRange(rows, at, clLogic::CL_Adjust_LV_Rx_L, clLogic::CL_Adjust_RSSI, doNothing);
    addRange(rows, at, clLogic::CL_Adjust_BAL, clLogic::CL_Adjust_MOD_Offset_High_Bar, doNothing);
    addRange(rows, at, clLogic::CL_Adjust_BPF_C_T1, clLogic::CL_Adjust_BPF_L_T1_Bar, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_L_T2, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_L_T2_Bar, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_H_T1, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_H_T1_Bar, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_H_T2, doNothing);
    rows[at++] = row(clLogic::CL_Adjust_BPF_H_T2_Bar, doNothing);
    for (int i = clIndex(clLogic::Flex0); i <= clIndex(clLogic::FlexRxCodeAUX); ++i) {
        if (i != clIndex(clLogic::Flex_Language_ChNo))
            rows[at++] = {static_cast<clLogic>(i), showDisplayText};
    }
    return rows;
}();

const std::vector<clHandler>& joinedTable()
{
    static const std::vector<clHandler> table = [] {
        const std::array<std::span<const clBinding>, 8> families{
            clDispatcherLogics(), clSettingsLogics(),  clChannelLogics(), clRecordLogics(),
            clMenuLogics(),       clPopupMenuLogics(), clCheckLogics(),   clCloneInfoLogics(),
        };
        return clJoinFamilies(families);
    }();
    return table;
}

} // namespace

std::span<const clBinding> clDispatcherLogics()
{
    return dispatcherRows;
}

std::vector<clHandler> clJoinFamilies(std::span<const std::span<const clBinding>> families)
{
    std::vector<clHandler> table(static_cast<std::size_t>(clLogicCount), nullptr);
    for (std::span<const clBinding> family : families) {
        for (const clBinding& binding : family) {
            const int logic = clIndex(binding.logic);
            if (logic < 0 || logic >= clLogicCount)
                cmcFatalStop(Format("Cell logic table error.\nNo logic %d.", logic));
            clHandler& slot = table[static_cast<std::size_t>(logic)];
            if (slot != nullptr || binding.handler == nullptr)
                cmcFatalStop("Cell logic table error.\n'" + std::string(clLogicName(logic)) +
                             "' is bound twice or to nothing.");
            slot = binding.handler;
        }
    }
    return table;
}

clHandler clHandlerOf(int logic)
{
    if (logic < 0 || logic >= clLogicCount)
        return nullptr;
    return joinedTable()[static_cast<std::size_t>(logic)];
}

std::vector<int> clUnboundLogics()
{
    std::vector<int> unbound;
    for (int logic = 0; logic < clLogicCount; ++logic) {
        if (clHandlerOf(logic) == nullptr)
            unbound.push_back(logic);
    }
    return unbound;
}
