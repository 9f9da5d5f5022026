// The record layouts: the one place that says where each kind's records lie and which bits
// hold which field.
//
// The channel table, ID lists, repeaters, scan lists, DTMF codes and the small lists follow
// the radio's documented layout. For the kinds whose layout is ours to choose, the places
// are those of the tables the memory map packs, and the choices are:
//   2  user characters   PTBL 10: 24 bytes, the dot matrix of one character, a byte per
//                         column half (12 columns of 16 rows, most significant bit on top).
//   5  tone entries      PTBL 14: receive tone, transmit tone (tone fields as in a channel);
//                         the selection bit in the bit array at 0x10BA9 (one bit per entry,
//                         most significant first, like the NAC channels' array at 0x10BAE).
//   6  receive codes     PTBL 20: the code as 16 digits at 0x2C (bytes 0-3 and 0x1C hold the
//                         radio's older copies that the save step rebuilds), the group mask
//                         at 0x25, the text at 4-15, decode options at 16-17.
//   7  transmit codes    PTBL 18: the code as 16 digits at 4-11 (bytes 0-3 the older copy);
//                         PTBL 19: options at byte 2 (bit 0 belongs to the save step) and 3,
//                         the text at 4-15.
//   8  user tones        PTBL 82's 96 bytes as 15 records of 6: encode tone (bits 0-13,
//                         bit 14 long tone, bit 15 automatic), decode window low and high.
//   9  two-tone codes    PTBL 12's first 99 bytes as 11 records of 9: six 12-bit numbers in
//                         hertz, most significant first: the two tones and, for each, the
//                         lower and upper limit of its decode window (the write step
//                         recomputes the limits from the tones); and from PTBL 12's byte
//                         99 on, two bytes of decode options per code: group call, bell
//                         (bits 1-2), answer back, external output, beep, auto transmit,
//                         stun (bits 3-7), then scan, special function and the code type
//                         (bits 2-3) of the second byte.
//   10 two-tone transmit PTBL 46 bytes 32-53 of each record: two tones (0.1 Hz) with their
//                         periods (10 ms) and a 12-character text.
//   11 banks             PTBL 11: the bank's name in bytes 0-11; the bank flags are status
//                         bits 4 and 5.
//   19 digital status    PTBL 63 (receive part) and PTBL 64 (transmit part), laid out like
//                         the MSK status messages.
//   23 DTMF receive      PTBL 46 bytes 0-31 of each record: text, 16 digits and their count,
//                         decode options.
//   24 MDC aliases       PTBL 59: ID, 12-character text, beep type and strip flag.
//   26 multi tables      PTBL 70: 16 entries of 6 bytes: block number, type, decode and
//                         encode code.
#include "cells/datRecordLayout.h"

#include "base/cmcFatal.h"
#include "base/cmcText.h"
#include "cells/datCounts.h"
#include "cells/datRecordKind.h"
#include "cells/datTables.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <array>

namespace {

using F = datField;
using P = datPartForm;
using C = datCompose;
using R = datReadRule;

constexpr datPartDef bytes(int kind, int part, int base, int stride, int size, int slots, int ptbl)
{
    return {kind, part, P::Bytes, base, stride, size, slots, datPartIndex::Record, -1, ptbl};
}

constexpr datPartDef bitArray(int kind, int part, int base, int slots, int ptbl)
{
    return {kind, part, P::Bit, base, 0, 1, slots, datPartIndex::Record, -1, ptbl};
}

constexpr datPartDef sitePart(int kind, int part, int base, int size, int statusByte, int ptbl)
{
    return {kind, part, P::Bytes, base, size, size, datSites, datPartIndex::Site, statusByte, ptbl};
}

// clang-format off
constexpr std::array Parts{
    bytes(1, 0, 0xFF80, 32, 32, 32, 2),    // main record
    bytes(1, 1, 0x107CE, 27, 27, 32, 3),   // extension record
    bytes(1, 2, 0x177B5, 6, 6, 32, 45),    // digital part
    datPartDef{1, 3, P::BitColumn, 0x10390, 4, 17, 32, datPartIndex::Record, -1, 15}, // scan lists
    bytes(2, 0, 0x10C2C, 24, 24, 16, 10),
    bytes(3, 0, 0x1142A, 37, 37, 11, 17),
    bytes(4, 0, 0x111E8, 34, 34, 17, 16),
    bytes(5, 0, 0x11148, 4, 4, 40, 14),
    bitArray(5, 1, 0x10BA9, 40, 8),
    bytes(6, 0, 0x11841, 52, 52, 11, 20),
    bytes(7, 0, 0x103D4, 12, 12, 32, 18),
    bytes(7, 1, 0x115C1, 20, 20, 32, 19),
    bytes(8, 0, 0x175C0, 6, 6, 15, 82),
    bytes(9, 0, 0x110BC, 9, 9, 11, 12),
    bytes(9, 1, 0x110BC + 99, 2, 2, 11, 12), // decode options
    bytes(10, 0, 0x17875 + 32, 54, 22, 10, 46),
    bytes(11, 0, 0x10DAC, 49, 49, 16, 11),
    bytes(12, 0, 0x11ABF, 42, 42, 8, 29),
    bytes(13, 0, 0x10554, 12, 4, 32, 27),  // address
    bytes(13, 1, 0x11C17, 20, 20, 32, 28), // entry
    bytes(14, 0, 0x12037, 16, 16, 24, 31), // receive part
    bytes(14, 1, 0x11EB7, 16, 16, 24, 30), // transmit part
    bytes(15, 0, 0x106D4, 12, 12, 8, 32),
    bytes(15, 1, 0x121B7, 2, 1, 8, 33),
    bytes(16, 0, 0x121C7, 16, 16, datMaxListEntries, 34),
    bytes(17, 0, 0x14109, 14, 14, datMaxListEntries, 35),
    bytes(18, 0, 0x16264, 4, 4, 40, 36),
    bitArray(18, 1, 0x10BAE, 40, 8),
    bytes(19, 0, 0x168E0, 16, 16, 100, 63),
    bytes(19, 1, 0x16F20, 16, 16, 100, 64),
    bytes(20, 0, 0x1764A, 2, 2, 63, 72),
    bytes(21, 0, 0x10734, 12, 12, 10, 77),
    bytes(21, 1, 0x17626, 2, 1, 10, 78),
    bytes(22, 0, 0x176ED, 10, 10, datMaxRepeaters, 43),
    sitePart(22, 1, 0x176E5, 8, 7, 42), // site record; byte 7 (home repeater) by status only
    sitePart(22, 2, 0x1113C, 12, -1, 13), // site text
    bytes(23, 0, 0x17875, 54, 32, 10, 46),
    bytes(24, 0, 0x184FF, 15, 15, 500, 59),
    bytes(25, 0, 0x1A24B, 1, 1, 32, 65),
    bytes(26, 0, 0x1A2A6, 96, 96, 16, 70),
};

constexpr datFieldDef bits(F f, int kind, int part, int byte, int nBytes, int bitLow, int width,
                           R rule = R::None)
{
    return {f, kind, part, C::Bits, {byte, nBytes, bitLow, width}, {}, rule, 1, 0};
}
constexpr datFieldDef bit(F f, int kind, int part, int byte, int b, R rule = R::None)
{
    return bits(f, kind, part, byte, 1, b, 1, rule);
}
constexpr datFieldDef be16(F f, int kind, int part, int byte) { return bits(f, kind, part, byte, 2, 0, 16); }
constexpr datFieldDef two(F f, int kind, int part, datPiece lo, datPiece hi)
{
    return {f, kind, part, C::Bits, lo, hi, R::None, 1, 0};
}
constexpr datFieldDef text(F f, int kind, int part, int byte, int n)
{
    return {f, kind, part, C::Text, {byte, n, 0, 0}, {}, R::None, 1, 0};
}
constexpr datFieldDef raw(F f, int kind, int part, int byte, int n)
{
    return {f, kind, part, C::Bytes, {byte, n, 0, 0}, {}, R::None, 1, 0};
}
constexpr datFieldDef digits(F f, int kind, int part, int byte, int n)
{
    return {f, kind, part, C::Nibbles, {byte, n, 0, 0}, {}, R::None, 1, 0};
}
constexpr datFieldDef entry(F f, int byte, int nBytes, int width)
{
    return {f, datKindMultiTable, 0, C::Bits, {byte, nBytes, 0, width}, {}, R::None, 16, 6};
}

constexpr std::array Fields{
    // channels: part 0 main, 1 extension, 2 digital
    bit(F::ChInhibit, 1, 0, 0, 7),
    bits(F::ChRxFreq, 1, 0, 0, 4, 0, 31),
    bit(F::ChTxOff, 1, 0, 4, 7),
    bits(F::ChTxFreq, 1, 0, 4, 4, 0, 31),
    be16(F::ChRxTone, 1, 0, 8),
    be16(F::ChTxTone, 1, 0, 10),
    bits(F::ChMode, 1, 0, 12, 1, 0, 2),
    bits(F::ChOperationMode, 1, 0, 12, 1, 2, 2),
    two(F::ChBandwidth, 1, 0, {12, 1, 6, 1}, {12, 1, 4, 1}),
    bit(F::ChOption5, 1, 0, 12, 5),
    bits(F::ChSetting14, 1, 0, 14, 1, 0, 8),
    text(F::ChName, 1, 0, 15, 12),
    be16(F::ChSetting27, 1, 0, 27),
    be16(F::ChSetting29, 1, 0, 29),
    bits(F::ChSetting31, 1, 0, 31, 1, 0, 8),
    bits(F::ChPower, 1, 1, 0, 1, 0, 2),
    two(F::ChLockout, 1, 1, {0, 1, 2, 2}, {17, 1, 0, 3}),
    bit(F::ChPowerSave, 1, 1, 0, 7),
    bit(F::ChAutoChScan, 1, 1, 3, 0),
    bit(F::ChCompander, 1, 1, 3, 4),
    bits(F::ChExtSetting12, 1, 1, 12, 4, 0, 32),
    bits(F::ChExtOptions17, 1, 1, 17, 1, 3, 5),
    bits(F::ChModeGroup, 1, 1, 18, 1, 0, 2),
    bits(F::ChExtOptions18, 1, 1, 18, 1, 2, 6),
    bit(F::ChTot, 1, 1, 19, 7),
    bits(F::ChExtSetting20, 1, 1, 20, 1, 0, 8),
    be16(F::ChTgList, 1, 1, 23),
    be16(F::ChIndList, 1, 1, 25),
    bits(F::ChDigitalMarker, 1, 2, 0, 1, 0, 8),
    raw(F::ChDigital, 1, 2, 1, 5),
    // user characters
    raw(F::UcDots, 2, 0, 0, 24),
    // DTMF codes
    text(F::DtmfName, 3, 0, 0, 24),
    digits(F::DtmfDigits, 3, 0, 24, 12),
    bits(F::DtmfCount, 3, 0, 36, 1, 0, 8),
    // scan lists
    text(F::ScanName, 4, 0, 0, 24),
    two(F::ScanMode, 4, 0, {24, 1, 0, 4}, {25, 1, 5, 1}),
    bit(F::ScanPowerSave, 4, 0, 24, 4),
    bit(F::ScanPrio2InUse, 4, 0, 24, 7),
    bit(F::ScanTalkBack, 4, 0, 25, 2),
    bit(F::ScanTxAction, 4, 0, 25, 4),
    two(F::ScanCancelCh, 4, 0, {27, 1, 0, 4}, {25, 1, 3, 1}),
    two(F::ScanDispText, 4, 0, {25, 1, 7, 1}, {25, 1, 6, 1}),
    bits(F::ScanTxMode, 4, 0, 26, 1, 4, 4),
    bits(F::ScanPrio1Mode, 4, 0, 26, 1, 0, 4),
    bits(F::ScanPrio2Mode, 4, 0, 27, 1, 4, 4),
    be16(F::ScanTxCh, 4, 0, 28),
    be16(F::ScanPrio1Ch, 4, 0, 30),
    be16(F::ScanPrio2Ch, 4, 0, 32),
    // tone entries
    be16(F::ToneRx, 5, 0, 0),
    be16(F::ToneTx, 5, 0, 2),
    bit(F::ToneSel, 5, 1, 0, 0),
    // five-tone receive codes
    digits(F::RxcCode, 6, 0, 0x2C, 8),
    bits(F::RxcMask, 6, 0, 0x25, 1, 0, 8),
    text(F::RxcText, 6, 0, 4, 12),
    bit(F::RxcIdDec, 6, 0, 16, 0),
    bits(F::RxcBell, 6, 0, 16, 1, 1, 2),
    bit(F::RxcEmerCancel, 6, 0, 16, 3),
    bit(F::RxcAbc, 6, 0, 16, 4),
    bit(F::RxcExo, 6, 0, 16, 5),
    bit(F::RxcBeep, 6, 0, 16, 6),
    bit(F::RxcAutoTx, 6, 0, 16, 7),
    bit(F::RxcAud, 6, 0, 17, 0),
    bit(F::RxcStun, 6, 0, 17, 1),
    bit(F::RxcScan, 6, 0, 17, 2),
    bit(F::RxcSFunc, 6, 0, 17, 3),
    // five-tone transmit codes: part 0 code, part 1 entry
    digits(F::TxcCode, 7, 0, 4, 8),
    bit(F::TxcUpdate, 7, 1, 2, 1),
    bit(F::TxcAbcDec, 7, 1, 2, 2),
    bit(F::TxcAbcAud, 7, 1, 2, 3),
    bit(F::TxcSel, 7, 1, 2, 4),
    bits(F::TxcInputDigit, 7, 1, 3, 1, 0, 5),
    text(F::TxcText, 7, 1, 4, 12),
    // user tones
    bits(F::UtEncode, 8, 0, 0, 2, 0, 14),
    bit(F::UtLength, 8, 0, 0, 6),
    bit(F::UtAuto, 8, 0, 0, 7),
    be16(F::UtDecLow, 8, 0, 2),
    be16(F::UtDecHigh, 8, 0, 4),
    // two-tone codes: six 12-bit numbers
    bits(F::TtEdge1, 9, 0, 0, 2, 4, 12),
    bits(F::TtEdge2, 9, 0, 1, 2, 0, 12),
    bits(F::TtLow1, 9, 0, 3, 2, 4, 12),
    bits(F::TtHigh1, 9, 0, 4, 2, 0, 12),
    bits(F::TtLow2, 9, 0, 6, 2, 4, 12),
    bits(F::TtHigh2, 9, 0, 7, 2, 0, 12),
    bit(F::TtGroupCall, 9, 1, 0, 0),
    bits(F::TtBell, 9, 1, 0, 1, 1, 2),
    bit(F::TtAns, 9, 1, 0, 3),
    bit(F::TtExo, 9, 1, 0, 4),
    bit(F::TtBeep, 9, 1, 0, 5),
    bit(F::TtAutoTx, 9, 1, 0, 6),
    bit(F::TtStun, 9, 1, 0, 7),
    bit(F::TtScan, 9, 1, 1, 0),
    bit(F::TtSFunc, 9, 1, 1, 1),
    bits(F::TtCodeType, 9, 1, 1, 1, 2, 2),
    // two-tone transmit settings
    be16(F::TtxFreq1, 10, 0, 0),
    bits(F::TtxPeriod1, 10, 0, 2, 1, 0, 8),
    be16(F::TtxFreq2, 10, 0, 3),
    bits(F::TtxPeriod2, 10, 0, 5, 1, 0, 8),
    text(F::TtxText, 10, 0, 6, 12),
    // banks
    text(F::BankName, 11, 0, 0, 12),
    // MSK ID groups
    be16(F::MskGrpAddress, 12, 0, 0),
    text(F::MskGrpText, 12, 0, 2, 12),
    bits(F::MskGrpAlert, 12, 0, 28, 1, 0, 3),
    bit(F::MskGrpSFunc, 12, 0, 28, 3),
    bits(F::MskGrpBell, 12, 0, 29, 1, 0, 2),
    bit(F::MskGrpHasText, 12, 0, 29, 2),
    // MSK call list: part 0 address, part 1 entry
    datFieldDef{F::MskCallAddress, 13, 0, C::Bcd4, {0, 2, 0, 0}, {}, R::None, 1, 0},
    text(F::MskCallText, 13, 1, 0, 12),
    bit(F::MskCallUpdate, 13, 1, 12, 0),
    bits(F::MskCallDigits, 13, 1, 12, 1, 1, 7),
    bit(F::MskCallSel, 13, 1, 13, 4, R::Inverted),
    bit(F::MskCallHasText, 13, 1, 13, 5),
    // MSK status messages: part 0 receive, part 1 transmit
    text(F::MskStRxText, 14, 0, 0, 12),
    bits(F::MskStBeep, 14, 0, 12, 1, 0, 4),
    bit(F::MskStHorn, 14, 0, 12, 5),
    bit(F::MskStSFunc, 14, 0, 12, 6),
    bit(F::MskStAuto, 14, 0, 12, 7),
    text(F::MskStTxText, 14, 1, 0, 12),
    bit(F::MskStPriority, 14, 1, 12, 0),
    bit(F::MskStSelection, 14, 1, 12, 1),
    // MSK short texts: part 0 text, part 1 selection byte
    text(F::MskShortText, 15, 0, 0, 12),
    bit(F::MskShortSel, 15, 1, 0, 1),
    // ID lists
    bits(F::IndId, 16, 0, 0, 4, 0, 32),
    text(F::IndName, 16, 0, 4, 12),
    be16(F::TgId, 17, 0, 0),
    text(F::TgName, 17, 0, 2, 12),
    // NAC channels
    be16(F::NacRx, 18, 0, 0),
    be16(F::NacTx, 18, 0, 2),
    bit(F::NacSel, 18, 1, 0, 0),
    // digital status messages
    text(F::DstRxText, 19, 0, 0, 12),
    bits(F::DstBeep, 19, 0, 12, 1, 0, 4),
    bit(F::DstRx, 19, 0, 12, 4),
    bits(F::DstAction, 19, 0, 12, 1, 5, 2),
    bit(F::DstAux, 19, 0, 12, 7),
    text(F::DstTxText, 19, 1, 0, 12),
    bit(F::DstSelection, 19, 1, 12, 1),
    // encryption keys
    be16(F::EncKey, 20, 0, 0),
    // short data messages
    text(F::SdmText, 21, 0, 0, 12),
    bit(F::SdmSel, 21, 1, 0, 1),
    // repeaters: part 0 record, 1 site record, 2 site text
    bits(F::RptRxFreq, 22, 0, 0, 4, 0, 32, R::ClampFrequency),
    bits(F::RptTxFreq, 22, 0, 4, 4, 0, 32, R::ClampFrequency),
    bit(F::RptRxData, 22, 0, 8, 7),
    bit(F::RptTxData, 22, 0, 8, 6),
    bit(F::RptNarrow, 22, 0, 8, 5),
    bits(F::RptPower, 22, 0, 8, 1, 3, 2, R::ZeroReadsAs3),
    bit(F::RptPhone, 22, 0, 8, 0),
    bit(F::RptSiteArea, 22, 1, 0, 7),
    bits(F::RptSiteHome, 22, 1, 7, 1, 0, 8),
    text(F::RptSiteText, 22, 2, 0, 12),
    // DTMF receive entries
    text(F::DrxText, 23, 0, 0, 12),
    digits(F::DrxDigits, 23, 0, 12, 8),
    bits(F::DrxCount, 23, 0, 20, 1, 0, 8),
    bit(F::DrxIdDec, 23, 0, 21, 0),
    bits(F::DrxBell, 23, 0, 21, 1, 1, 2),
    bit(F::DrxEmerCancel, 23, 0, 21, 3),
    bit(F::DrxAbc, 23, 0, 21, 4),
    bit(F::DrxExo, 23, 0, 21, 5),
    bit(F::DrxBeep, 23, 0, 21, 6),
    bit(F::DrxAutoTx, 23, 0, 21, 7),
    bit(F::DrxAud, 23, 0, 22, 0),
    bit(F::DrxStun, 23, 0, 22, 1),
    bit(F::DrxScan, 23, 0, 22, 2),
    bit(F::DrxSFunc, 23, 0, 22, 3),
    bits(F::DrxAction, 23, 0, 23, 1, 0, 4),
    bit(F::DrxAck, 23, 0, 23, 4),
    // MDC aliases
    be16(F::MdcId, 24, 0, 0),
    text(F::MdcText, 24, 0, 2, 12),
    bits(F::MdcBeepType, 24, 0, 14, 1, 0, 3),
    bit(F::MdcStrip, 24, 0, 14, 7),
    // channel switch table
    bits(F::ChSwMove, 25, 0, 0, 1, 0, 8),
    // multi tables, entry e at byte 6e
    entry(F::MtBlockNo, 0, 1, 8),
    entry(F::MtType, 1, 1, 8),
    entry(F::MtDecode, 2, 2, 16),
    entry(F::MtEncode, 4, 2, 16),
};

constexpr std::array<datDerivedBits, 6> Derived{{
    {12, 0, 29, 0x04}, // set when the group text holds a non-blank character
    {13, 0, 0, 0xFF},  // the address: canonical digits, 0xFF when not four decimal digits
    {13, 0, 1, 0xFF},
    {13, 0, 2, 0xFF}, // always 0xFF
    {13, 0, 3, 0xFF},
    {13, 1, 13, 0x20}, // set when the entry text holds a non-blank character
}};
// clang-format on

static_assert(Fields.size() == static_cast<std::size_t>(datFieldCount), "one row per field");

constexpr bool fieldsInOrder()
{
    for (std::size_t i = 0; i < Fields.size(); ++i) {
        if (static_cast<std::size_t>(Fields[i].field) != i)
            return false;
    }
    return true;
}
static_assert(fieldsInOrder(), "field rows must follow the datField order");

constexpr bool partsInOrder()
{
    for (std::size_t i = 1; i < Parts.size(); ++i) {
        const auto& a = Parts[i - 1];
        const auto& b = Parts[i];
        if (b.kind < a.kind || (b.kind == a.kind && b.part != a.part + 1) ||
            (b.kind != a.kind && b.part != 0))
            return false;
    }
    return Parts[0].part == 0;
}
static_assert(partsInOrder(), "part rows must be grouped by kind, parts numbered from 0");

// Last image byte a part touches for its last slot.
int lastByteOf(const datPartDef& p)
{
    switch (p.form) {
    case P::Bytes:
        return p.base + p.stride * (p.slots - 1) + p.size - 1;
    case P::Bit:
        return p.base + (p.slots - 1) / 8;
    case P::BitColumn:
        return p.base + p.stride * (p.size - 1) + (p.slots - 1) / 8;
    }
    return p.base;
}

// Bytes of a part's record as the fields see it.
int recordBytesOf(const datPartDef& p)
{
    return p.form == P::Bytes ? p.size : (p.form == P::Bit ? 1 : p.size);
}

void markBits(std::vector<std::uint8_t>& used, const datPiece& piece, int entryOffset, bool& clash)
{
    // Bit b of the piece's big-endian number lies in byte (byte + nBytes - 1 - b / 8).
    for (int b = piece.bitLow; b < piece.bitLow + piece.width; ++b) {
        const std::size_t byte =
            static_cast<std::size_t>(entryOffset + piece.byte + piece.nBytes - 1 - b / 8);
        const std::uint8_t mask = static_cast<std::uint8_t>(1u << (b % 8));
        if (byte >= used.size() || (used[byte] & mask))
            clash = true;
        else
            used[byte] |= mask;
    }
}

} // namespace

std::span<const datPartDef> datPartsOf(int kind)
{
    const auto first =
        std::find_if(Parts.begin(), Parts.end(), [kind](const auto& p) { return p.kind == kind; });
    const auto last = std::find_if(first, Parts.end(), [kind](const auto& p) { return p.kind != kind; });
    return {first, last};
}

const datFieldDef& datFieldOf(datField field)
{
    const auto i = static_cast<std::size_t>(field);
    if (i >= Fields.size())
        cmcFatalStop(Format("Unknown record field. (%d)", static_cast<int>(i)));
    return Fields[i];
}

std::vector<const datFieldDef*> datFieldsOf(int kind)
{
    std::vector<const datFieldDef*> fields;
    for (const auto& f : Fields) {
        if (f.kind == kind)
            fields.push_back(&f);
    }
    return fields;
}

int datSlotsOf(int kind)
{
    const auto parts = datPartsOf(kind);
    return parts.empty() ? 0 : parts.front().slots;
}

std::span<const datDerivedBits> datDerivedBitsList()
{
    return Derived;
}

std::vector<std::string> datLayoutProblems()
{
    std::vector<std::string> problems;
    for (int kind = 1; kind < datKindCount; ++kind) {
        const auto parts = datPartsOf(kind);
        if (parts.empty()) {
            problems.push_back(Format("Record kind %d has no place.", kind));
            continue;
        }
        if (static_cast<int>(parts.size()) > datMaxParts)
            problems.push_back(Format("Record kind %d has too many parts.", kind));
        for (const auto& p : parts) {
            const int last = lastByteOf(p);
            if (p.base < cmcWorkingAreaStart || last >= cmcImageSize)
                problems.push_back(Format("Kind %d part %d lies outside the working area.", kind, p.part));
            const datTableDef* table = datFindTable(p.ptblId);
            if (table == nullptr)
                problems.push_back(
                    Format("Kind %d part %d names no table (PTBL-ID %d).", kind, p.part, p.ptblId));
            else if (p.base < table->staticPlace || last >= table->StaticEnd())
                problems.push_back(
                    Format("Kind %d part %d leaves the place of PTBL-ID %d.", kind, p.part, p.ptblId));
            if (recordBytesOf(p) > datMaxPartBytes)
                problems.push_back(Format("Kind %d part %d is too large.", kind, p.part));
            const int needed = p.by == datPartIndex::Site ? datSites : datKindOf(kind).highest + 1;
            if (p.slots < needed)
                problems.push_back(Format("Kind %d part %d holds too few records.", kind, p.part));
            if (p.form == P::Bytes && p.size > p.stride)
                problems.push_back(Format("Kind %d part %d records overlap.", kind, p.part));
        }
        // Fields inside their part, no bit named twice.
        std::vector<std::vector<std::uint8_t>> used(parts.size());
        for (std::size_t i = 0; i < parts.size(); ++i)
            used[i].assign(static_cast<std::size_t>(recordBytesOf(parts[i])), 0);
        for (const datFieldDef* f : datFieldsOf(kind)) {
            if (f->part < 0 || f->part >= static_cast<int>(parts.size())) {
                problems.push_back(Format("Field %d names a missing part.", static_cast<int>(f->field)));
                continue;
            }
            auto& bitsUsed = used[static_cast<std::size_t>(f->part)];
            bool clash = false;
            for (int e = 0; e < f->entries; ++e) {
                const int offset = e * f->entryStride;
                if (f->compose == C::Bits) {
                    markBits(bitsUsed, f->lo, offset, clash);
                    if (f->hi.width > 0)
                        markBits(bitsUsed, f->hi, offset, clash);
                    if (f->Width() > 32 || f->lo.nBytes > 4 || f->hi.nBytes > 4)
                        clash = true;
                } else {
                    const int bytesOf = f->compose == C::Bcd4 ? 2 : f->lo.nBytes;
                    markBits(bitsUsed, datPiece{f->lo.byte, bytesOf, 0, 8 * bytesOf}, offset, clash);
                }
            }
            if (clash)
                problems.push_back(Format("Field %d leaves its part or shares bits with another field.",
                                          static_cast<int>(f->field)));
        }
    }
    return problems;
}

void datSelfCheckLayout()
{
    const auto problems = datLayoutProblems();
    if (!problems.empty())
        cmcFatalStop(problems.front());
}
