#include "link/cmcIpv4Address.h"

std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text)
{
    std::uint32_t address = 0;
    int parts = 0;
    std::size_t i = 0;
    while (true) {
        int value = 0;
        int digits = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            if (++digits > 3)
                return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        if (digits == 0 || value > 255)
            return std::nullopt;
        address = (address << 8) | static_cast<std::uint32_t>(value);
        ++parts;
        if (i == text.size())
            break;
        if (text[i] != '.' || parts == 4)
            return std::nullopt;
        ++i;
    }
    if (parts != 4)
        return std::nullopt;
    return address;
}
