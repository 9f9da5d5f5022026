#pragma once
// What the codec families share: the event tests of the common convention, the editor and
// popup requests, the refusal message, and the number readers of typed texts.
#include "cells/clRun.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cmcCodec {

inline cmcCellCapsule& Cap(const cmcCodecContext& c)
{
    return c.capsule;
}
// A key event (drawing and evaluation carry none; op 1 and 2 are no key events).
inline bool IsKeyEvent(const cmcCodecContext& c)
{
    return c.capsule.HasEvent() && c.capsule.op == cmcCellCapsule::OpKeyOrDraw && c.capsule.key != 0;
}
inline int Key(const cmcCodecContext& c)
{
    return c.capsule.key == cmcKey::DoubleClick ? cmcKey::Enter : c.capsule.key;
}
inline bool IsEnter(const cmcCodecContext& c)
{
    return IsKeyEvent(c) && Key(c) == cmcKey::Enter;
}
inline bool IsStepKey(int key)
{
    return key == cmcKey::Space || key == cmcKey::Backspace;
}
inline bool IsPrintable(int key)
{
    return key >= 32 && key <= 126;
}
inline bool IsDigit(int key)
{
    return key >= '0' && key <= '9';
}
inline bool IsHexDigit(int key)
{
    return IsDigit(key) || (key >= 'A' && key <= 'F') || (key >= 'a' && key <= 'f');
}
// op 2 with a source whose cell carries flexCode.
bool IsChoiceOf(const cmcCodecContext& c, int flexCode);
// The chosen value of an op 2 run.
int ChosenValue(const cmcCodecContext& c);
// The chosen item's label: its text argument, else its display text.
std::string ChosenLabel(const cmcCodecContext& c);

// output := text, all selected.
void Show(const cmcCodecContext& c, std::string text);
// The in-place editor on text: all selected, or the caret at caret with nothing selected.
void StartEditor(const cmcCodecContext& c, std::string text, std::optional<int> caret = std::nullopt);
// The in-place editor on one typed character, caret after it.
void StartEditorWithKey(const cmcCodecContext& c);
void OpenList(const cmcCodecContext& c, const std::string& list, int flexCode, int current);

void SetRightAligned(const cmcCodecContext& c);
void SetCentred(const cmcCodecContext& c);

// The refusal of a typed text: the message of key with the first "%s" replaced by shown,
// captioned GI_Sys_AppTitle, error icon.
void Refuse(const char* key, std::string_view shown);
// The range refusal: GI_AppMess_ValueErr_Range with the text and the two bounds.
void RefuseRange(std::string_view shown, std::string_view lowest, std::string_view highest);

// The characters of text that are in keep, cut to at most limit characters.
std::string Keep(std::string_view text, std::string_view keep, std::size_t limit);
// A decimal number with an optional sign and fraction ("12", "-3.5", ".25"), scaled by
// 10^scale and rounded half away from zero; none when the text holds no digit.
std::optional<long long> ReadScaled(std::string_view text, int scale);
// Rounds n / d to the nearest integer, halves away from zero (d > 0).
long long DivRound(long long n, long long d);
// floor(n / d) (d > 0).
long long FloorDiv(long long n, long long d);
long long Pow10(int e);

// The digit characters and the decimal point.
inline constexpr std::string_view DigitsDot = "0123456789.";
inline constexpr std::string_view DigitsDotMinus = "0123456789.-";

} // namespace cmcCodec
