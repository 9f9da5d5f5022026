#pragma once
// A digit string: a cmcBuff whose elements each hold one digit value 0 to 15 (appended with
// AppendByte), stored into memory as packed nibbles, first digit in the high nibble.
#include "image/cmcBuff.h"

#include <cstdint>

class cmcPackedBcd : public cmcBuff {
public:
    // Writes element i into nibble i of dst for every element; dst must hold (Size()+1)/2
    // bytes. With an odd count the low nibble of the last byte is left as it was.
    void StoreNibbles(std::uint8_t* dst) const;
};
