#pragma once
// The image a clone write sends: a copy of the working image prepared as before a save
// (the layout fold-back, identification, summary fields and sorted lists), with the
// two-tone decode windows recomputed for the radio's revision, packed with fill, the
// radio's memory map revision in the mode byte, and the ranges ending at the last
// 128-byte block of the used dynamic area.
#include "image/AddressRange.h"

#include <cstdint>

class cmcEeprom;
class indDocument;
struct indCloneInfo;

// Two-tone codes (record kind 9, all 11 slots): each decode window becomes edge x (1 - p)
// to edge x (1 + p), rounded to the nearest hertz and kept within the 12-bit fields; p is
// 0.03 for main revisions below 0x10 and 0x10 itself, 0.02 from 0x11 on.
void indFixFrequencyLimits(cmcEeprom& image, std::uint8_t mainRevision);
// The p of the fix-up for a main revision.
[[nodiscard]] double indFrequencyLimitMargin(std::uint8_t mainRevision);

// Prepares copy from the document's working image for a write to the radio described by
// info; ranges become those of the write (from 0x0000 in the maker mode, else from 0x02A0).
// False when the tables do not fit into the radio's memory (the overflow message has been
// shown): such an image must not reach the radio.
[[nodiscard]] bool indPrepareWriteImage(indDocument& document, const indCloneInfo& info, bool makerMode,
                                        cmcEeprom& copy, AddressRangeList& ranges);
