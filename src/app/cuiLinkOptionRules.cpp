#include "app/cuiLinkOptionRules.h"

#include "base/cmcText.h"

#include <vector>

namespace {

// A whole decimal number (digits only, at least one, at most maxDigits).
std::optional<long> decimal(std::string_view text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::vector<std::string_view> split(std::string_view text, char sep)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(sep, start);
        parts.push_back(
            text.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

} // namespace

std::optional<int> cuiComPortOfText(std::string_view text)
{
    const std::optional<long> number = decimal(TrimBlanks(text), 4);
    return number ? cuiComPortInRange(static_cast<int>(*number)) : std::nullopt;
}

std::optional<int> cuiComPortInRange(int number)
{
    return number >= 1 && number <= cuiMaxComPort ? std::optional<int>(number) : std::nullopt;
}

std::optional<std::string> cuiNormalIpAddress(std::string_view text)
{
    const std::vector<std::string_view> parts = split(text, '.');
    if (parts.size() != 4)
        return std::nullopt;
    std::string normal;
    for (const std::string_view part : parts) {
        const std::optional<long> value = decimal(part, 3);
        if (!value || *value > 255)
            return std::nullopt;
        if (!normal.empty())
            normal += '.';
        normal += std::to_string(*value);
    }
    return normal;
}

std::optional<int> cuiTcpPortOfText(std::string_view text)
{
    const std::optional<long> value = decimal(TrimBlanks(text), 5);
    if (!value || *value < cuiMinTcpPort || *value > cuiMaxTcpPort)
        return std::nullopt;
    return static_cast<int>(*value);
}

bool cuiClonePasswordAccepted(std::string_view password)
{
    return !password.empty() && password.size() <= cuiMaxClonePassword;
}

std::optional<std::string> cuiReadWritePassword(std::string_view first, std::string_view second)
{
    if (first.empty() && second.empty())
        return std::string();
    if (first != second || first.size() > cuiMaxReadWritePassword ||
        first.find_first_not_of(' ') == std::string_view::npos)
        return std::nullopt;
    return std::string(first);
}

std::array<std::uint8_t, cuiMaxReadWritePassword> cuiPaddedPassword(std::string_view password)
{
    std::array<std::uint8_t, cuiMaxReadWritePassword> bytes{};
    for (std::size_t i = 0; i < password.size() && i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(password[i]);
    return bytes;
}

bool cuiAdjustPasswordMatches(std::string_view typed, std::string_view stored)
{
    if (typed.empty() || typed.size() > cuiAdjustPasswordBytes)
        return false;
    for (std::size_t i = 0; i < cuiAdjustPasswordBytes; ++i) {
        const char a = i < typed.size() ? typed[i] : '\0';
        const char b = i < stored.size() ? stored[i] : '\0';
        if (a != b)
            return false;
    }
    return true;
}

std::optional<std::array<std::uint8_t, 4>> cuiDottedAddress(std::string_view text)
{
    if (text.size() < 5)
        return std::nullopt;
    const std::vector<std::string_view> parts = split(text, '.');
    if (parts.size() != 4)
        return std::nullopt;
    std::array<std::uint8_t, 4> octets{};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<long> value = decimal(parts[i], 3);
        if (!value || *value > 255)
            return std::nullopt;
        octets[i] = static_cast<std::uint8_t>(*value);
    }
    return octets;
}
