#pragma once
// The memory image: a flat, fixed-size copy of the radio's memory. Sheet cells read and
// write it by address, the clone manager fills it from the radio and sends it back, clone
// files store it. Addresses and counts are signed 32-bit.
#include <cstdint>
#include <memory>

class cmcEeprom {
public:
    cmcEeprom() = default;
    // Images are large and cells keep the address of the working image's array, so an
    // image is never copied or moved implicitly: CopyFrom copies the content.
    cmcEeprom(const cmcEeprom&) = delete;
    cmcEeprom& operator=(const cmcEeprom&) = delete;

    // n <= 0 empties the image. Otherwise the image holds n zero bytes afterwards; when n
    // is the current size the array is kept (its address stays valid) and only cleared.
    void SetSize(int n);
    [[nodiscard]] int GetSize() const { return size_; }
    [[nodiscard]] bool IsValidAddress(int a) const { return a >= 0 && a < size_; }

    void Fill(std::uint8_t v);
    // a must be valid: an address outside the image is a fault of the program's own
    // definitions and stops it.
    void SetByte(int a, std::uint8_t v);
    [[nodiscard]] std::uint8_t GetByte(int a) const;

    // Copy n bytes to or from addresses a to a+n-1; all or nothing: when the block does
    // not lie wholly inside the image (or n <= 0) nothing is copied.
    void WriteBlock(int a, const std::uint8_t* src, int n);
    void ReadBlock(int a, std::uint8_t* dst, int n) const;

    // Makes this image an exact copy of other in size and content.
    void CopyFrom(const cmcEeprom& other);
    // Same size and same bytes (two empty images are equal).
    [[nodiscard]] bool Equals(const cmcEeprom& other) const;
    [[nodiscard]] bool Differs(const cmcEeprom& other) const { return !Equals(other); }

    // The byte array itself (null when empty), for code that addresses the image directly.
    [[nodiscard]] std::uint8_t* Bytes() { return bytes_.get(); }
    [[nodiscard]] const std::uint8_t* Bytes() const { return bytes_.get(); }

private:
    [[nodiscard]] bool holdsBlock(int a, int n) const;

    int size_ = 0;
    std::unique_ptr<std::uint8_t[]> bytes_; // exactly size_ bytes; null when size_ is 0
};
