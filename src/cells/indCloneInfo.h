#pragma once
// The clone information record: the 137 information bytes of the radio's 0xE1 answer, with
// the radio's model words. The clone sequences take from it the password flags, the last
// memory address, the main revision (write handshake, frequency-limit fix-up) and the
// memory map revision; the clone information window shows it through the CL_CloneInfo_
// cells, whose texts are made here.
#include "cells/clLogic.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr int indCloneInfoSize = 137;

struct indCloneInfo {
    std::array<std::uint8_t, indCloneInfoSize> bytes{};
    // The radio's model words from its answer, and whether word 1 was the model's
    // alternative word 1.
    std::uint16_t word1 = 0;
    std::uint16_t word2 = 0;
    bool altMatched = false;

    [[nodiscard]] std::uint8_t At(int offset) const { return bytes[static_cast<std::size_t>(offset)]; }
    // The ASCII text of count bytes from offset, as stored.
    [[nodiscard]] std::string Text(int offset, int count) const;

    // Main revision (high nibble major, low nibble minor; 0 wants the older write handshake).
    [[nodiscard]] std::uint8_t MainRevision() const { return At(34); }
    [[nodiscard]] std::uint8_t MapRevision() const { return At(35); }
    // Byte 53: bit 3 the radio has a clone password; bit 4 it is not wanted for reading.
    [[nodiscard]] bool HasPassword() const { return (At(53) & 0x08) != 0; }
    [[nodiscard]] bool PasswordNeededForRead() const { return HasPassword() && (At(53) & 0x10) == 0; }
    // The last memory address: four hexadecimal characters at 56, either case; any other
    // character counts 0.
    [[nodiscard]] int LastAddress() const;
    // The 12 characters of the electronic serial number.
    [[nodiscard]] std::string SerialNumber() const { return Text(37, 12); }

    [[nodiscard]] bool DspPresent() const { return (At(51) & 0x01) == 0 && (At(51) & 0x30) != 0; }
    [[nodiscard]] bool FrontPresent() const { return (At(52) & 0x40) != 0; }
    // MCU, SCU and PC board.
    [[nodiscard]] bool BoardsPresent() const { return (At(52) & 0x80) != 0; }
    [[nodiscard]] bool BoardAddressPresent() const { return (At(53) & 0x01) != 0; }
    [[nodiscard]] bool OverVoltage() const { return (At(53) & 0x20) != 0; }
};

// The built-in record the sample command shows instead of asking a radio.
[[nodiscard]] indCloneInfo indSampleCloneInfo();

// The text a CL_CloneInfo_ cell shows for the record ("" for any other logic and for the
// clone information logics without a text of their own).
[[nodiscard]] std::string indCloneInfoText(const indCloneInfo& info, clLogic logic);
