#pragma once
// The record kinds: every table of records a cell category addresses, with the index range
// that carry up, carry down and the popup-menu states work in, and whether its records may
// be cleared and deleted. Kind 0 means no record (the cell addresses fixed places).
#include <array>
#include <string_view>

struct datRecordKind {
    int kind = 0;
    std::string_view category; // the category name of the table's cells
    int lowest = 0;
    int highest = -1;
    bool clearDelete = false; // clear, delete and insert are offered

    [[nodiscard]] bool InRange(int index) const { return index >= lowest && index <= highest; }
};

inline constexpr int datKindNone = 0;
inline constexpr int datKindChannel = 1;
inline constexpr int datKindUserChar = 2;
inline constexpr int datKindDtmf = 3;
inline constexpr int datKindScanList = 4;
inline constexpr int datKindToneEntry = 5;
inline constexpr int datKindRxCode = 6;
inline constexpr int datKindTxCode = 7;
inline constexpr int datKindUserTone = 8;
inline constexpr int datKindTwoTone = 9;
inline constexpr int datKindTwoToneTx = 10;
inline constexpr int datKindBank = 11;
inline constexpr int datKindMskIdGroup = 12;
inline constexpr int datKindMskCallList = 13;
inline constexpr int datKindMskStatus = 14;
inline constexpr int datKindMskShortText = 15;
inline constexpr int datKindIndividualId = 16;
inline constexpr int datKindTalkGroup = 17;
inline constexpr int datKindNacChannel = 18;
inline constexpr int datKindDigitalStatus = 19;
inline constexpr int datKindEncryption = 20;
inline constexpr int datKindShortData = 21;
inline constexpr int datKindRepeater = 22;
inline constexpr int datKindDtmfRx = 23;
inline constexpr int datKindMdcAlias = 24;
inline constexpr int datKindChSwitch = 25;
inline constexpr int datKindMultiTable = 26;
inline constexpr int datKindCount = 27; // kinds 0 to 26

// One row per kind, row k for kind k.
inline constexpr std::array<datRecordKind, datKindCount> datRecordKinds{{
    {0, "", 0, -1, false},
    {1, "CT_Mch", 0, 31, true},
    {2, "CT_CEdit", 0, 15, true},
    {3, "CT_DTMF", 0, 10, false},
    {4, "CT_Scan", 0, 16, false},
    {5, "CT_CTone", 0, 39, false},
    {6, "CT_RX_Code", 1, 8, false},
    {7, "CT_TX_Code", 0, 31, false},
    {8, "CT_UserTone", 0, 14, false},
    {9, "CT_2Tone_Code", 1, 10, false},
    {10, "CT_2ToneTX_Common", 0, 9, false},
    {11, "CT_BankOp", 0, 0, false},
    {12, "CT_MSK_IdGroup", 0, 7, false},
    {13, "CT_MSK_CallList", 0, 31, false},
    {14, "CT_MSK_Msg_Status", 0, 22, false},
    {15, "CT_MSK_Msg_ShortTxt", 0, 7, false},
    {16, "CT_DIG_Inv", 0, 499, true},
    {17, "CT_DIG_Tg", 0, 499, true},
    {18, "CT_DIG_NacCh", 0, 39, false},
    {19, "CT_DIG_Status", 0, 99, false},
    {20, "CT_DIG_Encryption", 0, 62, false},
    {21, "CT_DIG_SDM", 0, 9, false},
    {22, "CT_Rpt", 0, 19, true},
    {23, "CT_DTMF_Rx", 0, 9, false},
    {24, "CT_MDC_Alias", 0, 499, true},
    {25, "CT_EXP_ChSwitchTable", 0, 31, false},
    {26, "CT_MultiTable", 0, 15, false},
}};

[[nodiscard]] constexpr bool datIsRecordKind(int kind)
{
    return kind > 0 && kind < datKindCount;
}

// The row of kind; kind 0 (and any number that is not a kind) gives the empty row of kind 0.
[[nodiscard]] constexpr const datRecordKind& datKindOf(int kind)
{
    return datRecordKinds[static_cast<std::size_t>(datIsRecordKind(kind) ? kind : 0)];
}

// The lists whose used count the working image keeps (rows past it are blank).
[[nodiscard]] constexpr bool datIsCountedList(int kind)
{
    return kind == datKindIndividualId || kind == datKindTalkGroup || kind == datKindRepeater;
}
