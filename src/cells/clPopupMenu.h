#pragma once
// The commands of a record's popup menu as the dispatcher runs them on the cell that owns
// the menu: the record edits (copy, paste, carry up and down, clear, delete, insert) on the
// cell's record or the selected rows, the help pages, and the copy of the radio's serial
// number. CL_PMenu_Edit is not among them: the dispatcher turns it into Enter.
#include "cells/clRun.h"

#include <optional>
#include <string>
#include <string_view>

// Runs the command in run.capsule.command; false when it is not one of these commands.
bool clRunPopupMenuCommand(clRun& run);

// The help page of a cell: the entry for the cell's logic name in the help text table's
// map GI_AppItem_CellName_to_HtmlHelpName (entries "item<TAB>page", ended by "#"), with
// ".htm" appended when the page name has none; none when the map has no entry for it.
[[nodiscard]] std::optional<std::string> clFindHelpPage(const cmcCellObj& cell);
// The topic number of a help page: its digits, '.' and '-', cut to 9 characters, read as a
// decimal number rounded half away from zero ("54973.htm" gives 54973; no digits give 0).
[[nodiscard]] int clHelpTopicNumber(std::string_view page);
// The serial number of the clone information (12 hexadecimal characters read as fields of
// 4, 2 and 6 digits) written as the decimal fields "%04d%02d%06ld"; none when the text is
// not 12 hexadecimal characters.
[[nodiscard]] std::optional<std::string> clSerialNumberText(std::string_view serial);
