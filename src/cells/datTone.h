#pragma once
// The two-byte tone field of a channel (and of a tone entry): bit 7 of the first byte clear
// means the tone is on; bit 6 set means DTCS, with bit 5 the inversion and bit 0 with the
// second byte the 9-bit code; for CTCSS the second byte is the tone index. Encoding keeps
// the bits the field does not name.
#include <cstdint>

struct datTone {
    bool on = false;
    bool dtcs = false;
    bool inverted = false;
    int toneIndex = 0; // CTCSS: the second byte
    int dtcsCode = 0;  // DTCS: 0 to 511

    friend bool operator==(const datTone&, const datTone&) = default;
};

[[nodiscard]] inline datTone datDecodeTone(std::uint16_t raw)
{
    const int high = raw >> 8;
    const int low = raw & 0xFF;
    datTone t;
    t.on = (high & 0x80) == 0;
    t.dtcs = (high & 0x40) != 0;
    t.inverted = (high & 0x20) != 0;
    t.toneIndex = low;
    t.dtcsCode = ((high & 0x01) << 8) | low;
    return t;
}

// The field with the tone's bits written over previous.
[[nodiscard]] inline std::uint16_t datEncodeTone(std::uint16_t previous, const datTone& t)
{
    int high = previous >> 8;
    high = (high & ~0xE0) | (t.on ? 0 : 0x80) | (t.dtcs ? 0x40 : 0) | (t.inverted ? 0x20 : 0);
    int low = 0;
    if (t.dtcs) {
        high = (high & ~0x01) | ((t.dtcsCode >> 8) & 0x01);
        low = t.dtcsCode & 0xFF;
    } else {
        low = t.toneIndex & 0xFF;
    }
    return static_cast<std::uint16_t>((high << 8) | low);
}
