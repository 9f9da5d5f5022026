#pragma once
// Dotted decimal IPv4 addresses as the network link takes them: exactly four decimal parts
// of 0 to 255, no host names and none of the shortened or octal forms.
#include <cstdint>
#include <optional>
#include <string_view>

// The address as a number, first part highest; none for any other text.
[[nodiscard]] std::optional<std::uint32_t> ParseDottedIpv4(std::string_view text);
