#pragma once
// Where the records of every kind lie in the working image, and the fields a record holds:
// one row per part of a record and one row per field, in datRecordLayout.cpp. The decoder
// and encoder (datCh) walk these rows; the start-up self check and the round-trip test
// loop over them. Bytes no field names are carried through decode and encode unchanged.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The fields of all kinds. Rows of the field table are in this order.
enum class datField : std::uint16_t {
    // channels (kind 1): main record, extension record, digital part
    ChInhibit,
    ChRxFreq,
    ChTxOff,
    ChTxFreq,
    ChRxTone,
    ChTxTone,
    ChMode,          // 0 analog, 1 and 2 mixed, 3 digital only
    ChOperationMode, // main byte 12 bits 2-3
    ChBandwidth,     // bit 0 from main byte 12 bit 6, bit 1 from bit 4
    ChOption5,       // main byte 12 bit 5
    ChSetting14,
    ChName,
    ChSetting27,
    ChSetting29,
    ChSetting31,
    ChPower,
    ChLockout, // bits 0-1 from ext byte 0 bits 2-3, bits 2-4 from ext byte 17 bits 0-2
    ChPowerSave,
    ChAutoChScan,
    ChCompander,
    ChExtSetting12,
    ChExtOptions17, // ext byte 17 bits 3-7
    ChModeGroup,    // ext byte 18 bits 0-1
    ChExtOptions18, // ext byte 18 bits 2-7
    ChTot,
    ChExtSetting20,
    ChTgList,
    ChIndList,
    ChDigitalMarker,
    ChDigital, // digital settings, bytes 1-5 of the digital part
    // user characters (kind 2)
    UcDots,
    // DTMF codes (kind 3)
    DtmfName,
    DtmfDigits,
    DtmfCount,
    // scan lists (kind 4)
    ScanName,
    ScanMode,
    ScanPowerSave,
    ScanPrio2InUse,
    ScanTalkBack,
    ScanTxAction,
    ScanCancelCh,
    ScanDispText,
    ScanTxMode,
    ScanPrio1Mode,
    ScanPrio2Mode,
    ScanTxCh,
    ScanPrio1Ch,
    ScanPrio2Ch,
    // tone entries (kind 5)
    ToneRx,
    ToneTx,
    ToneSel,
    // five-tone receive codes (kind 6)
    RxcCode,
    RxcMask,
    RxcText,
    RxcIdDec,
    RxcBell,
    RxcEmerCancel,
    RxcAbc,
    RxcExo,
    RxcBeep,
    RxcAutoTx,
    RxcAud,
    RxcStun,
    RxcScan,
    RxcSFunc,
    // five-tone transmit codes (kind 7)
    TxcCode,
    TxcUpdate,
    TxcAbcDec,
    TxcAbcAud,
    TxcSel,
    TxcInputDigit,
    TxcText,
    // user tones (kind 8)
    UtEncode,
    UtLength,
    UtAuto,
    UtDecLow,
    UtDecHigh,
    // two-tone codes (kind 9): the two tone frequencies and their decode windows, in hertz
    TtEdge1,
    TtEdge2,
    TtLow1,
    TtHigh1,
    TtLow2,
    TtHigh2,
    // two-tone codes, decode options
    TtGroupCall,
    TtBell,
    TtAns,
    TtExo,
    TtBeep,
    TtAutoTx,
    TtStun,
    TtScan,
    TtSFunc,
    TtCodeType,
    // two-tone transmit settings (kind 10)
    TtxFreq1,
    TtxPeriod1,
    TtxFreq2,
    TtxPeriod2,
    TtxText,
    // banks (kind 11)
    BankName,
    // MSK ID groups (kind 12)
    MskGrpAddress,
    MskGrpText,
    MskGrpAlert,
    MskGrpSFunc,
    MskGrpBell,
    MskGrpHasText,
    // MSK call list (kind 13)
    MskCallAddress,
    MskCallText,
    MskCallUpdate,
    MskCallDigits,
    MskCallSel,
    MskCallHasText,
    // MSK status messages (kind 14)
    MskStRxText,
    MskStBeep,
    MskStHorn,
    MskStSFunc,
    MskStAuto,
    MskStTxText,
    MskStPriority,
    MskStSelection,
    // MSK short texts (kind 15)
    MskShortText,
    MskShortSel,
    // individual IDs (kind 16), talk groups (kind 17)
    IndId,
    IndName,
    TgId,
    TgName,
    // NAC channels (kind 18)
    NacRx,
    NacTx,
    NacSel,
    // digital status messages (kind 19)
    DstRxText,
    DstBeep,
    DstRx,
    DstAction,
    DstAux,
    DstTxText,
    DstSelection,
    // encryption keys (kind 20)
    EncKey,
    // short data messages (kind 21)
    SdmText,
    SdmSel,
    // repeaters (kind 22) with their site record and site text
    RptRxFreq,
    RptTxFreq,
    RptRxData,
    RptTxData,
    RptNarrow,
    RptPower,
    RptPhone,
    RptSiteArea,
    RptSiteHome,
    RptSiteText,
    // DTMF receive entries (kind 23)
    DrxText,
    DrxDigits,
    DrxCount,
    DrxIdDec,
    DrxBell,
    DrxEmerCancel,
    DrxAbc,
    DrxExo,
    DrxBeep,
    DrxAutoTx,
    DrxAud,
    DrxStun,
    DrxScan,
    DrxSFunc,
    DrxAction,
    DrxAck,
    // MDC aliases (kind 24)
    MdcId,
    MdcText,
    MdcBeepType,
    MdcStrip,
    // channel switch table (kind 25)
    ChSwMove,
    // multi tables (kind 26), 16 entries each
    MtBlockNo,
    MtType,
    MtDecode,
    MtEncode,
    Count_
};

inline constexpr int datFieldCount = static_cast<int>(datField::Count_);

// How a part's record i is found.
enum class datPartForm : std::uint8_t {
    Bytes,     // `size` bytes at base + stride * i
    Bit,       // bit (7 - i mod 8) of the byte at base + i / 8; held as one byte 0 or 1
    BitColumn, // for each of `size` lists, bit (7 - i mod 8) of base + stride * list + i / 8
};

// Which number selects a part's record: the record's own index, or the site it belongs to.
enum class datPartIndex : std::uint8_t { Record, Site };

struct datPartDef {
    int kind = 0;
    int part = 0; // position in the record, from 0
    datPartForm form = datPartForm::Bytes;
    int base = 0;
    int stride = 0;
    int size = 0;  // bytes of a Bytes record; lists of a BitColumn; 1 for a Bit
    int slots = 0; // records the place holds
    datPartIndex by = datPartIndex::Record;
    // A byte of the part that only the status bits write (-1: none): moving a record never
    // carries an old copy of it along.
    int statusByte = -1;
    int ptblId = 0; // the table whose static place holds the part
};

// How a field's bits are put together.
enum class datCompose : std::uint8_t {
    Bits,    // an unsigned value of one or two pieces, the first piece the low bits
    Text,    // `nBytes` characters of the radio's character set
    Bytes,   // `nBytes` uninterpreted bytes (bit matrices, settings named by position)
    Nibbles, // 2 * `nBytes` digits, one nibble each, the first in the high nibble
    Bcd4,    // four decimal digits in two bytes; a nibble above 9 reads as 65535
};

// What reading a field does besides taking its bits.
enum class datReadRule : std::uint8_t {
    None,
    ClampFrequency, // limited to 0 .. 799,999,950 hertz
    ZeroReadsAs3,   // a stored 0 reads as 3
    Inverted,       // a set bit means off: reads 0, a clear bit reads 1
};

// Bits of a field in a part: nBytes bytes from `byte` on read as one big-endian number,
// bits bitLow to bitLow + width - 1 of it.
struct datPiece {
    int byte = 0;
    int nBytes = 0;
    int bitLow = 0;
    int width = 0;
};

struct datFieldDef {
    datField field{};
    int kind = 0;
    int part = 0;
    datCompose compose = datCompose::Bits;
    datPiece lo; // Bits: the low piece; other forms: first byte and byte count
    datPiece hi; // Bits: the high piece, width 0 when there is none
    datReadRule rule = datReadRule::None;
    int entries = 1; // repeated fields: how many entries the record holds
    int entryStride = 0;

    [[nodiscard]] int Width() const { return lo.width + hi.width; }
};

// Largest part of any record, in bytes, and most parts of one record.
inline constexpr int datMaxPartBytes = 96;
inline constexpr int datMaxParts = 4;

// The parts of a kind's record, in part order (empty for kind 0 and non-kinds).
[[nodiscard]] std::span<const datPartDef> datPartsOf(int kind);
// The row of a field. Every datField has exactly one row.
[[nodiscard]] const datFieldDef& datFieldOf(datField field);
// The fields of a kind, in table order.
[[nodiscard]] std::vector<const datFieldDef*> datFieldsOf(int kind);
// Number of records the kind's places hold (the slots of its first part).
[[nodiscard]] int datSlotsOf(int kind);

// Bits the encoder derives from other fields instead of keeping them (one row per byte),
// so that a round trip of arbitrary bytes leaves every other bit as it was.
struct datDerivedBits {
    int kind = 0;
    int part = 0;
    int byte = 0;
    std::uint8_t mask = 0;
};
[[nodiscard]] std::span<const datDerivedBits> datDerivedBitsList();

// Problems of the layout, one text each; empty when sound: rows out of order, a part outside
// the image or outside its table's static place, a field outside its part, two fields of a
// kind sharing a bit, a kind without parts, fewer slots than the kind's range.
[[nodiscard]] std::vector<std::string> datLayoutProblems();
// The start-up self check: the first problem is a fatal stop.
void datSelfCheckLayout();
