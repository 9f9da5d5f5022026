#include "image/cmcPackedBcd.h"

#include "image/cmcNibble.h"

void cmcPackedBcd::StoreNibbles(std::uint8_t* dst) const
{
    const std::uint8_t* digits = Data();
    for (int i = 0; i < Size(); ++i)
        SetNibble(dst, i, digits[i]);
}
