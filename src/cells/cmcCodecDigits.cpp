// Digit-code codecs: DTMF digits with their count, five-tone codes with group and repeat
// tones. Digits are nibbles, the first in the high nibble of the first byte.
#include "base/cmcText.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"

#include <algorithm>
#include <cctype>

using namespace cmcCodec;

namespace {
constexpr std::string_view DtmfChars = "0123456789ABCD*#";
constexpr std::string_view FiveToneChars = "0123456789ABCDE*";
constexpr int Terminator = 15;

int NibbleAt(std::span<const std::uint8_t> packed, int i)
{
    const std::uint8_t byte = packed[static_cast<std::size_t>(i / 2)];
    return (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
}

void SetNibble(std::span<std::uint8_t> packed, int i, int value)
{
    std::uint8_t& byte = packed[static_cast<std::size_t>(i / 2)];
    if (i % 2 == 0)
        byte = static_cast<std::uint8_t>((byte & 0x0F) | ((value & 15) << 4));
    else
        byte = static_cast<std::uint8_t>((byte & 0xF0) | (value & 15));
}

// The digits the packed bytes can hold, at most n.
int Capacity(std::span<const std::uint8_t> packed, int n)
{
    return std::min(n, static_cast<int>(packed.size()) * 2);
}

std::string DtmfShown(std::span<const std::uint8_t> packed, int count, int n)
{
    std::string text;
    const int digits = std::clamp(count, 0, Capacity(packed, n));
    for (int i = 0; i < digits; ++i)
        text.push_back(DtmfChars[static_cast<std::size_t>(NibbleAt(packed, i))]);
    return text;
}

std::string FiveToneShown(std::span<const std::uint8_t> packed, int n, std::uint8_t mask, int repeat)
{
    std::string text;
    const int digits = Capacity(packed, n);
    for (int i = 0; i < digits; ++i) {
        const int nibble = NibbleAt(packed, i);
        if (nibble == Terminator)
            break;
        if (i < 8 && (mask & (0x80 >> i)) != 0)
            text.push_back('+');
        else if (nibble == repeat)
            text.push_back('*');
        else
            text.push_back(FiveToneChars[static_cast<std::size_t>(nibble)]);
    }
    return text;
}
} // namespace

bool editDtmf(const cmcCodecContext& c, std::span<std::uint8_t> packed, int& count, int n)
{
    cmcCellCapsule& cap = c.capsule;
    const int capacity = Capacity(packed, n);
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        std::string kept = Keep(cap.input, "0123456789abcdefABCDEF*#", static_cast<std::size_t>(capacity));
        for (int i = 0; i < capacity; ++i)
            SetNibble(packed, i, 0);
        int i = 0;
        for (char raw : kept) {
            const auto ch = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
            int value = 0;
            if (ch == '*')
                value = 14;
            else if (ch == '#')
                value = 15;
            else if (ch >= 'A')
                value = ch - 'A' + 10;
            else
                value = ch - '0';
            SetNibble(packed, i++, value);
        }
        count = i;
        Show(c, DtmfShown(packed, count, n));
        return true;
    }
    if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, DtmfShown(packed, count, n));
            return false;
        }
        if (IsHexDigit(key) || key == '*' || key == '#') {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, DtmfShown(packed, count, n));
    return false;
}

bool editFiveTone(const cmcCodecContext& c, std::span<std::uint8_t> packed, int n, std::uint8_t& groupMask,
                  int repeatNibble)
{
    cmcCellCapsule& cap = c.capsule;
    const int capacity = Capacity(packed, n);
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        std::uint8_t mask = 0;
        int i = 0;
        for (char raw : cap.input) {
            if (i >= capacity)
                break;
            const auto ch = static_cast<char>(std::toupper(static_cast<unsigned char>(raw)));
            int value = -1;
            if (ch >= '0' && ch <= '9')
                value = ch - '0';
            else if (ch >= 'A' && ch <= 'E')
                value = ch - 'A' + 10;
            else if (ch == '*' || ch == 'G')
                value = repeatNibble & 15;
            else if (ch == '+') {
                value = 0;
                if (i < 8)
                    mask = static_cast<std::uint8_t>(mask | (0x80 >> i));
            }
            if (value < 0)
                continue; // other letters and characters are not tones
            SetNibble(packed, i++, value);
        }
        for (; i < capacity; ++i)
            SetNibble(packed, i, Terminator);
        groupMask = mask;
        Show(c, FiveToneShown(packed, n, groupMask, repeatNibble));
        return true;
    }
    if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, FiveToneShown(packed, n, groupMask, repeatNibble));
            return false;
        }
        if (IsHexDigit(key) || key == '*' || key == 'G' || key == 'g' || key == '#' || key == '+') {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, FiveToneShown(packed, n, groupMask, repeatNibble));
    return false;
}
