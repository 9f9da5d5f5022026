#pragma once
// Which record a cell's argument addresses in the table of its category's kind, and which
// entry of it. Every table takes the argument as the record's index, except the multi
// tables: a multi table holds 16 entries, and a cell of one addresses entry (arg mod 16) of
// table (arg / 16), so one argument names every entry of every table (the check of all
// multi tables walks them).
#include "cells/datRecordKind.h"

inline constexpr int clMultiTableEntries = 16;

[[nodiscard]] constexpr int clRecordOfArg(int kind, int arg)
{
    return kind == datKindMultiTable ? arg / clMultiTableEntries : arg;
}

[[nodiscard]] constexpr int clEntryOfArg(int kind, int arg)
{
    return kind == datKindMultiTable ? arg % clMultiTableEntries : 0;
}
