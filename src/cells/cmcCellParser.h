#pragma once
// The cell text parser. A row of a sheet, menu, tool bar or selection list is a sequence of
// cell texts separated by '|' (a backslash escapes the next character). A cell text is its
// display text with the attributes between braces:
//   layout letters   < ^ > (horizontal), ~ - _ (vertical), W H + B X Q S T; '!' before
//                    one of W H + B X Q S T clears that flag instead of setting it
//   (key=value)      groups: ($Model) (Color=..) (Font=charset,face,colour,height,size,
//                    style,pitch) (%CT_Cat.CL_Logic[arg]:text) (@chN++) (@chN=v)
//                    (ImageIndex=n) (PopupMenu=name) (FlagK=0|1)
// Errors in a cell text are errors of the overlay files: they stop the program.
#include "cells/cmcCellObj.h"

#include <string_view>
#include <vector>

// The rest of row after its first cell: the text after the first unescaped '|', or ""
// when there is none.
[[nodiscard]] std::string_view cmcSplitCell(std::string_view row);
// The number of cells of a row ("" is one empty cell).
[[nodiscard]] int cmcCountCells(std::string_view row);

// Resets cell before a parse: the parent's attributes when there is one (its own font and
// popup menu stay with the parent and are reached through it), the reset values otherwise.
// The category is kept when there is no parent.
void cmcResetCell(cmcCellObj& cell, const cmcCellObj* parent);

// Parses the first cell of row into cell and returns the rest of the row after it.
// counters are the sheet's row counters (none: a counter reference is fatal); parent is
// the cell inherited from (the sheet's basic cell) or none. With countOnly the row is only
// split and cell is left alone.
std::string_view cmcParseCell(cmcCellObj& cell, std::string_view row, cmcRowCounters* counters,
                              const cmcCellObj* parent, bool countOnly = false);

// Parses every cell of row (at least one) with the same counters and parent.
[[nodiscard]] std::vector<cmcCellObj> cmcParseRow(std::string_view row, cmcRowCounters* counters,
                                                  const cmcCellObj* parent);

// Applies the fields of a Font group ("charset,face,colour,height,size,style,pitch", the
// text after "Font=") to font; an empty or unknown field keeps its property.
void cmcApplyFontFields(cmcCellFont& font, std::string_view fields);

// The font a cell gets from its first Font group when no parent font exists.
[[nodiscard]] cmcCellFont cmcDefaultCellFont();

// A sheet's basic cell: the text of its "_BasicCell" key, parsed without parent and
// counters, with the sheet's font size applied: a fixed font height when heightOverride is
// not 0, else the zoom percentage; then, when printScalePercent is not 100, the print
// scale as a further percentage.
[[nodiscard]] cmcCellObj cmcParseBasicCell(std::string_view basicCellText, int heightOverride,
                                           int zoomPercent, int printScalePercent = 100);
