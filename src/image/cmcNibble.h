#pragma once
// Nibbles of a packed byte array: nibble i lies in byte i/2, the high nibble (bits 7 to 4)
// for even i and the low nibble (bits 3 to 0) for odd i, so digits read left to right.
// The caller makes sure the array holds nibble i.
#include <cstdint>

[[nodiscard]] inline int GetNibble(const std::uint8_t* array, int i)
{
    const std::uint8_t byte = array[i / 2];
    return (i % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
}

// Writes the low 4 bits of v into nibble i; the other nibble of the byte is kept.
inline void SetNibble(std::uint8_t* array, int i, int v)
{
    std::uint8_t& byte = array[i / 2];
    const int nibble = v & 0x0F;
    byte =
        static_cast<std::uint8_t>((i % 2 == 0) ? ((byte & 0x0F) | (nibble << 4)) : ((byte & 0xF0) | nibble));
}
