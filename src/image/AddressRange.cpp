#include "image/AddressRange.h"

#include <algorithm>
#include <numeric>

std::size_t AddressRangeList::countInForce() const
{
    const auto ending =
        std::find_if(pairs_.begin(), pairs_.end(), [](const AddressRange& r) { return r.EndsList(); });
    return static_cast<std::size_t>(ending - pairs_.begin());
}

std::span<const AddressRange> AddressRangeList::Ranges() const
{
    return {pairs_.data(), countInForce()};
}

std::span<AddressRange> AddressRangeList::Ranges()
{
    return {pairs_.data(), countInForce()};
}

bool AddressRangeList::Contains(int address) const
{
    const auto ranges = Ranges();
    return std::any_of(ranges.begin(), ranges.end(),
                       [address](const AddressRange& r) { return r.Contains(address); });
}

long long AddressRangeList::ByteCount() const
{
    const auto ranges = Ranges();
    return std::accumulate(ranges.begin(), ranges.end(), 0LL,
                           [](long long sum, const AddressRange& r) { return sum + r.Length(); });
}
