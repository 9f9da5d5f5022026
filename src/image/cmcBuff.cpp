#include "image/cmcBuff.h"

#include "base/cmcFatal.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace {
// Value of the storage bytes that a growth adds beyond the old content.
constexpr std::uint8_t growthFill = 0;

std::unique_ptr<std::uint8_t[]> newStorage(int n)
{
    return std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(n));
}
} // namespace

cmcBuff::cmcBuff()
{
    Clear();
}

cmcBuff::cmcBuff(const cmcBuff& other) : cmcBuff()
{
    Assign(other);
}

cmcBuff& cmcBuff::operator=(const cmcBuff& other)
{
    Assign(other);
    return *this;
}

void cmcBuff::Clear()
{
    storage_ = newStorage(1);
    storage_[0] = growthFill;
    data_ = storage_.get();
    size_ = 0;
    capacity_ = 1;
}

std::unique_ptr<std::uint8_t[]> cmcBuff::resizeKeepingOld(int n)
{
    n = std::max(n, 0);
    std::unique_ptr<std::uint8_t[]> old;
    if (n > capacity_) {
        // Computed in 64 bits: the quarter of a large size must not wrap the capacity.
        const long long wanted = static_cast<long long>(n) + size_ / 4;
        const int capacity = static_cast<int>(std::clamp<long long>(wanted, 1, INT_MAX));
        auto grown = newStorage(capacity);
        std::memcpy(grown.get(), data_, static_cast<std::size_t>(size_));
        std::memset(grown.get() + size_, growthFill, static_cast<std::size_t>(capacity - size_));
        old = std::exchange(storage_, std::move(grown));
        data_ = storage_.get();
        capacity_ = capacity;
    }
    size_ = n;
    return old;
}

int cmcBuff::Resize(int n)
{
    resizeKeepingOld(n);
    return size_;
}

std::uint8_t* cmcBuff::At(int i)
{
    if (i < 0 || i >= size_)
        cmcFatalStop("Out of cmcBuff element !");
    return data_ + i;
}

const std::uint8_t* cmcBuff::At(int i) const
{
    if (i < 0 || i >= size_)
        cmcFatalStop("Out of cmcBuff element !");
    return data_ + i;
}

void cmcBuff::Assign(const std::uint8_t* src, int n)
{
    const auto old = resizeKeepingOld(n);
    if (size_ > 0)
        std::memmove(data_, src, static_cast<std::size_t>(size_));
}

void cmcBuff::Assign(const cmcBuff& other)
{
    if (&other != this)
        Assign(other.data_, other.size_);
}

void cmcBuff::Append(const std::uint8_t* src, int n)
{
    if (n <= 0)
        return;
    const int oldSize = size_;
    const auto old = resizeKeepingOld(oldSize + n);
    std::memmove(data_ + oldSize, src, static_cast<std::size_t>(n));
}

void cmcBuff::Append(const cmcBuff& other)
{
    Append(other.data_, other.size_);
}

void cmcBuff::AppendByte(std::uint8_t v)
{
    const int oldSize = size_;
    Resize(oldSize + 1);
    data_[oldSize] = v;
}

void cmcBuff::AppendFill(std::uint8_t v, int n)
{
    if (n <= 0)
        return;
    const int oldSize = size_;
    Resize(oldSize + n);
    std::memset(data_ + oldSize, v, static_cast<std::size_t>(n));
}

void cmcBuff::FillAll(std::uint8_t v)
{
    if (size_ > 0)
        std::memset(data_, v, static_cast<std::size_t>(size_));
}

int cmcBuff::PopFront()
{
    if (size_ <= 0)
        return -1;
    const int front = *data_;
    ++data_;
    --size_;
    --capacity_;
    if (Consumed() > CompactAfter)
        Compact();
    return front;
}

void cmcBuff::Compact()
{
    const int capacity = std::max(size_, 1);
    auto compacted = newStorage(capacity);
    compacted[0] = growthFill;
    std::memcpy(compacted.get(), data_, static_cast<std::size_t>(size_));
    storage_ = std::move(compacted);
    data_ = storage_.get();
    capacity_ = capacity;
}
