#include "cells/datVudaAdr.h"

#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"

#include <algorithm>

void datVudaAdr::Read(const cmcEeprom& image)
{
    const std::uint8_t place[2] = {image.GetByte(BasePlace), image.GetByte(BasePlace + 1)};
    SetBase(GetBE16(place));
}

void datVudaAdr::Write(cmcEeprom& image) const
{
    std::uint8_t place[2];
    SetBE16(place, base_);
    image.SetByte(BasePlace, place[0]);
    image.SetByte(BasePlace + 1, place[1]);
}

void datVudaAdr::SetBase(int base)
{
    base_ = std::clamp(base, 0, HighestAddress);
}

std::array<datAddressRange, 7> datVudaAdr::BasePairs() const
{
    std::array<datAddressRange, 7> pairs;
    pairs.fill(Group());
    return pairs;
}

std::array<datAddressRange, 32> datVudaAdr::FullPairs() const
{
    std::array<datAddressRange, 32> pairs;
    pairs.fill(datAddressRange{0, HighestAddress});
    return pairs;
}
