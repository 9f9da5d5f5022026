#pragma once
// Images for the memory-map and model-data tests: document images with deterministic
// pseudo-random static forms, and a reader of the packed form's descriptor list.
#include "cells/datMemoryMap.h"
#include "image/cmcBigEndian.h"
#include "image/cmcEeprom.h"
#include "image/cmcImageGeometry.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace mapfix {

struct Descriptor {
    int ptblId = 0;
    int recordSize = 0;
    int count = 0;
    int address = 0;
};

inline std::unique_ptr<cmcEeprom> NewImage()
{
    auto image = std::make_unique<cmcEeprom>();
    image->SetSize(cmcImageSize);
    return image;
}

// Every byte of the working area from a small linear congruential generator.
inline void FillWorkingArea(cmcEeprom& image, std::uint32_t seed)
{
    std::uint8_t* b = image.Bytes();
    std::uint32_t x = seed;
    for (int a = cmcWorkingAreaStart; a < cmcImageSize; ++a) {
        x = x * 1664525u + 1013904223u;
        b[a] = static_cast<std::uint8_t>(x >> 24);
    }
}

inline int BE16(const cmcEeprom& image, int a)
{
    return GetBE16(image.Bytes() + a);
}
inline void SetBE16At(cmcEeprom& image, int a, int v)
{
    SetBE16(image.Bytes() + a, v);
}

// Sets the counts the packer reads; bit 6 of 0x10BA7 as given.
inline void SetCounts(cmcEeprom& image, int bankChannels, int ids, int talkGroups,
                      bool keepChannelTables = false)
{
    SetBE16At(image, datBankCountPlace, bankChannels);
    SetBE16At(image, datIndividualIdCountPlace, ids);
    SetBE16At(image, datTalkGroupCountPlace, talkGroups);
    std::uint8_t& flags = image.Bytes()[datChannelBlockFlagPlace];
    flags = keepChannelTables ? static_cast<std::uint8_t>(flags | 0x40)
                              : static_cast<std::uint8_t>(flags & ~0x40);
}

// The descriptor list the packed form names at 0x2C0 (empty without one).
inline std::vector<Descriptor> Descriptors(const cmcEeprom& image)
{
    const std::uint8_t* b = image.Bytes();
    std::vector<Descriptor> list;
    if (GetBE16(b + datDescriptorTablePlace) != 1)
        return list;
    const int count = GetBE16(b + datDescriptorTablePlace + 4);
    const int address = GetBE16(b + datDescriptorTablePlace + 6);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = b + address + datDescriptorSize * i;
        list.push_back({GetBE16(p), GetBE16(p + 2), GetBE16(p + 4), GetBE16(p + 6)});
    }
    return list;
}

inline const Descriptor* Find(const std::vector<Descriptor>& list, int ptblId)
{
    for (const Descriptor& d : list) {
        if (d.ptblId == ptblId)
            return &d;
    }
    return nullptr;
}

inline bool SameBytes(const cmcEeprom& a, const cmcEeprom& b, int address, int n)
{
    return std::memcmp(a.Bytes() + address, b.Bytes() + address, n) == 0;
}

// n bytes at two addresses of one image are equal.
inline bool SameRecords(const cmcEeprom& image, int a, int b, int n)
{
    return std::memcmp(image.Bytes() + a, image.Bytes() + b, n) == 0;
}

// A target image for unpacking: its own working area (seed), the source's radio memory area.
inline std::unique_ptr<cmcEeprom> RadioCopy(const cmcEeprom& source, std::uint32_t seed)
{
    auto target = NewImage();
    FillWorkingArea(*target, seed);
    std::memcpy(target->Bytes(), source.Bytes(), cmcWorkingAreaStart);
    return target;
}

} // namespace mapfix
