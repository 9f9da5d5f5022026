#pragma once
// The logic families: each returns the rows (logic, handler) of the logics it gives a
// behaviour. The dispatcher joins them into one table at first use; a logic bound by two
// rows is a definition error. A logic bound by no row shows "%d *Yet*".
#include "cells/clRun.h"

#include <span>

// Settings at fixed places of the image (record kind 0): the settings map and the kind-0
// logics it leaves to the program.
std::span<const clBinding> clSettingsLogics();
// Channel rows (kind 1): channel fields, the trunked-group fields, bank and channel counts.
std::span<const clBinding> clChannelLogics();
// The other record kinds: ID lists, repeaters, scan lists, DTMF, MSK lists, NAC channels,
// encryption keys, short data messages, the channel switch table, tone entries, five-tone
// codes, user tones, two-tone codes, banks, digital status, DTMF receive, MDC aliases,
// multi tables, user characters.
std::span<const clBinding> clRecordLogics();
// Menu and tool-bar commands, the language list, the popup helpers (CL_Misc_, CL_FBits).
std::span<const clBinding> clMenuLogics();
// The checks of the warning check list (CL_Check_).
std::span<const clBinding> clCheckLogics();
// The clone information cells (CL_CloneInfo_): the fields of the host's clone information.
std::span<const clBinding> clCloneInfoLogics();
// The items of a record's popup menu (CL_PMenu_): which of them are enabled for the cell
// that owns the menu. The commands themselves are run by the dispatcher on that cell.
std::span<const clBinding> clPopupMenuLogics();
