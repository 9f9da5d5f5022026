#include "image/cmcEeprom.h"

#include "base/cmcFatal.h"

#include <algorithm>
#include <cstring>

void cmcEeprom::SetSize(int n)
{
    if (n != size_) {
        bytes_.reset();
        size_ = 0;
        if (n > 0) {
            bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(n));
            size_ = n;
        }
    }
    Fill(0);
}

void cmcEeprom::Fill(std::uint8_t v)
{
    if (size_ > 0)
        std::memset(bytes_.get(), v, static_cast<std::size_t>(size_));
}

void cmcEeprom::SetByte(int a, std::uint8_t v)
{
    if (!IsValidAddress(a))
        cmcFatalStop("Out of EEPROM image address (SetByte).");
    bytes_[static_cast<std::size_t>(a)] = v;
}

std::uint8_t cmcEeprom::GetByte(int a) const
{
    if (!IsValidAddress(a))
        cmcFatalStop("Out of EEPROM image address (GetByte).");
    return bytes_[static_cast<std::size_t>(a)];
}

bool cmcEeprom::holdsBlock(int a, int n) const
{
    // Summed in 64 bits so that a huge count cannot wrap around into the image.
    return IsValidAddress(a) && n > 0 && static_cast<long long>(a) + n <= size_;
}

void cmcEeprom::WriteBlock(int a, const std::uint8_t* src, int n)
{
    if (holdsBlock(a, n))
        std::memmove(bytes_.get() + a, src, static_cast<std::size_t>(n));
}

void cmcEeprom::ReadBlock(int a, std::uint8_t* dst, int n) const
{
    if (holdsBlock(a, n))
        std::memmove(dst, bytes_.get() + a, static_cast<std::size_t>(n));
}

void cmcEeprom::CopyFrom(const cmcEeprom& other)
{
    // Copying an image onto itself would clear it first and then copy the zeros back.
    if (&other == this)
        return;
    SetSize(other.size_);
    other.ReadBlock(0, bytes_.get(), size_);
}

bool cmcEeprom::Equals(const cmcEeprom& other) const
{
    if (size_ != other.size_)
        return false;
    return size_ == 0 || std::equal(bytes_.get(), bytes_.get() + size_, other.bytes_.get());
}
