#pragma once
// The parts of the record family (clRecordLogics() joins them), one per group of record
// kinds: the rows of data each part's fields take and the handlers of the fields that need
// more than one codec call.
#include "cells/clFieldRow.h"
#include "cells/clRun.h"

#include <span>

// Individual IDs, talk groups, NAC channels, digital status messages, encryption keys,
// short data messages, the channel switch table (kinds 16 to 21, 25).
std::span<const clFieldRow> clListFieldRows();
std::span<const clBinding> clListBindings();
// Repeaters and their site (kind 22).
std::span<const clFieldRow> clRepeaterFieldRows();
std::span<const clBinding> clRepeaterBindings();
// Scan lists, DTMF codes and DTMF receive entries (kinds 3, 4, 23).
std::span<const clFieldRow> clScanDtmfFieldRows();
std::span<const clBinding> clScanDtmfBindings();
// MSK ID groups, call list, status messages, short texts (kinds 12 to 15).
std::span<const clFieldRow> clMskFieldRows();
std::span<const clBinding> clMskBindings();
// User characters, tone entries, five-tone codes, user tones, two-tone codes, banks, MDC
// aliases, multi tables (kinds 2, 5 to 11, 24, 26).
std::span<const clFieldRow> clCodeTableFieldRows();
std::span<const clBinding> clCodeTableBindings();
