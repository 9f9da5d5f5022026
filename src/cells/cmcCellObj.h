#pragma once
// The parsed attributes of one cell: display text, layout letters, colour, font, image,
// popup menu, flags and the logic reference that binds the cell to the memory image. Every
// cell of a sheet, item of a menu or tool bar and item of a selection list is one of these,
// parsed from its cell text (cmcCellParser.h).
#include "cells/clLogic.h"
#include "cells/ctCategory.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// Colours in the platform encoding: 0x00BBGGRR, or 0x800000nn for system colour nn.
inline constexpr std::uint32_t clWindowColour = 0x80000005;
inline constexpr std::uint32_t clSilverColour = 0x00C0C0C0;
inline constexpr std::uint32_t clOliveColour = 0x00008080;

// A cell's own font; a field left unset keeps the parent's value.
struct cmcCellFont {
    int charset = 1; // DEFAULT_CHARSET
    std::string face;
    std::uint32_t colour = 0x80000008; // clWindowText
    int height = 0;
    int size = 0;
    std::uint8_t style = 0; // bit 0 bold, 1 italic, 2 underline, 3 strike-out
    int pitch = 0;          // 0 default, 1 fixed, 2 variable
    bool operator==(const cmcCellFont&) const = default;
};

// The ten row counters of a sheet (@ch0 to @ch9).
using cmcRowCounters = std::array<int, 10>;

struct cmcCellObj {
    // Layout bits.
    static constexpr std::uint8_t AlignMask = 0x03; // 0 left, 1 centre, 2 right
    static constexpr std::uint8_t VAlignMask = 0x0C; // (>> 2) 0 top, 1 centre, 2 bottom
    static constexpr std::uint8_t AutoWidth = 0x10;
    static constexpr std::uint8_t AutoHeight = 0x20;
    static constexpr std::uint8_t Joined = 0x40;
    static constexpr std::uint8_t BottomRule = 0x80;
    // Mark bits.
    static constexpr std::uint8_t RightRuleMask = 0x03; // 0 none, 1 full, 2 short
    static constexpr std::uint8_t Stop = 0x04;
    static constexpr std::uint8_t Tail = 0x08;
    static constexpr std::uint8_t Flag0 = 0x10; // menu item checked, tool button down
    static constexpr std::uint8_t Flag1 = 0x20; // menu item hidden
    static constexpr std::uint8_t Flag2 = 0x40; // menu item or tool button disabled
    static constexpr std::uint8_t Flag3 = 0x80; // menu caption replaced by the display text
    static constexpr std::uint8_t FlagMask = 0xF0;
    // Extra bit set by Flag4 to Flag8.
    static constexpr std::uint8_t ExtraFlag = 0x01;

    const cmcCellObj* parent = nullptr; // not owned
    cmcRowCounters* counters = nullptr; // set only while a cell text is parsed; not owned
    int category = ctNoCategory;
    int logic = clNoLogic;
    int arg = 0;
    std::optional<std::string> argText;
    int imageIndex = -1;
    std::uint8_t layout = 0;
    std::uint8_t marks = 0;
    std::uint8_t extra = 0;
    std::uint32_t colour = clWindowColour;
    std::optional<cmcCellFont> font; // none: drawn with the parent's font
    std::string popupMenu;           // empty: inherited from the parent chain
    std::optional<std::string> text;

    // The display text, "" when none.
    [[nodiscard]] const std::string& DisplayText() const;
    // The own popup menu name, else the parent's, up the chain; "" at the top.
    [[nodiscard]] const std::string& PopupMenuName() const;
    // The font the cell is drawn with: its own, else the parent's, up the chain; none at the top.
    [[nodiscard]] const cmcCellFont* EffectiveFont() const;
    [[nodiscard]] int HorizontalAlignment() const { return layout & AlignMask; }
    void SetHorizontalAlignment(int a) { layout = static_cast<std::uint8_t>((layout & ~AlignMask) | (a & 3)); }
    [[nodiscard]] int VerticalAlignment() const { return (layout & VAlignMask) >> 2; }
    void SetVerticalAlignment(int a)
    {
        layout = static_cast<std::uint8_t>((layout & ~VAlignMask) | ((a & 3) << 2));
    }
    [[nodiscard]] bool IsStop() const { return (marks & Stop) != 0; }
    [[nodiscard]] bool HasLogic() const { return logic != clNoLogic; }

    // The identity sheets find a cell by.
    struct Identity {
        int category = ctNoCategory;
        int logic = clNoLogic;
        int arg = 0;
        bool operator==(const Identity&) const = default;
    };
    [[nodiscard]] Identity GetIdentity() const { return {category, logic, arg}; }
};
