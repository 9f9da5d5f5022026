#pragma once
// Geometry of this radio family's memory image. The radio memory area is what travels
// over the link and into clone files; the working area above it holds the variable tables
// expanded for editing and never leaves the program.

// Bytes in every document image (0x1AC42).
inline constexpr int cmcImageSize = 109634;
// Last address of the radio memory area (the area starts at 0).
inline constexpr int cmcRadioMemoryEnd = 0xFF7F;
// First address of the working area.
inline constexpr int cmcWorkingAreaStart = 0xFF80;

static_assert(cmcImageSize == 0x1AC42);
static_assert(cmcWorkingAreaStart == cmcRadioMemoryEnd + 1);
static_assert(cmcWorkingAreaStart < cmcImageSize);
