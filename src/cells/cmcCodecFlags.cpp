// Flag codecs: a row of labelled flags, a dot matrix, and a channel's position marks.
#include "base/cmcEvMan.h"
#include "base/cmcText.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

using namespace cmcCodec;

namespace {
constexpr int MaxPositions = 17;
constexpr int LettersStyle = 3;

// The label of a flag position.
char PositionLabel(int position, int labelStyle)
{
    if (position <= 9)
        return static_cast<char>('0' + position);
    if (position == 17)
        return 'Z';
    if (position == 10 && labelStyle != LettersStyle)
        return '0';
    return static_cast<char>('A' + position - 10);
}

std::uint32_t PositionBit(int position, int last)
{
    return 1u << (last - position);
}
} // namespace

bool editFlagString(const cmcCodecContext& c, std::uint32_t& bits, int first, int last, int labelStyle)
{
    cmcCellCapsule& cap = c.capsule;
    last = std::min(last, first + MaxPositions - 1);
    const std::uint32_t all = (last >= first) ? ((1u << (last - first + 1)) - 1) : 0;
    bool changed = false;
    if (IsChoiceOf(c, clIndex(clLogic::Flex0))) {
        const std::string typed = TrimBlanks(cap.input);
        char* end = nullptr;
        const unsigned long set = std::strtoul(typed.c_str(), &end, 10);
        if (!typed.empty() && end != nullptr && *end == '\0') {
            bits = static_cast<std::uint32_t>(set) & all;
            changed = true;
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter) {
            c.host.OpenBitFieldPopup(cap, bits & all, first, last, labelStyle);
            c.result = cmcRunResult::PopupOpened;
        } else if (key == cmcKey::Space) {
            bits = (bits & all) == 0 ? (bits | all) : (bits & ~all);
            changed = true;
        } else if (key == cmcKey::Backspace) {
            bits ^= all;
            changed = true;
        } else if (IsPrintable(key)) {
            const auto upper = static_cast<char>(std::toupper(key));
            for (int position = first; position <= last; ++position) {
                if (PositionLabel(position, labelStyle) == upper) {
                    bits ^= PositionBit(position, last);
                    changed = true;
                    break;
                }
            }
        }
    }
    std::string text;
    for (int position = first; position <= last; ++position)
        text.push_back((bits & PositionBit(position, last)) != 0 ? PositionLabel(position, labelStyle) : '_');
    Show(c, text);
    return changed;
}

std::string cmcDotsText(std::span<const std::uint8_t> dots, int width, int height)
{
    const int perColumn = (height + 7) / 8;
    std::string text;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto index = static_cast<std::size_t>(x * perColumn + y / 8);
            const bool set = index < dots.size() && (dots[index] & (0x80 >> (y % 8))) != 0;
            text.push_back(set ? '1' : '0');
        }
    }
    return text;
}

bool editBits(const cmcCodecContext& c, std::span<std::uint8_t> dots, int width, int height)
{
    cmcCellCapsule& cap = c.capsule;
    const int perColumn = (height + 7) / 8;
    Show(c, "");
    if (IsChoiceOf(c, clIndex(clLogic::Flex0))) {
        const std::string& text = cap.input;
        if (text.find_first_not_of("01") != std::string::npos)
            return false;
        std::fill(dots.begin(), dots.end(), std::uint8_t{0});
        for (std::size_t i = 0; i < text.size() && i < static_cast<std::size_t>(width * height); ++i) {
            const int x = static_cast<int>(i) % width;
            const int y = static_cast<int>(i) / width;
            const auto index = static_cast<std::size_t>(x * perColumn + y / 8);
            if (text[i] == '1' && index < dots.size())
                dots[index] = static_cast<std::uint8_t>(dots[index] | (0x80 >> (y % 8)));
        }
        return true;
    }
    if (IsEnter(c)) {
        c.host.OpenCharacterEditor(cap, cmcDotsText(dots, width, height), width, height);
        c.result = cmcRunResult::PopupOpened;
    }
    return false;
}

bool editChannelMarks(const cmcCodecContext& c, std::uint8_t& status, const std::string& list)
{
    bool changed = false;
    if (IsChoiceOf(c, clIndex(clLogic::Flex0))) {
        switch (ChosenValue(c)) {
        case 1:
            status |= datStPrioA;
            break;
        case 2:
            status |= datStPrioB;
            break;
        case 3:
            status = static_cast<std::uint8_t>((status | datStThird) & ~datStThirdOff);
            break;
        case 4:
            status = static_cast<std::uint8_t>((status & ~datStThird) | datStThirdOff);
            break;
        case 5:
            status ^= datStBank1;
            break;
        case 6:
            status ^= datStBank2;
            break;
        default:
            break;
        }
        changed = true;
        cmcEvents().Post(cmcEvCode::RefreshBankImages);
        cmcEvents().Post(cmcEvCode::RefreshSheetTitle);
    } else if (IsEnter(c)) {
        const int current = (status & datStPrioA) != 0 ? 1 : (status & datStPrioB) != 0 ? 2 : 0;
        OpenList(c, list, clIndex(clLogic::Flex0), current);
    }
    std::string text;
    if ((status & datStPrioA) != 0)
        text += "A";
    if ((status & datStPrioB) != 0)
        text += "B";
    if ((status & datStThird) != 0 && (status & datStThirdOff) == 0)
        text += "E";
    Show(c, text);
    return changed;
}
