#pragma once
// The logic table: every cell logic by name, index = position in clLogicNames.def. Indexes
// 1 to 16 are the Flex codes that popups return. clLogicCount means "no logic".
#include <string_view>

enum class clLogic : int {
#define CL_NAME(name) name,
#include "cells/clLogicNames.def"
#undef CL_NAME
    Count_
};

inline constexpr int clLogicCount = static_cast<int>(clLogic::Count_);
inline constexpr int clNoLogic = clLogicCount;

[[nodiscard]] constexpr int clIndex(clLogic logic) { return static_cast<int>(logic); }

// The name of a logic index; "" for an index outside the table.
[[nodiscard]] std::string_view clLogicName(int index);
// The index of an exact (case-sensitive) name; -1 when the table has no such name.
[[nodiscard]] int clLogicIndex(std::string_view name);
