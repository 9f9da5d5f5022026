#pragma once
// Big-endian numbers on a byte pointer: the radio keeps every 16- and 32-bit number most
// significant byte first. The caller makes sure the bytes exist.
#include <cstdint>

[[nodiscard]] inline int GetBE16(const std::uint8_t* p)
{
    return (static_cast<int>(p[0]) << 8) | static_cast<int>(p[1]);
}

// Writes the low 16 bits of v.
inline void SetBE16(std::uint8_t* p, int v)
{
    p[0] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    p[1] = static_cast<std::uint8_t>(v & 0xFF);
}

[[nodiscard]] inline std::uint32_t GetBE32(const std::uint8_t* p)
{
    return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
           (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline void SetBE32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>((v >> 24) & 0xFF);
    p[1] = static_cast<std::uint8_t>((v >> 16) & 0xFF);
    p[2] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    p[3] = static_cast<std::uint8_t>(v & 0xFF);
}
