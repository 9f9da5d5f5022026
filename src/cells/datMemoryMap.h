#pragma once
// The static/dynamic memory map. The radio packs its variable tables one after another in
// the dynamic area (0x03A0 to 0xFF7F), each described by a ten-byte descriptor found by its
// PTBL-ID; the program edits the static form, where every table has a fixed place and a
// fixed number of slots in the working area (datTables.h). Static2Dynamic packs, Dynamic2Static
// unpacks, fits is the space check before records are added.
//
// Header fields in the system area (two-byte values big-endian): 0x2A0 the signature
// "ZELK Inc", 0x2A8 the mode byte and 0x2A9 a header byte (mirrored as 32-bit values at
// 0x1AC3A and 0x1AC3E), 0x2B0 the end of the channel tables, 0x2B2 the end of the used
// dynamic area, 0x2B4 the base of the dynamic area, 0x2C0 the descriptor of the descriptor
// table (PTBL-ID 1).
#include "cells/datTables.h"

#include <span>

class cmcEeprom;

inline constexpr int datModeBytePlace = 0x2A8;
inline constexpr int datHeaderBytePlace = 0x2A9;
inline constexpr int datChannelEndPlace = 0x2B0;
inline constexpr int datUsedEndPlace = 0x2B2;
inline constexpr int datBasePlace = 0x2B4;
inline constexpr int datDescriptorTablePlace = 0x2C0;
inline constexpr int datSignaturePlace = 0x2A0;
inline constexpr char datSignature[] = "ZELK Inc"; // 8 characters, stored without terminator
inline constexpr int datSignatureSize = 8;
// Bit 6 of this byte keeps the channel tables in the packed form even with no channels.
inline constexpr int datChannelBlockFlagPlace = 0x10BA7;

// Record kinds of the space check.
inline constexpr int datFitsChannels = 1;
inline constexpr int datFitsIndividualIds = 16;
inline constexpr int datFitsTalkGroups = 17;
inline constexpr int datFitsRepeaters = 22;

// Packs the static tables into the dynamic area; true when the area overflowed (the tables
// from the first one that did not fit onward, the descriptor table and the signature are
// then missing, 0x2B2 keeps its value and 0x2C0 holds no descriptor). With fill, a set bit 6
// of 0x10BA7 packs as many of the 32 channel slots as fit instead of the bank's channels.
bool Static2Dynamic(cmcEeprom& image, bool fill);
// The same over a given table list (a test seam; the program always packs datTableList()).
bool Static2DynamicWith(cmcEeprom& image, bool fill, std::span<const datTableDef> tables);

// Unpacks the tables an image's descriptors name into the static form; an image without the
// descriptor table at 0x2C0 is left as it is. Tables it does not hold keep their static
// contents. Descriptors pointing outside the radio memory area copy nothing there.
void Dynamic2Static(cmcEeprom& image);

// Prepares the default image: the blank-template tables get their first record in every
// slot, the other tables (and PTBL-ID 23) are unpacked as by Dynamic2Static.
void prefillStatic(cmcEeprom& image);

// Whether n more records of a kind fit into the dynamic area as the header fields describe
// it (0x2B2 the used end, 0x2B0 the channel end). Kinds: datFits... above; any other kind
// fits while the used area ends inside the dynamic area.
[[nodiscard]] bool fits(const cmcEeprom& image, int recordKind, int n, int bank);
// fits, and when not, the overflow message (GI_AppMess_ChErr_Overflow) is shown.
bool fitsOrShowOverflow(const cmcEeprom& image, int recordKind, int n, int bank);

// Channels that belong to no bank: none in this family.
[[nodiscard]] int datChannelsOutsideBanks(const cmcEeprom& image);
// A channel slot is in use when its receive frequency or its digital channel marker is not 0.
[[nodiscard]] bool datChannelSlotInUse(const cmcEeprom& image, int slot);
