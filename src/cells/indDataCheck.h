#pragma once
// The errors the warning check counts in the working image: every check cell of the
// overlay's GI_WarningCheckList (up to its first entry beginning with "#"), then the bank
// check of every bank. A clone write refuses data with errors; the main window marks the
// sheets of the tree from the same checks.
class CellHost;

[[nodiscard]] int indCountDataErrors(CellHost& host);
