#pragma once
// Colours and fonts of cells on the screen: the platform colour encoding of the cell texts
// (0x00BBGGRR, or 0x800000nn for system colour nn) resolved against the application's
// palette, and cell fonts turned into QFonts.
#include "cells/cmcCellObj.h"

#include <QColor>
#include <QFont>

#include <cstdint>

class cuiCellStyle {
public:
    // System colour numbers the sheets use by name.
    static constexpr std::uint32_t clWindow = 0x80000005;
    static constexpr std::uint32_t clWindowText = 0x80000008;
    static constexpr std::uint32_t clHighlight = 0x8000000D;
    static constexpr std::uint32_t clHighlightText = 0x8000000E;
    static constexpr std::uint32_t clBtnFace = 0x8000000F;
    static constexpr std::uint32_t clGrayText = 0x80000011;
    static constexpr std::uint32_t White = 0x00FFFFFF;
    static constexpr std::uint32_t Silver = 0x00C0C0C0;

    [[nodiscard]] static QColor Colour(std::uint32_t value);
    // The font a cell is drawn with (none: the application font), its height scaled by scale.
    [[nodiscard]] static QFont Font(const cmcCellFont* font, double scale = 1.0);
    [[nodiscard]] static std::uint32_t FontColour(const cmcCellFont* font)
    {
        return font != nullptr ? font->colour : clWindowText;
    }
    // The colour encoding of a QColor (for comparisons with derived colours).
    [[nodiscard]] static std::uint32_t Encode(const QColor& colour);
};
