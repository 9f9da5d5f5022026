#pragma once
// The value codecs: each turns one stored value into a cell's display text and turns the
// cell's editing events back into a new value. Every logic ends in one codec call.
//
// Calling convention, shared by all codecs:
// - The value is passed by reference in its storage form. A codec returns true when the
//   value changed (a choice was made, a typed text was accepted, a key stepped it); the
//   caller then stores it. editKeyFunction and editScanChannel write the image themselves
//   (their values span several places); they say so below.
// - The codec always sets capsule.output and, unless it asks for the in-place editor,
//   selStart 0 and selLength the length of output.
// - Events: without an event source (drawing, evaluation) only output, colours and the
//   alignment are produced. op 1 parses capsule.input (a text from the in-place editor or a
//   text popup). op 2 takes a popup's choice from capsule.source, whose cell carries the
//   codec's Flex code and the chosen value in its arg. Keys: space and backspace step
//   selection and numeric values (wrapping past either end) and act as Enter for text-like
//   values; Enter (and the double click, 256) opens the selection popup (return code 1) or
//   the in-place editor on the current text, all selected (return code 2); a character that
//   can begin a value opens the editor on that character alone, caret after it; any other
//   key is ignored.
// - Return codes go to context.result (cmcRunResult). Popups are asked for through
//   context.host; their result arrives as a later run with op 2.
// - A typed text that the codec refuses (off the channel raster, outside the coverage or a
//   range that does not clamp, not a tone, not a number) shows one message box
//   (GI_AppMess_ValueErr_* or GI_AppMess_FreqErr_*, captioned GI_Sys_AppTitle) and changes
//   nothing. An empty text changes a number, frequency or tone silently not at all; texts
//   and digit codes take it as an empty value.
// - Colours: capsule.fontColour is set for olive (blank) values; alignment through the
//   cell's layout bits. Grey "----" for fields that do not apply is the caller's business.
// Selection lists are read through SelectionLabels() (cmcFCache.h).
#include "cells/clRun.h"
#include "cells/datTone.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

class cmcEeprom;

// ---------------------------------------------------------------------------------------
// Selection lists

// How a choice codec treats a source capsule that is not a result of its own list (a cell
// of a sheet opened from another cell runs with that cell as its source).
enum class cmcForeignSource {
    Blank,  // the plain form: such a run produces nothing (empty output, no change)
    Absent, // the repeater form: behaves as without a source
};

// The item of value in list (Flex0 items): label, space/backspace step in the popup's
// column order (a value no item has steps to the first item), Enter opens the selection
// popup. A value no item has shows "error".
bool editChoice(const cmcCodecContext& c, int& value, const std::string& list,
                cmcForeignSource foreign = cmcForeignSource::Blank);
// The same on the marked items (FlexMark) of list.
bool editMarkedChoice(const cmcCodecContext& c, int& value, const std::string& list,
                      cmcForeignSource foreign = cmcForeignSource::Blank);
// The same on the items of any Flex code.
bool editFlexChoice(const cmcCodecContext& c, int& value, const std::string& list, int flexCode,
                    cmcForeignSource foreign = cmcForeignSource::Blank);
// A large list: Enter opens the model selection popup (a model sheet named list) with a
// title; its result carries flexCode. The cell shows shown when given (the caller knows
// the entry's name), else the label of the list's flexCode item; space and backspace step
// through those items when the list has any.
bool editLargeChoice(const cmcCodecContext& c, int& value, const std::string& list, int flexCode,
                     const std::string& title, const std::optional<std::string>& shown = std::nullopt);
// The typed-number form: as editChoice, and a digit, 'o' or 'O' starts the editor (at most
// 10 characters); a committed text chooses the item whose label, read as a decimal number,
// lies nearest to the typed number (the first such item on a tie); a text of more than one
// character beginning with "of" (any case) reads as 0.
bool editTypedChoice(const cmcCodecContext& c, int& value, const std::string& list);
// The label form: as editChoice, any printable character but the blank starts the editor,
// and a committed text chooses the first item (in the popup's order) whose label begins
// with it, compared in upper case.
bool editLabelChoice(const cmcCodecContext& c, int& value, const std::string& list);

// ---------------------------------------------------------------------------------------
// Frequencies and tones

inline constexpr std::uint32_t cmcMaxTypedFrequency = 799'999'999;
inline constexpr std::uint32_t cmcMaxFrequency = 799'999'950;

// The two frequencies of a record and whether it is in use.
struct cmcFrequencyPair {
    std::uint32_t rx = 0;
    std::uint32_t tx = 0;
    bool txOff = false; // transmitting is off: the transmit side counts as blank
    bool inUse = false; // receive 0 (typed) marks the record unused
};
enum class cmcSide { Receive, Transmit };

// One side of the pair. Typed megahertz are snapped to the channel raster and checked
// against the coverage table GI_Sys_FCL. A receive edit takes the transmit frequency along
// while the two were equal; a first receive frequency of an unused record also sets the
// transmit frequency, plus duplexOffset (minus 2 MHz at or above 470 MHz) when not 0. The
// cell is right-aligned, "%d.%06d"; a transmit cell equal to the receive side shows "<-",
// centred; a blank value is drawn in olive; a receive frequency in a refused coverage range
// sets the error bit.
bool editFrequency(const cmcCodecContext& c, cmcFrequencyPair& f, cmcSide side,
                   std::uint32_t duplexOffset = 0);

// "%d.%06d" megahertz.
[[nodiscard]] std::string cmcFrequencyText(std::uint32_t hz);
// Typed hertz snapped to the raster of 2500 and 3125 Hz within the typed precision; none
// when no raster frequency lies in reach.
[[nodiscard]] std::optional<std::uint32_t> cmcSnapToRaster(std::uint32_t hz);
// Whether the coverage table refuses hz (the first range holding it has class '1').
[[nodiscard]] bool cmcFrequencyRefused(std::uint32_t hz);

// The tone list's values besides the tone indexes.
inline constexpr int cmcToneOffValue = 52;
inline constexpr int cmcToneDtcsValue = 53;
inline constexpr int cmcDefaultDtcsCode = 023; // octal, the first standard code

// A tone field alone (no pair to follow). Right-aligned; list "GI_Sheet_Sel_Mch_CTone"
// with the value 52 (off), 53 (DTCS) or the tone index; a DTCS tone shows "%d%d%d%c" with
// 'N' or 'i', and space/backspace toggle its inversion. Typed: three octal digits with an
// optional 'N' or 'I', or the beginning of a tone name of GI_AppItem_Ctcss.
bool editTone(const cmcCodecContext& c, datTone& tone);
// Receive and transmit tones of a record: a receive change takes the transmit tone along
// while the two were equal; a transmit cell whose tone is on and equals the receive tone
// shows "<-", centred.
struct cmcTonePair {
    datTone rx;
    datTone tx;
};
bool editTone(const cmcCodecContext& c, cmcTonePair& tones, cmcSide side);

// "%d%d%d%c": the three octal digits of the code and 'i' (inverted) or 'N'.
[[nodiscard]] std::string cmcDtcsText(const datTone& tone);
// The tone list value of a field: 52 off, 53 DTCS, else the tone index.
[[nodiscard]] int cmcToneListValue(const datTone& tone);
// Whether two tone fields mean the same tone (both off, the same CTCSS tone, or the same
// DTCS code and polarity).
[[nodiscard]] bool cmcSameTone(const datTone& a, const datTone& b);
// The tone index a typed name selects (GI_AppItem_Ctcss); none when no name or, for a
// one-character text, more than one name matches.
[[nodiscard]] std::optional<int> cmcToneIndexOfName(std::string_view text);

// ---------------------------------------------------------------------------------------
// Numbers

// The clamping form: typed numbers (offset subtracted, rounded to the step) are clamped
// into lowest..highest; space/backspace step with wrap (or stop, saturating).
struct cmcNumberForm {
    int lowest = 0;
    int highest = 0;
    int offset = 0; // shown = stored + offset
    int step = 1;
    const char* fixedText = nullptr; // shown instead of the number when given
    bool clampBeforeDisplay = false; // a stored value outside the range is clamped (a change)
    bool saturate = false;           // stepping stops at the ends instead of wrapping
};
bool editNumber(const cmcCodecContext& c, int& value, const cmcNumberForm& form);
// The padded form: "%d" left-padded with '0' to minWidth; a typed number outside
// lowest..highest is refused.
bool editPaddedNumber(const cmcCodecContext& c, int& value, int minWidth, int lowest, int highest,
                      bool noPadding = false);
// Hexadecimal with a fixed number of digits; typed hexadecimal is clamped into the range.
bool editHexNumber(const cmcCodecContext& c, int& value, int lowest, int highest, int digits);
// One hexadecimal digit, 0 to 14 (or 15 when allowF).
bool editHexDigit(const cmcCodecContext& c, int& value, bool allowF);
// n nibbles packed in value, the first digit in the most significant nibble.
bool editNibbleCode(const cmcCodecContext& c, std::uint32_t& value, int digits, bool hexAllowed);

// A fixed-point value: the stored integer counts units of 10^-scale of the shown unit.
struct cmcFixedForm {
    int scale = 0;     // a: stored units per shown unit = 10^a
    int decimals = 0;  // b: decimals shown
    double lowest = 0; // range in shown units
    double highest = 0;
    int step = 1;         // e, in stored units
    int trim = 0;         // f: trailing zeros removed from the display (and then a bare '.')
    bool stepping = true; // space/backspace step by e; otherwise space opens the editor
    bool clearOnEnter = false;
};
bool editFixed(const cmcCodecContext& c, int& value, const cmcFixedForm& form);

// ---------------------------------------------------------------------------------------
// Timers

// A value counting 1/unitsPerSecond seconds, shown "%3d.%03d" seconds (trailing zeros and
// a bare '.' trimmed, at most trim characters of zeros); with zeroIsOff a stored 0 is drawn
// as GI_AppInd_TimerOff. "of"/"off" typed sets 0. The byte form is lowest 0, highest 255.
struct cmcSecondsForm {
    double unitsPerSecond = 1;
    int lowest = 0;
    int highest = 255;
    bool zeroIsOff = false;
    int trim = 3;
};
bool editSeconds(const cmcCodecContext& c, int& value, const cmcSecondsForm& form);
// A value counting units of unitSeconds seconds, shown "%2d:%02d" (minutes:seconds); the
// range is in seconds. zeroIsOff as for editSeconds.
bool editMinSec(const cmcCodecContext& c, int& value, int unitSeconds, int lowestSeconds, int highestSeconds,
                bool zeroIsOff = false);

// ---------------------------------------------------------------------------------------
// Texts

// n bytes of the radio's character set (32-126 ASCII, 16-31 and 127-255 radio glyphs),
// blank padded or NUL terminated. Edited in the text popup on the escaped text ('%' as
// "%%", glyph codes as '%' and two hexadecimal digits); while bit 2 of 0x10B50 is clear only
// 12 characters are shown and accepted. output holds the escaped text up to the first
// code below 16, trailing blanks removed: what the glyph painter draws.
bool editText(const cmcCodecContext& c, std::string& bytes, int n, bool nulTerminated = false);
// The escaped form of stored bytes (at most 255 characters).
[[nodiscard]] std::string cmcEscapeText(std::string_view bytes);
// Stored bytes of an escaped text (at most 255 bytes, not padded).
[[nodiscard]] std::string cmcUnescapeText(std::string_view text);

enum class cmcAsciiForm {
    BlankPadded,         // non-printable bytes shown and stored as blanks, trailing blanks hidden
    NulPadded,           // blanks and non-printable bytes stored as NUL
    NulPaddedLowerCase,  // the same, letters lower-cased (passwords)
    NulPaddedKeepBlanks, // NUL padded, blanks kept, non-printable bytes stored as NUL
    CallSign,            // upper-cased, only A-Z 0-9 blank " ' ( ) * + , - . / : = ?; blank padded
};
// n printable ASCII bytes, edited in the in-place editor.
bool editAscii(const cmcCodecContext& c, std::string& bytes, int n, cmcAsciiForm form);
// n bytes, NUL padded, shown up to the first NUL.
bool editAsciiZ(const cmcCodecContext& c, std::string& bytes, int n);

// ---------------------------------------------------------------------------------------
// Digit codes

// n DTMF digits, one nibble each (the first in the high nibble of packed[0]), and their
// count: "0123456789ABCD*#".
bool editDtmf(const cmcCodecContext& c, std::span<std::uint8_t> packed, int& count, int n);
// Up to n five-tone digits ended by nibble 15, the group mask ('+' at the positions of its
// set bits, bit 7 for the first digit) and the repeat tone nibble ('*').
bool editFiveTone(const cmcCodecContext& c, std::span<std::uint8_t> packed, int n, std::uint8_t& groupMask,
                  int repeatNibble);

// ---------------------------------------------------------------------------------------
// Flags, marks, bit matrices

// Positions first..last (at most 17), position first in the most significant place of
// bits: one character per position, its label when set, "_" when clear. Label style 3:
// 1-9, then A for 10 onwards, Z for 17; other styles: 10 is "0", 17 "Z". A label's key
// toggles its position; space sets all (none set) or clears all; backspace inverts; Enter
// opens the bit-field popup, whose result carries the set as a decimal number in input.
bool editFlagString(const cmcCodecContext& c, std::uint32_t& bits, int first, int last, int labelStyle);

// A width x height dot matrix stored column by column: column x holds (height + 7) / 8
// bytes, row y is bit 7 - y % 8 of byte x * ((height + 7) / 8) + y / 8. Enter opens the
// character editor; its result is a text of '0' and '1', row by row. The cell's output is
// empty (the sheet paints the matrix).
bool editBits(const cmcCodecContext& c, std::span<std::uint8_t> dots, int width, int height);
// The dots as the character editor takes them: '0'/'1' row by row.
[[nodiscard]] std::string cmcDotsText(std::span<const std::uint8_t> dots, int width, int height);

// A channel's status bits (datCh status): "A" (bit 0), "B" (bit 1), "E" (bit 2 set, bit 3
// clear). Enter opens list; a result item 1-6 sets A, sets B, makes the channel the third
// reference in force, puts the third reference out of force, toggles bank flag 1 or 2;
// then events 41 and 37 are posted.
bool editChannelMarks(const cmcCodecContext& c, std::uint8_t& status, const std::string& list);

// ---------------------------------------------------------------------------------------
// Keys and scan channels

inline constexpr int cmcKeyNormalPlace = 0x10B75;
inline constexpr int cmcKeyShiftedPlace = 0x10B8A;
inline constexpr int cmcKeyLevelPlace = 0x10B52;        // bits 5-7: output groups 1-3, set = high
inline constexpr int cmcDigitalFunctionPlace = 0x10B4F; // bit 4: the digital functions are on
inline constexpr int cmcKeySlots = 21;
inline constexpr int cmcDialSlot = 10;
inline constexpr std::uint8_t cmcKeyShiftCode = 'c';
inline constexpr std::uint8_t cmcKeyDigitalCode = 'S';

// The key slot of a key-assignment logic (CL_KDisp_Key_Conv_ and CL_KDisp_Key_Shift_
// families; Common takes its argument as the slot); -1 for keys without a slot.
[[nodiscard]] int cmcKeySlotOf(int logic, int arg);
// Whether logic is one of the shifted key assignments (CL_KDisp_Key_Shift_).
[[nodiscard]] bool cmcKeyIsShifted(int logic);

// The function code of key slot (normal or shifted assignment) in image, edited on the
// marked list of keys (dial list for slot 10) and written to image by the codec itself:
// level functions '0'-'5' show " /H" or " /L" and, when chosen, open the level popup
// (GI_Sheet_Sel_KDisp_KeyOpt_HL, FlexKeyOpt) whose result stores the level bit (repaint
// adds cmcRepaint::All); 'S' sets the error bit while the digital functions are off; a
// shifted cell whose normal code is 'c' is olive and takes no input; storing 'c' as a
// normal code stores it as the shifted code too, and a change to or from 'c' posts event 13.
bool editKeyFunction(const cmcCodecContext& c, cmcEeprom& image, int slot, bool shifted, int& repaint);

// A scan list's channel reference: its mode and the channel (an index over all banks).
inline constexpr int cmcScanFixedChannelMode = 5;
enum class cmcScanChannel { Priority1, Priority2, Transmit };
struct cmcScanChannelRef {
    int mode = 0;
    int channel = 0;
    bool prio2InUse = false; // priority channel 2: set while its mode is not 0
};
// The mode on "GI_Sheet_Sel_ScanPrio1CH", "GI_Sheet_Sel_ScanPrio2CH" or
// "GI_Sheet_Sel_ScanTXCH". Choosing the fixed channel (mode 5) stores it and opens the
// channel selector GI_Sheet_Sel_ScanCHSel (FlexCHSel) on the current bank; a zone chosen
// (FlexZoneSel, arg = bank) opens the channel selector for that bank, or the zone selector
// GI_Sheet_Sel_ScanZoneSel again when it holds no channels; a chosen channel (FlexCHSel,
// arg = position in the bank) is stored with the channels of the banks before it added. A
// fixed channel shows its position in its bank plus one and GI_AddCH.
bool editScanChannel(const cmcCodecContext& c, cmcScanChannelRef& ref, cmcScanChannel which,
                     const cmcEeprom& image);
// The bank whose channels the channel selector shows (the zone last chosen for it).
[[nodiscard]] int cmcScanSelectorBank();
