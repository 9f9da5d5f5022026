#include "base/cmcHashTable.h"

std::uint32_t cmcHashValue(std::string_view key, std::uint32_t buckets)
{
    const std::uint32_t firstStep = buckets / 2;
    std::uint32_t step = firstStep;
    std::uint32_t h = 0; // wraps modulo 2^32
    for (std::size_t i = 0; i < key.size(); ++i) {
        const auto c = static_cast<std::int32_t>(static_cast<signed char>(key[i]));
        h = 2 * h + step + static_cast<std::uint32_t>(c);
        const auto next = i + 1 < key.size() ? static_cast<unsigned char>(key[i + 1]) : 0U;
        if ((next & 1U) != 0) {
            step /= 2;
            if (step == 0)
                step = firstStep;
        }
    }
    return h;
}
