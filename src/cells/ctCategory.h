#pragma once
// The category table: the 35 cell categories, index = position; each names the record kind
// its cells address through their argument (0: fixed places of the image, no record).
// ctNoCategory (35) means "no category".
#include <array>
#include <string_view>

struct ctCategoryDef {
    std::string_view name;
    int recordKind;
};

inline constexpr std::array<ctCategoryDef, 35> ctCategories{{
    {"CT_Null", 0},          {"CT_PopupMenu", 0},      {"CT_Mch", 1},
    {"CT_Mch_Check", 1},     {"CT_CEdit", 2},          {"CT_DTMF", 3},
    {"CT_Scan", 4},          {"CT_CTone", 5},          {"CT_RX_Code", 6},
    {"CT_TX_Code", 7},       {"CT_2Tone_Code", 9},     {"CT_2ToneTX_Common", 10},
    {"CT_UserTone", 8},      {"CT_BankOp", 11},        {"CT_MSK_AdrRange", 0},
    {"CT_MSK_IdGroup", 12},  {"CT_MSK_CallList", 13},  {"CT_MSK_Msg_Status", 14},
    {"CT_MSK_Msg_ShortTxt", 15}, {"CT_MSK_TimingErr", 0}, {"CT_MSK_Cfg", 0},
    {"CT_DIG_Inv", 16},      {"CT_DIG_Tg", 17},        {"CT_DIG_Op", 0},
    {"CT_DIG_NacCh", 18},    {"CT_DIG_Status", 19},    {"CT_DIG_Encryption", 20},
    {"CT_DIG_SDM", 21},      {"CT_Rpt", 22},           {"CT_Ltr_Op", 0},
    {"CT_DTMF_Rx", 23},      {"CT_MDC_Alias", 24},     {"CT_EXP_ChSwitchTable", 25},
    {"CT_MultiTable", 26},   {"CT_ADJ", 0},
}};

inline constexpr int ctCategoryCount = static_cast<int>(ctCategories.size());
inline constexpr int ctNoCategory = ctCategoryCount;

// Named indexes of the categories the code refers to.
enum class ctCategory : int {
    CT_Null, CT_PopupMenu, CT_Mch, CT_Mch_Check, CT_CEdit, CT_DTMF, CT_Scan, CT_CTone, CT_RX_Code,
    CT_TX_Code, CT_2Tone_Code, CT_2ToneTX_Common, CT_UserTone, CT_BankOp, CT_MSK_AdrRange,
    CT_MSK_IdGroup, CT_MSK_CallList, CT_MSK_Msg_Status, CT_MSK_Msg_ShortTxt, CT_MSK_TimingErr,
    CT_MSK_Cfg, CT_DIG_Inv, CT_DIG_Tg, CT_DIG_Op, CT_DIG_NacCh, CT_DIG_Status, CT_DIG_Encryption,
    CT_DIG_SDM, CT_Rpt, CT_Ltr_Op, CT_DTMF_Rx, CT_MDC_Alias, CT_EXP_ChSwitchTable, CT_MultiTable,
    CT_ADJ,
};

// The record kind of a category index; 0 for ctNoCategory. Fatal outside 0 to 35.
[[nodiscard]] int ctRecordKind(int category);
// The index of an exact name; -1 when unknown.
[[nodiscard]] int ctCategoryIndex(std::string_view name);
