#pragma once
// Structural changes of a record table: inserting a blank record, removing one, and
// carrying a block of records one place up or down. The references other tables hold to
// the records follow them:
//   channels        the scan lists' transmit, priority 1 and priority 2 channels (only
//                   with the scan-list switch on);
//   individual IDs  the reference at 0x17623 and every used channel's individual-ID list;
//   talk groups     every used channel's talk-group list.
// Priority, third-channel and home-repeater marks are status bits and move with their
// records. The program's model switches (datSwitches) apply. Used counts and the packed
// form are the caller's business.
#include "cells/datSwitches.h"

class cmcEeprom;

// Result flags of a cell-logic run: which visible cells to repaint.
inline constexpr int datFlagSame = 1;     // the cell itself
inline constexpr int datFlagCategory = 2; // cells of the same category
inline constexpr int datFlagLogic = 4;    // cells with the same logic
inline constexpr int datFlagRecord = 8;   // cells of the same record
inline constexpr int datFlagNeighbours = 16;
inline constexpr int datFlagAll = 32;
inline constexpr int datFlagBefore = 64;
inline constexpr int datFlagAfter = 128;

// Removes record position of a table of slots records: references to it become 0 (a scan
// list's fixed-channel modes reset), later references drop by one, records after it move
// down one slot (status bits 4 and 5 stay with the slot; a repeater that changes site loses
// its home mark) and the last slot gets the default image's record. Answers the result
// flags (record and all), 0 when position is not a slot.
int removeRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int slots, int position);

// Inserts a blank record at position: references at or after it rise by one (a reference to
// the record pushed out of the last slot is dropped like a removed one), records from it on
// move up one slot, and slot position gets the default image's record.
int insertRecord(cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int slots, int position);

// Moves records first .. last one place (direction -1 up, +1 down); the record on the other
// side fills the freed place. Marks travel with their records. False, and nothing changes,
// when the place beyond the block is not a slot.
bool datCarryBlock(cmcEeprom& image, int kind, int first, int last, int direction);

// Whether a record holds data: channels, repeaters and the ID lists by their own rule (see
// datCh), any other kind when it differs from the default image's record.
[[nodiscard]] bool datRecordInUse(const cmcEeprom& image, const cmcEeprom& defaultImage, int kind, int index);
