#pragma once
// The address plan of the data-signalling (MSK) system: the 16-bit base address at 0x11C0F
// and the default address ranges the MSK address-range cells derive from it. Addresses
// are twelve bits (0 to 4095); the individual range runs from 0 to base - 1, the group
// range from base to 4095, seven further range pairs start at base and end at 4095, and
// thirty-two pairs run from 0 to 4095. A stored base above 4095 counts as 4095.
#include <array>

class cmcEeprom;

struct datAddressRange {
    int low = 0;
    int high = -1; // below low: an empty range

    [[nodiscard]] bool Holds(int address) const { return address >= low && address <= high; }
};

class datVudaAdr {
public:
    static constexpr int BasePlace = 0x11C0F;
    static constexpr int HighestAddress = 4095;

    void Read(const cmcEeprom& image);
    // Stores the base address back (the ranges follow from it).
    void Write(cmcEeprom& image) const;

    [[nodiscard]] int Base() const { return base_; }
    void SetBase(int base);

    [[nodiscard]] datAddressRange Individual() const { return {0, base_ - 1}; }
    [[nodiscard]] datAddressRange Group() const { return {base_, HighestAddress}; }
    [[nodiscard]] std::array<datAddressRange, 7> BasePairs() const;
    [[nodiscard]] std::array<datAddressRange, 32> FullPairs() const;

private:
    int base_ = 0;
};
