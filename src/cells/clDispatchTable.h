#pragma once
// The joined logic table the dispatcher runs: the rows of every logic family (clFamilies.h)
// and the dispatcher's own rows (the logics that do nothing, the Flex codes of popup items)
// in one array indexed by logic. A logic bound by two rows is a definition error that stops
// the program when the table is joined (at its first use). A logic no row binds has no
// behaviour: its cell shows "%d *Yet*".
#include "cells/clRun.h"

#include <span>
#include <vector>

// The behaviour of a logic index; null when no row binds it (or the index is outside the
// table).
[[nodiscard]] clHandler clHandlerOf(int logic);
// Every logic index that no row binds, in table order.
[[nodiscard]] std::vector<int> clUnboundLogics();

// The dispatcher's own rows: CL_Null, Flex_Language_ChNo and the other logics that do
// nothing, and the Flex codes, whose popup items show their display text.
std::span<const clBinding> clDispatcherLogics();

// Joins families into one table indexed by logic (clLogicCount entries, null where no row
// binds); a logic bound twice, or a row naming a logic outside the table, stops the program
// with a message naming the logic. The program joins clDispatcherLogics() and every family
// of clFamilies.h.
[[nodiscard]] std::vector<clHandler> clJoinFamilies(std::span<const std::span<const clBinding>> families);
