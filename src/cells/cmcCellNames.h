#pragma once
// The name tables of the cell attribute texts: colours (looked up through a hash table),
// character sets, font styles and pitches (matched in table order). Names are exact and
// case-sensitive; values are the platform's (colours 0x00BBGGRR or 0x800000nn for system
// colour nn).
#include "base/cmcHash.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

struct cmcColourName {
    std::string_view name;
    std::uint32_t value;
};

struct cmcIntName {
    std::string_view name;
    int value;
};

// "clHightlightText" is spelt as the overlays write it.
inline constexpr std::array<cmcColourName, 38> cmcColourNames{{
    {"clAqua", 0x00FFFF00},
    {"clBlack", 0x00000000},
    {"clBlue", 0x00FF0000},
    {"clDkGray", 0x00808080},
    {"clFuchsia", 0x00FF00FF},
    {"clGray", 0x00808080},
    {"clGreen", 0x00008000},
    {"clLime", 0x0000FF00},
    {"clLtGray", 0x00C0C0C0},
    {"clMaroon", 0x00000080},
    {"clNavy", 0x00800000},
    {"clOlive", 0x00008080},
    {"clPurple", 0x00800080},
    {"clRed", 0x000000FF},
    {"clSilver", 0x00C0C0C0},
    {"clTeal", 0x00808000},
    {"clWhite", 0x00FFFFFF},
    {"clYellow", 0x0000FFFF},
    {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},
    {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},
    {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
    {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},
    {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},
    {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},
    {"clHighlight", 0x8000000D},
    {"clHightlightText", 0x8000000E},
    {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},
    {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},
    {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},
}};

inline constexpr std::array<cmcIntName, 19> cmcCharsetNames{{
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},      {"SHIFTJIS_CHARSET", 128}, {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},   {"GB2312_CHARSET", 134},   {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},   {"TURKISH_CHARSET", 162},  {"VIETNAMESE_CHARSET", 163},
    {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},   {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204}, {"THAI_CHARSET", 222},     {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
}};

// Style values are the bits of cmcCellFont::style.
inline constexpr std::array<cmcIntName, 4> cmcStyleNames{{
    {"fsBold", 0x01},
    {"fsItalic", 0x02},
    {"fsUnderline", 0x04},
    {"fsStrikeOut", 0x08},
}};

// Pitch values are those of cmcCellFont::pitch.
inline constexpr std::array<cmcIntName, 3> cmcPitchNames{{
    {"fpDefault", 0},
    {"fpFixed", 1},
    {"fpVariable", 2},
}};

// The value of an exact colour name, or none.
[[nodiscard]] std::optional<std::uint32_t> cmcColourByName(std::string_view name);
// The value of the first entry of table whose name equals name exactly, or none.
[[nodiscard]] std::optional<int> cmcFindName(std::span<const cmcIntName> table, std::string_view name);

// Fills hash with names[i] -> i. A name given twice is a definition error: the hash table
// stops the program ("Overlapped Hash table.").
void cmcFillNameHash(cmcHash& hash, std::span<const std::string_view> names);
