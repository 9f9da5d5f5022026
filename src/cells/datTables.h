#pragma once
// The radio's variable tables: every table the memory map knows, by PTBL-ID, in the order
// the radio expects them packed, with its record size, how its record count is found and
// its fixed place in the working area. One row per table; the packer, the unpacker, the
// space check and the start-up self check all walk this one list.
#include "cells/datCounts.h"

#include <span>
#include <string>
#include <vector>

// How many records of a table the packed form holds.
enum class datCountRule {
    Fixed,                // always `slots` records
    ChannelsOutsideBanks, // the channels that belong to no bank (none in this family)
    BankChannels,         // the bank's channel count (two bytes at 0x10BC6)
    IndividualIdsUsed,    // the used count of the individual-ID list (two bytes at 0x1AC36)
    TalkGroupsUsed,       // the used count of the talk-group list (two bytes at 0x1AC38)
    Descriptors,          // the table descriptors written before it (the descriptor table)
};

// What the memory map does with a table.
enum class datTableUse {
    Packed,      // packed into the dynamic area and unpacked from it
    UnpackOnly,  // unpacked when an image holds it; packed again only when the image held it
    PrefillOnly, // copied only when the default image is prepared
};

struct datTableDef {
    int ptblId = 0;
    int recordSize = 0; // bytes per record, the same in both forms
    datCountRule count = datCountRule::Fixed;
    int slots = 0;       // records the static place holds
    int staticPlace = 0; // image address of slot 0 in the working area
    datTableUse use = datTableUse::Packed;
    // The default image fills every slot with the table's first record (a blank record).
    bool blankTemplate = false;
    // Bank channels share the static slots of the channels outside banks (PTBL-ID given
    // here) and follow them there; 0 for a table with a place of its own.
    int sharesPlaceWith = 0;

    [[nodiscard]] int StaticBytes() const { return recordSize * slots; }
    [[nodiscard]] int StaticEnd() const { return staticPlace + StaticBytes(); }
};

// The program's table list, packed tables first in packing order (the descriptor table
// last of them), then the unpack-only and prefill-only tables.
[[nodiscard]] std::span<const datTableDef> datTableList();
// The row of ptblId in the program's list, or null.
[[nodiscard]] const datTableDef* datFindTable(int ptblId);
[[nodiscard]] const datTableDef* datFindTable(std::span<const datTableDef> tables, int ptblId);

// Fixed places of the memory map.
inline constexpr int datDynamicBase = 0x03A0;          // first byte of the dynamic area
inline constexpr int datDynamicEnd = 0xFF80;           // one past the dynamic area
inline constexpr int datDescriptorSize = 10;           // bytes of one table descriptor
inline constexpr int datDescriptorCopyPlace = 0x1A8B2; // the descriptor copy in the working area
inline constexpr int datDescriptorCopySlots = 90;      // descriptors the copy holds
inline constexpr int datModeMirrorPlace = 0x1AC3A;       // 32-bit copy of the mode byte 0x2A8
inline constexpr int datHeaderMirrorPlace = 0x1AC3E;     // 32-bit copy of the header byte 0x2A9
inline constexpr int datRepeaterTableId = 43;            // repeater records, used count above
inline constexpr int datDigitalPartTableId = 45;         // digital part of each bank channel

// Problems of a table list, one text each; empty when sound: a PTBL-ID twice, a static place
// outside the working area, static places that overlap (except a bank-channel table on the
// place it declares to share), or bank-channel tables not packed one after the other.
[[nodiscard]] std::vector<std::string> datTableProblems(std::span<const datTableDef> tables);
// The start-up self check of the program's list: the first problem is a fatal stop.
void datSelfCheckTables();
void datSelfCheckTables(std::span<const datTableDef> tables);
