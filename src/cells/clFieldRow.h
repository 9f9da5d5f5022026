#pragma once
// The record fields the cells show and edit, as rows of data: one row per logic that binds
// a cell to a field of a record (or to some bits of one) through a value codec, with the
// list or range the codec takes and the conditions under which the field applies. One
// generic logic (clFieldLogic) runs every row; the logics that need more than a codec call
// (frequencies, tones, marks, blank-row adds, reference fields) have handlers of their own
// in the family files and use the helpers declared here.
//
// A row names a field of the record layout (datRecordLayout.h) and optionally a part of
// it: `width` bits from bit `shift` of the field's value, or, for a field of uninterpreted
// bytes, of its byte `byte`. Writing a part replaces only its own bits, so the fields that
// share bytes stay independent and every other byte of the record is written back as it
// was read.
#include "cells/clLogic.h"
#include "cells/clRun.h"
#include "cells/cmcCodecs.h"
#include "cells/datRecordLayout.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class datCh;

enum class clFieldCodec : std::uint8_t {
    Choice,       // editChoice on list
    MarkedChoice, // editMarkedChoice on list
    TypedChoice,  // editTypedChoice on list (a typed number picks the nearest label)
    Number,       // the clamping editNumber over lo..hi, shown as stored + offset
    PaddedNumber, // the padded editNumber over lo..hi, at least `digits` wide
    HexNumber,    // editHexNumber over lo..hi with `digits` digits
    Text,         // editText on the field's bytes, blank padded
    FlagString,   // editFlagString over positions lo..hi, label style `digits`
    Show,         // the number as stored plus offset, not editable
};

// What a channel must be for a channel field to apply to it (other kinds: Always).
enum class clWhen : std::uint8_t {
    Always,
    Analog,  // the channel has an analog part (its type is not digital only)
    Digital, // the channel has a digital part (its type is not analog)
    Mixed,   // mixed channels only (types 1 and 2)
};

// The bank type a channel field belongs to.
enum class clBankUse : std::uint8_t {
    Any,
    Conventional, // the bank's second flag is clear (frequencies, tones, lockout, ...)
    Trunked,      // the bank's second flag is set (the trunked-group fields)
};

struct clFieldRow {
    clLogic logic{};
    datField field{};
    clFieldCodec codec = clFieldCodec::Choice;
    const char* list = nullptr;
    int lo = 0;
    int hi = 0;
    int digits = 0;
    int offset = 0;
    int byte = 0;  // the byte of a field of uninterpreted bytes
    int shift = 0; // the part: width bits from shift; width 0 is the whole field
    int width = 0;
    clWhen when = clWhen::Always;
    clBankUse bank = clBankUse::Any;
    int repaint = 0;     // result flags a change adds (cells that show this value differently)
    int zeroReadsAs = 0; // a stored 0 reads as this value (0: no such rule)

    // --- builders, so a row reads like the layout: clRow(L, F).Bits(4, 2).Choice("...") ---
    constexpr clFieldRow Choice(const char* l) const { return with(clFieldCodec::Choice, l); }
    constexpr clFieldRow Marked(const char* l) const { return with(clFieldCodec::MarkedChoice, l); }
    constexpr clFieldRow Typed(const char* l) const { return with(clFieldCodec::TypedChoice, l); }
    constexpr clFieldRow Number(int low, int high, int shownOffset = 0) const
    {
        clFieldRow r = with(clFieldCodec::Number, nullptr);
        r.lo = low;
        r.hi = high;
        r.offset = shownOffset;
        return r;
    }
    constexpr clFieldRow Padded(int low, int high, int width4) const
    {
        clFieldRow r = with(clFieldCodec::PaddedNumber, nullptr);
        r.lo = low;
        r.hi = high;
        r.digits = width4;
        return r;
    }
    constexpr clFieldRow Hex(int low, int high, int n) const
    {
        clFieldRow r = with(clFieldCodec::HexNumber, nullptr);
        r.lo = low;
        r.hi = high;
        r.digits = n;
        return r;
    }
    constexpr clFieldRow Text() const { return with(clFieldCodec::Text, nullptr); }
    constexpr clFieldRow Flags(int first, int last, int labelStyle) const
    {
        clFieldRow r = with(clFieldCodec::FlagString, nullptr);
        r.lo = first;
        r.hi = last;
        r.digits = labelStyle;
        return r;
    }
    constexpr clFieldRow Show(int shownOffset = 0) const
    {
        clFieldRow r = with(clFieldCodec::Show, nullptr);
        r.offset = shownOffset;
        return r;
    }
    constexpr clFieldRow Bits(int from, int n) const
    {
        clFieldRow r = *this;
        r.shift = from;
        r.width = n;
        return r;
    }
    constexpr clFieldRow Byte(int b, int from = 0, int n = 8) const
    {
        clFieldRow r = Bits(from, n);
        r.byte = b;
        return r;
    }
    constexpr clFieldRow When(clWhen w) const
    {
        clFieldRow r = *this;
        r.when = w;
        return r;
    }
    constexpr clFieldRow Bank(clBankUse b) const
    {
        clFieldRow r = *this;
        r.bank = b;
        return r;
    }
    constexpr clFieldRow ZeroReadsAs(int v) const
    {
        clFieldRow r = *this;
        r.zeroReadsAs = v;
        return r;
    }
    constexpr clFieldRow Repaint(int flags) const
    {
        clFieldRow r = *this;
        r.repaint = flags;
        return r;
    }

private:
    constexpr clFieldRow with(clFieldCodec c, const char* l) const
    {
        clFieldRow r = *this;
        r.codec = c;
        r.list = l;
        return r;
    }
};

constexpr clFieldRow clRow(clLogic logic, datField field)
{
    clFieldRow r;
    r.logic = logic;
    r.field = field;
    return r;
}

// The rows of the families (each family file defines its own).
std::span<const clFieldRow> clChannelFieldRows();
std::span<const clFieldRow> clRecordFieldRows();
// The row of a logic, from every family; null when none has one.
[[nodiscard]] const clFieldRow* clFieldRowOf(int logic);
// Bindings (logic, clFieldLogic) for rows.
[[nodiscard]] std::vector<clBinding> clBindingsOf(std::span<const clFieldRow> rows);

// The handler of every logic that has a row.
void clFieldLogic(clRun& run);
// Runs one row on the cell of run.
void clRunFieldRow(clRun& run, const clFieldRow& row);

// --- helpers of the record logics ---

// The value of the row's field (its part) in record, and writing it back.
[[nodiscard]] std::uint32_t clReadField(const datCh& record, const clFieldRow& row);
void clWriteField(datCh& record, const clFieldRow& row, std::uint32_t value);
// Makes run.record hold the cell's record of kind: a cell of another category (a title
// cell, a check) addresses record arg itself. False when arg names no record of kind.
bool clEnsureRecord(clRun& run, int kind);
// A field that does not apply: "----", centred both ways, grey; events are ignored.
void clShowNotApplicable(clRun& run);
// The logics of features this family does not have (the LTR system settings, the channel
// settings of the data-signalling and P25 systems, ...): "----" in grey, no events.
void clNotInFamily(clRun& run);
// The channel's type (0 analog, 1 and 2 mixed, 3 digital only) and bank type.
[[nodiscard]] int clChannelType(const datCh& channel);
[[nodiscard]] bool clTrunkedBank(const datCh& channel);
[[nodiscard]] bool clApplies(const datCh& channel, clWhen when, clBankUse bank);
// Whether the event of the capsule adds a record on a blank row: a digit, '.', blank,
// backspace or Enter.
[[nodiscard]] bool clIsAddKey(const cmcCellCapsule& capsule);
// Runs draw (a callable taking a cmcCodecContext) on a copy of the capsule without an event
// and takes its display text: the cell shows a value the logic stored in place of the one
// the codec chose.
template <class Draw> void clRedrawWith(clRun& run, Draw draw)
{
    cmcCellCapsule copy = run.capsule;
    copy.eventSource = nullptr;
    copy.source = nullptr;
    copy.key = 0;
    copy.op = cmcCellCapsule::OpKeyOrDraw;
    copy.command = 0;
    int result = 0;
    draw(cmcCodecContext{copy, run.host, result});
    run.capsule.output = copy.output;
    run.capsule.selStart = copy.selStart;
    run.capsule.selLength = copy.selLength;
}
// Sets the error bit when a choice codec showed "error" (a value no list item stands for).
void clMarkListError(clRun& run);
// Shows GI_AppMess_ChErr_Overflow, captioned GI_Sys_AppTitle.
void clShowOverflow();
// The foreign-source rule of the choice codecs for a record kind: repeater cells run in the
// repeater window with its opening cell as source and treat it as absent.
[[nodiscard]] cmcForeignSource clForeignRule(int kind);
