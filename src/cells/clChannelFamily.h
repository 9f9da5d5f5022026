#pragma once
// The parts of the channel family (clChannelLogics() joins them): the channel fields that
// need more than one codec call, the frequency, tone and group cells that add a channel on
// a blank row, and the bank cells.
#include "cells/clRun.h"

#include <span>

// Channel number, marks, operation mode, lockout, scan lists, bandwidth, unit identities,
// ID-list references, CW identification offset.
std::span<const clBinding> clChannelFieldBindings();
// Receive and transmit frequency, tones, the trunked group identity.
std::span<const clBinding> clChannelFrequencyBindings();
// Bank channel count, name, bank flags and channel counts.
std::span<const clBinding> clBankBindings();

// A key on the blank row of a channel table adds a channel at the row through event 28,
// when the bank holds fewer than 32 channels and the radio's memory has room; otherwise
// GI_AppMess_ChErr_Overflow is shown. True when run.record is now a channel in the bank
// and the run goes on to edit it; false when the run is over (nothing to add, or refused).
bool clAddChannelAtBlankRow(clRun& run);

// Places of the channel settings the lockout rules read.
