// Number codecs: decimal with clamping or padding, hexadecimal, packed digits, fixed point.
#include "base/cmcText.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"

#include <algorithm>
#include <cctype>
#include <cmath>

using namespace cmcCodec;

namespace {
// Steps value by delta inside lowest..highest: past an end it wraps to the other end, or
// stays at the end when saturating.
long long StepWrapped(long long value, long long delta, long long lowest, long long highest, bool saturate)
{
    long long next = value + delta;
    if (next > highest)
        next = saturate ? highest : lowest;
    else if (next < lowest)
        next = saturate ? lowest : highest;
    return next;
}

bool HeldDigitOrPoint(std::string_view text)
{
    return text.find_first_of(DigitsDot) != std::string_view::npos;
}

char HexChar(int nibble)
{
    return "0123456789ABCDEF"[nibble & 15];
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}
} // namespace

bool editNumber(const cmcCodecContext& c, int& value, const cmcNumberForm& form)
{
    cmcCellCapsule& cap = c.capsule;
    const int step = std::max(form.step, 1);
    bool changed = false;
    if (form.clampBeforeDisplay && (value < form.lowest || value > form.highest)) {
        value = std::clamp(value, form.lowest, form.highest);
        changed = true;
    }
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string kept = Keep(cap.input, DigitsDotMinus, 9);
        const std::optional<long long> number = ReadScaled(kept, 0);
        if (number && HeldDigitOrPoint(kept)) {
            long long n = *number - form.offset;
            if (step != 1)
                n = DivRound(n, step) * step;
            value = static_cast<int>(std::clamp<long long>(n, form.lowest, form.highest));
            changed = true;
        } else if (!TrimBlanks(cap.input).empty()) {
            Refuse("GI_AppMess_ValueErr_Text", TrimBlanks(cap.input));
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key)) {
            const long long next = StepWrapped(value, key == cmcKey::Space ? step : -step, form.lowest,
                                               form.highest, form.saturate);
            value = static_cast<int>(FloorDiv(next, step) * step);
            changed = true;
        } else if (key == cmcKey::Enter) {
            StartEditor(c, Format("%d", value + form.offset));
            return changed;
        } else if (IsDigit(key) || (key == '-' && form.lowest + form.offset < 0)) {
            StartEditorWithKey(c);
            return changed;
        }
    }
    Show(c, form.fixedText != nullptr ? std::string(form.fixedText) : Format("%d", value + form.offset));
    return changed;
}

bool editPaddedNumber(const cmcCodecContext& c, int& value, int minWidth, int lowest, int highest,
                      bool noPadding)
{
    cmcCellCapsule& cap = c.capsule;
    bool changed = false;
    auto text = [&](int v) {
        std::string s = Format("%d", v);
        if (!noPadding && static_cast<int>(s.size()) < minWidth)
            s.insert(0, static_cast<std::size_t>(minWidth) - s.size(), '0');
        return s;
    };
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string kept = Keep(cap.input, DigitsDotMinus, 9);
        const std::optional<long long> number = ReadScaled(kept, 0);
        const bool digit = kept.find_first_of("0123456789") != std::string::npos;
        if (number && digit && *number >= lowest && *number <= highest) {
            value = static_cast<int>(*number);
            changed = true;
        } else if (number && digit) {
            RefuseRange(TrimBlanks(cap.input), text(lowest), text(highest));
        } else if (!TrimBlanks(cap.input).empty()) {
            Refuse("GI_AppMess_ValueErr_Text", TrimBlanks(cap.input));
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key)) {
            value =
                static_cast<int>(StepWrapped(value, key == cmcKey::Space ? 1 : -1, lowest, highest, false));
            changed = true;
        } else if (key == cmcKey::Enter) {
            StartEditor(c, text(value));
            return false;
        } else if (IsDigit(key) || (key == '-' && lowest < 0)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, text(value));
    return changed;
}

bool editHexNumber(const cmcCodecContext& c, int& value, int lowest, int highest, int digits)
{
    cmcCellCapsule& cap = c.capsule;
    bool changed = false;
    auto text = [&](long long v) {
        std::string s;
        for (int i = digits - 1; i >= 0; --i)
            s.push_back(HexChar(static_cast<int>((v >> (4 * i)) & 15)));
        return s;
    };
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        std::string typed = TrimBlanks(cap.input);
        if (typed.size() > static_cast<std::size_t>(digits) + 2)
            typed.resize(static_cast<std::size_t>(digits) + 2);
        const bool allHex = !typed.empty() && std::all_of(typed.begin(), typed.end(),
                                                          [](char ch) { return HexValue(ch) >= 0; });
        if (allHex) {
            long long n = 0;
            for (char ch : typed)
                n = n * 16 + HexValue(ch);
            value = static_cast<int>(std::clamp<long long>(n, lowest, highest));
            changed = true;
        } else if (!typed.empty()) {
            Refuse("GI_AppMess_ValueErr_Text", typed);
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, text(value));
            return false;
        }
        if (IsHexDigit(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, text(value));
    return changed;
}

bool editHexDigit(const cmcCodecContext& c, int& value, bool allowF)
{
    cmcCellCapsule& cap = c.capsule;
    const int highest = allowF ? 15 : 14;
    bool changed = false;
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string typed = TrimBlanks(cap.input);
        const int digit = typed.empty() ? -1 : HexValue(static_cast<char>(std::toupper(typed[0])));
        if (digit >= 0 && digit <= highest) {
            value = digit;
            changed = true;
        } else if (!typed.empty()) {
            Refuse("GI_AppMess_ValueErr_Text", typed);
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, std::string(1, HexChar(value)));
            return false;
        }
        const int digit = IsHexDigit(key) ? HexValue(static_cast<char>(key)) : -1;
        if (digit >= 0 && digit <= highest) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, std::string(1, HexChar(value)));
    return changed;
}

bool editNibbleCode(const cmcCodecContext& c, std::uint32_t& value, int digits, bool hexAllowed)
{
    cmcCellCapsule& cap = c.capsule;
    const auto n = static_cast<std::size_t>(std::clamp(digits, 1, 8));
    bool changed = false;
    auto text = [&](std::uint32_t v) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s.push_back(HexChar(static_cast<int>(v >> (4 * (n - 1 - i)))));
        return s;
    };
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        std::string kept = Keep(cap.input, hexAllowed ? "0123456789abcdefABCDEF" : "0123456789", 255);
        if (!kept.empty()) {
            if (kept.size() < n)
                kept.insert(0, n - kept.size(), '0');
            kept.resize(n);
            std::uint32_t packed = 0;
            for (char ch : kept)
                packed = (packed << 4) | static_cast<std::uint32_t>(HexValue(ch));
            value = packed;
            changed = true;
        } else if (!TrimBlanks(cap.input).empty()) {
            Refuse("GI_AppMess_ValueErr_Text", TrimBlanks(cap.input));
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, text(value));
            return false;
        }
        if (hexAllowed ? IsHexDigit(key) : IsDigit(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, text(value));
    return changed;
}

bool editFixed(const cmcCodecContext& c, int& value, const cmcFixedForm& form)
{
    cmcCellCapsule& cap = c.capsule;
    const long long unit = Pow10(form.scale);
    const long long step = std::max(form.step, 1);
    const auto lowest = static_cast<long long>(std::llround(form.lowest * static_cast<double>(unit)));
    const auto highest = static_cast<long long>(std::llround(form.highest * static_cast<double>(unit)));
    auto text = [&](long long v) {
        const long long magnitude = v < 0 ? -v : v;
        long long fraction = magnitude % unit;
        if (form.decimals <= form.scale)
            fraction /= Pow10(form.scale - form.decimals);
        else
            fraction *= Pow10(form.decimals - form.scale);
        std::string s = Format("%3s", Format(v < 0 ? "-%lld" : "%lld", magnitude / unit).c_str());
        if (form.decimals > 0)
            s += Format(".%0*lld", form.decimals, fraction);
        for (int i = 0; i < form.trim && !s.empty() && s.back() == '0'; ++i)
            s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
        return s;
    };
    bool changed = false;
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string kept = Keep(cap.input, DigitsDotMinus, 9);
        const std::optional<long long> number = ReadScaled(kept, form.scale);
        if (number) {
            const long long n = FloorDiv(*number, step) * step;
            value = static_cast<int>(std::clamp(n, lowest, highest));
            changed = true;
        } else if (!TrimBlanks(cap.input).empty()) {
            Refuse("GI_AppMess_ValueErr_Text", TrimBlanks(cap.input));
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        const std::string current = TrimBlanks(text(value));
        if (key == '.') {
            const std::size_t point = current.find('.');
            if (point == std::string::npos)
                StartEditor(c, current + ".", static_cast<int>(current.size()) + 1);
            else
                StartEditor(c, current, static_cast<int>(point) + 1);
            return false;
        }
        if (form.stepping && IsStepKey(key)) {
            value = static_cast<int>(
                StepWrapped(value, key == cmcKey::Space ? step : -step, lowest, highest, false));
            changed = true;
        } else if (key == cmcKey::Enter || (!form.stepping && key == cmcKey::Space)) {
            StartEditor(c, form.clearOnEnter ? std::string() : current);
            return false;
        } else if (IsDigit(key) || key == '-') {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, text(value));
    return changed;
}
