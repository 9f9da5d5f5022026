#pragma once
// The settings map: every setting at a fixed place of the working image (cells of record kind
// 0), one row each, with the bits that hold its value, how the value is composed, and the
// value codec with its list, range and unit. One generic logic (clSettingsLogics.cpp) runs
// every row; the start-up self check, the default image and the round-trip tests walk the
// same rows.
//
// A value is made of up to three parts, each `bytes` bytes from its place read as one
// big-endian number and bits lo..lo+width-1 of it: value = sum of part x weight, divided by
// `divisor`. Writing splits the value again (largest weight first) and replaces only each
// part's own bits, so settings that share a byte stay independent.
#include "cells/clLogic.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class cmcEeprom;

// How the cell's argument n moves the place.
enum class datSetArray : std::uint8_t {
    None,    // the place itself
    Stride,  // place + stride x n: one element of an array of records
    MdcFlag, // place + 208 x (n div 16) + (n mod 16): the flag byte of entry n mod 16 of record
             // n div 16 (the last 16 bytes of each 208-byte MDC status or message record)
};

enum class datSetCodec : std::uint8_t {
    Choice,       // editChoice on list
    MarkedChoice, // editMarkedChoice on list
    TypedChoice,  // editChoice, a typed number choosing the item with the nearest label
    Number,       // the clamping editNumber over lo..hi, step `step`
    PaddedNumber, // the padded editNumber over lo..hi, `digits` wide (0: not padded); refuses
                  // a number outside the range
    Fixed,        // editFixed: the value counts 10^-decimals of the unit, `shown` decimals
    Seconds,      // editSeconds: `unit` stored units per second
    MinSec,       // editMinSec: `unit` seconds per stored unit, lo..hi in stored units
    Text,         // editText on `length` bytes, blank padded
    Ascii,        // editAscii on `length` bytes, blank padded, non-printable bytes as blanks
    AsciiLower,   // editAscii on `length` bytes, NUL padded, letters lower-cased
    CwText,       // Ascii, then upper-cased and kept to the characters Morse code sends
    Digits,       // editNibbleCode with `digits` decimal digits
    HexDigits,    // editNibbleCode with `digits` hexadecimal digits
    FlagString,   // editFlagString over positions lo..hi
    HexDigit,     // editHexDigit, 0..hi (hi 15 admits F)
    Tone,         // editTone on a two-byte tone field
    IdEntry,      // an entry of the individual-ID list (from 0), chosen in the model popup
};

// When the cell is drawn grey (the value stays editable).
enum class datSetGrey : std::uint8_t {
    Never,
    BitClear,  // while bit `greyBit` of the byte at greyPlace is clear
    TextBlank, // while the greyBit bytes from greyPlace are all blanks or NULs
};

struct datSetPart {
    int place = 0; // image address of the first byte (before the array step)
    std::uint8_t bytes = 0;
    std::uint8_t lo = 0;
    std::uint8_t width = 0;
    int weight = 1;

    [[nodiscard]] constexpr std::uint32_t Mask() const
    {
        return width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
    }
};

inline constexpr int datSetMaxParts = 3;

// One row of the map. Built with the constexpr helpers below, so a row reads like the map:
//   datSet(clLogic::CL_SetM_BeepOn, 0x107AE).Bit(7).Choice("GI_Sheet_Sel_Misc_OnOff")
struct datSettingDef {
    clLogic logic{};
    clLogic logic2 = clLogic::Count_; // a second logic sharing the row, Count_ for none
    const char* list = nullptr;
    const char* list2 = nullptr; // the list the second logic shows, when it differs
    datSetArray array = datSetArray::None;
    int stride = 0;
    std::array<datSetPart, datSetMaxParts> parts{};
    int nParts = 0;
    int length = 0;        // text and digit fields: bytes from the place on
    bool isSigned = false; // the single part is two's complement
    int divisor = 1;       // value = parts / divisor; stored = value x divisor
    int zeroReadsAs = 0;   // a stored 0 reads as this value (0: no such rule)
    datSetCodec codec = datSetCodec::Number;
    int lo = 0; // range of the value as the codec sees it
    int hi = 0;
    int step = 1;
    int decimals = 0; // Fixed: the value counts 10^-decimals of the unit
    int shown = 0;    // Fixed: decimals shown
    int digits = 0;   // PaddedNumber, Digits, HexDigits
    double unit = 1;  // Seconds: stored units per second; MinSec: seconds per unit
    bool zeroIsOff = false;
    bool clampFirst = false; // Number: a stored value outside the range is clamped first
    datSetGrey grey = datSetGrey::Never;
    int greyPlace = 0;
    int greyBit = 0;            // BitClear: the bit; TextBlank: the number of bytes
    int loAbovePlace = 0;       // lo is at least the be16 at this place plus one (0: fixed lo)
    int hiBelowPlace = 0;       // hi is at most the be16 at this place minus one (0: fixed hi)
    bool repaintAll = false;    // every run repaints every cell (others are drawn from this one)
    bool affectsOthers = false; // a change repaints every cell
    // A second copy of a one-part field that the save step folds back over this place: every
    // write goes to both, so an edit is not undone by the older copy at the next save.
    int mirrorPlace = 0;

    // --- builders: the place ---
    constexpr datSettingDef& At(clLogic l, int place)
    {
        logic = l;
        parts[0].place = place;
        return *this;
    }
    constexpr datSettingDef And(clLogic second, const char* secondList = nullptr) const
    {
        datSettingDef d = *this;
        d.logic2 = second;
        d.list2 = secondList;
        return d;
    }
    constexpr datSettingDef Array(int n) const
    {
        datSettingDef d = *this;
        d.array = datSetArray::Stride;
        d.stride = n;
        return d;
    }
    constexpr datSettingDef MdcFlags() const
    {
        datSettingDef d = *this;
        d.array = datSetArray::MdcFlag;
        return d;
    }
    // --- builders: the bits of the first part ---
    constexpr datSettingDef Field(int nBytes, int firstBit, int nBits) const
    {
        datSettingDef d = *this;
        d.parts[0].bytes = static_cast<std::uint8_t>(nBytes);
        d.parts[0].lo = static_cast<std::uint8_t>(firstBit);
        d.parts[0].width = static_cast<std::uint8_t>(nBits);
        d.nParts = 1;
        return d;
    }
    constexpr datSettingDef Bit(int k) const { return Field(1, k, 1); }
    constexpr datSettingDef Bits(int k, int l) const { return Field(1, k, l - k + 1); }
    constexpr datSettingDef Byte() const { return Field(1, 0, 8); }
    constexpr datSettingDef SignedByte() const
    {
        datSettingDef d = Field(1, 0, 8);
        d.isSigned = true;
        return d;
    }
    constexpr datSettingDef Be16() const { return Field(2, 0, 16); }
    constexpr datSettingDef Be32() const { return Field(4, 0, 32); }
    constexpr datSettingDef SignedBe32() const
    {
        datSettingDef d = Field(4, 0, 32);
        d.isSigned = true;
        return d;
    }
    // n bytes of a text or digit field (digit fields are read as one number of n bytes).
    constexpr datSettingDef Bytes(int n) const
    {
        datSettingDef d = *this;
        d.length = n;
        if (n <= 4) {
            d = d.Field(n, 0, 8 * n);
            d.length = n;
        }
        return d;
    }
    // --- builders: composition ---
    constexpr datSettingDef Weight(int w) const
    {
        datSettingDef d = *this;
        d.parts[0].weight = w;
        return d;
    }
    // A further part of the value: bits lo..lo+width-1 of the byte at place, times weight.
    constexpr datSettingDef Plus(int place, int firstBit, int nBits, int weight) const
    {
        datSettingDef d = *this;
        d.parts[static_cast<std::size_t>(d.nParts)] = {place, 1, static_cast<std::uint8_t>(firstBit),
                                                       static_cast<std::uint8_t>(nBits), weight};
        ++d.nParts;
        return d;
    }
    constexpr datSettingDef Divisor(int n) const
    {
        datSettingDef d = *this;
        d.divisor = n;
        return d;
    }
    constexpr datSettingDef ZeroReadsAs(int v) const
    {
        datSettingDef d = *this;
        d.zeroReadsAs = v;
        return d;
    }
    // --- builders: the codec ---
    constexpr datSettingDef Choice(const char* l) const { return withList(datSetCodec::Choice, l); }
    constexpr datSettingDef Marked(const char* l) const { return withList(datSetCodec::MarkedChoice, l); }
    constexpr datSettingDef Typed(const char* l) const { return withList(datSetCodec::TypedChoice, l); }
    constexpr datSettingDef UserBit(int k) const
    {
        return At2(0x10B3E + k / 8).Bit(7 - k % 8).Choice("GI_Sheet_Sel_UserSetEnable");
    }
    constexpr datSettingDef Number(int l, int h, int s = 1) const
    {
        datSettingDef d = withRange(datSetCodec::Number, l, h);
        d.step = s;
        return d;
    }
    constexpr datSettingDef Padded(int l, int h, int w) const
    {
        datSettingDef d = withRange(datSetCodec::PaddedNumber, l, h);
        d.digits = w;
        return d;
    }
    // fixed a/b lo..hi (lo, hi in shown units), step in stored units
    constexpr datSettingDef Fixed(int a, int b, double l, double h, int s = 1) const
    {
        datSettingDef d = withRange(datSetCodec::Fixed, scaled(l, a), scaled(h, a));
        d.decimals = a;
        d.shown = b;
        d.step = s;
        return d;
    }
    constexpr datSettingDef Seconds(double u, int l = 0, int h = 255) const
    {
        datSettingDef d = withRange(datSetCodec::Seconds, l, h);
        d.unit = u;
        return d;
    }
    // min:sec over lo..hi seconds in units of c seconds
    constexpr datSettingDef MinSec(int l, int h, int c) const
    {
        datSettingDef d = withRange(datSetCodec::MinSec, l / c, h / c);
        d.unit = c;
        return d;
    }
    constexpr datSettingDef Off() const
    {
        datSettingDef d = *this;
        d.zeroIsOff = true;
        return d;
    }
    constexpr datSettingDef ClampFirst() const
    {
        datSettingDef d = *this;
        d.clampFirst = true;
        return d;
    }
    constexpr datSettingDef Text() const { return withCodec(datSetCodec::Text); }
    constexpr datSettingDef Ascii() const { return withCodec(datSetCodec::Ascii); }
    constexpr datSettingDef AsciiLower() const { return withCodec(datSetCodec::AsciiLower); }
    constexpr datSettingDef CwText() const { return withCodec(datSetCodec::CwText); }
    constexpr datSettingDef Digits(int n) const
    {
        datSettingDef d = withCodec(datSetCodec::Digits);
        d.digits = n;
        return d;
    }
    constexpr datSettingDef HexDigits(int n) const
    {
        datSettingDef d = withCodec(datSetCodec::HexDigits);
        d.digits = n;
        return d;
    }
    constexpr datSettingDef FlagString(int first, int last) const
    {
        return withRange(datSetCodec::FlagString, first, last);
    }
    constexpr datSettingDef HexDigit(bool allowF = false) const
    {
        return withRange(datSetCodec::HexDigit, 0, allowF ? 15 : 14);
    }
    constexpr datSettingDef Tone() const { return withCodec(datSetCodec::Tone); }
    constexpr datSettingDef IdEntry() const { return withRange(datSetCodec::IdEntry, 0, 499); }
    // --- builders: grey condition, dependent ranges, repainting ---
    constexpr datSettingDef GreyUnless(int place, int bit) const
    {
        datSettingDef d = *this;
        d.grey = datSetGrey::BitClear;
        d.greyPlace = place;
        d.greyBit = bit;
        return d;
    }
    constexpr datSettingDef GreyWhileBlank(int place, int n) const
    {
        datSettingDef d = *this;
        d.grey = datSetGrey::TextBlank;
        d.greyPlace = place;
        d.greyBit = n;
        return d;
    }
    constexpr datSettingDef LoAbove(int place) const
    {
        datSettingDef d = *this;
        d.loAbovePlace = place;
        return d;
    }
    constexpr datSettingDef HiBelow(int place) const
    {
        datSettingDef d = *this;
        d.hiBelowPlace = place;
        return d;
    }
    constexpr datSettingDef AlsoAt(int place) const
    {
        datSettingDef d = *this;
        d.mirrorPlace = place;
        return d;
    }
    constexpr datSettingDef RepaintAll() const
    {
        datSettingDef d = *this;
        d.repaintAll = true;
        return d;
    }
    constexpr datSettingDef AffectsOthers() const
    {
        datSettingDef d = *this;
        d.affectsOthers = true;
        return d;
    }

    [[nodiscard]] constexpr bool IsList() const
    {
        return codec == datSetCodec::Choice || codec == datSetCodec::MarkedChoice ||
               codec == datSetCodec::TypedChoice;
    }
    [[nodiscard]] constexpr bool IsText() const
    {
        return codec == datSetCodec::Text || codec == datSetCodec::Ascii ||
               codec == datSetCodec::AsciiLower || codec == datSetCodec::CwText;
    }
    [[nodiscard]] constexpr bool Binds(clLogic l) const { return l == logic || l == logic2; }
    // The list the logic shows (the second logic may have its own).
    [[nodiscard]] constexpr const char* ListOf(clLogic l) const
    {
        return (l == logic2 && list2 != nullptr) ? list2 : list;
    }

private:
    constexpr datSettingDef At2(int place) const
    {
        datSettingDef d = *this;
        d.parts[0].place = place;
        return d;
    }
    constexpr datSettingDef withCodec(datSetCodec c) const
    {
        datSettingDef d = *this;
        d.codec = c;
        return d;
    }
    constexpr datSettingDef withList(datSetCodec c, const char* l) const
    {
        datSettingDef d = withCodec(c);
        d.list = l;
        return d;
    }
    constexpr datSettingDef withRange(datSetCodec c, int l, int h) const
    {
        datSettingDef d = withCodec(c);
        d.lo = l;
        d.hi = h;
        return d;
    }
    static constexpr int scaled(double v, int a)
    {
        double p = 1;
        for (int i = 0; i < a; ++i)
            p *= 10;
        const double x = v * p;
        return static_cast<int>(x < 0 ? x - 0.5 : x + 0.5);
    }
};

// A row's start: the logic and the place of its first byte.
[[nodiscard]] constexpr datSettingDef datSet(clLogic logic, int place)
{
    datSettingDef d;
    d.At(logic, place);
    return d;
}

// The map, in its order: the rows of the settings pages, then the kind-0 logics whose
// places the program chose.
[[nodiscard]] std::span<const datSettingDef> datSettingsMap();
// The row that binds a logic, or null.
[[nodiscard]] const datSettingDef* datFindSetting(int logic);

// The number of elements the cell argument may select: 1 for a single place, 5 for the
// five-record MDC tables, 80 for the MDC flag bytes (5 records of 16 entries).
[[nodiscard]] int datSettingElements(const datSettingDef& row);
// The image address of part p for argument n.
[[nodiscard]] int datSettingPlace(const datSettingDef& row, int part, int n);
// The value of a composed setting as the codec sees it (texts: not a value, 0).
[[nodiscard]] std::int64_t datReadSetting(const cmcEeprom& image, const datSettingDef& row, int n);
// Writes a value back: each part's own bits, every other bit kept.
void datWriteSetting(cmcEeprom& image, const datSettingDef& row, int n, std::int64_t value);
// The range the codec offers now (the block-decode limits follow each other).
struct datSetRange {
    int lo = 0;
    int hi = 0;
};
[[nodiscard]] datSetRange datSettingRange(const cmcEeprom& image, const datSettingDef& row);
// Whether the cell is drawn grey now.
[[nodiscard]] bool datSettingGrey(const cmcEeprom& image, const datSettingDef& row);

// The bytes a setting occupies for argument n, each with the mask of its bits (text and
// digit fields: every bit of their bytes).
struct datSetByte {
    int address = 0;
    std::uint8_t mask = 0;
};
[[nodiscard]] std::vector<datSetByte> datSettingBytes(const datSettingDef& row, int n);

// Problems of a map, one text each; empty when sound: a logic bound twice, fields of one
// row that overlap, a place outside the image or outside every table the memory map saves,
// a choice without a list, an empty range.
[[nodiscard]] std::vector<std::string> datSettingsMapProblems(std::span<const datSettingDef> rows);
// The start-up self check of the program's map: the first problem is a fatal stop.
void datSelfCheckSettingsMap();

// The family tables the map is joined from (datSettingsRows*.cpp), in map order.
std::span<const datSettingDef> datSettingRowsRadio();
std::span<const datSettingDef> datSettingRowsCommon();
std::span<const datSettingDef> datSettingRowsMaker();
