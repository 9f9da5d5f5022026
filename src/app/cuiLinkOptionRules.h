#pragma once
// What the link option dialogs accept: serial port numbers, the network adaptor's IPv4
// address and TCP port, the clone password, the read/write password and the adjust-read
// password, and the accessory dialog's dotted addresses. Each answers the accepted value,
// or none for a text the dialog refuses with its message.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr int cuiMaxComPort = 256;
inline constexpr int cuiMinTcpPort = 1024;
inline constexpr int cuiMaxTcpPort = 65535;
inline constexpr std::size_t cuiMaxClonePassword = 16;
inline constexpr std::size_t cuiMaxReadWritePassword = 16;
inline constexpr std::size_t cuiAdjustPasswordBytes = 8;

// A port number typed into the plain port dialog: decimal digits, blanks around allowed,
// 1 to 256.
[[nodiscard]] std::optional<int> cuiComPortOfText(std::string_view text);
// A port number from 1 to 256 (what the port list's choice names).
[[nodiscard]] std::optional<int> cuiComPortInRange(int number);
// Four decimal numbers of 1 to 3 digits, 0 to 255, joined by three dots; the answer is the
// address rebuilt without leading zeros (010.000.000.001 gives 10.0.0.1).
[[nodiscard]] std::optional<std::string> cuiNormalIpAddress(std::string_view text);
// A whole decimal number from 1024 to 65535.
[[nodiscard]] std::optional<int> cuiTcpPortOfText(std::string_view text);
// 1 to 16 characters.
[[nodiscard]] bool cuiClonePasswordAccepted(std::string_view password);
// The read/write password of both fields: both empty (no password), or equal, at most 16
// characters and not only blanks. The answer is the password (empty for none).
[[nodiscard]] std::optional<std::string> cuiReadWritePassword(std::string_view first,
                                                              std::string_view second);
// The read/write password as the radio stores it: 16 bytes padded with zero bytes.
[[nodiscard]] std::array<std::uint8_t, cuiMaxReadWritePassword> cuiPaddedPassword(std::string_view password);
// The adjust-read password typed matches the stored one: 1 to 8 characters, the first 8
// bytes of both padded with zero bytes compare equal.
[[nodiscard]] bool cuiAdjustPasswordMatches(std::string_view typed, std::string_view stored);
// A dotted address of the accessory dialog: at least 5 characters, exactly four parts
// between dots, each a whole number from 0 to 255.
[[nodiscard]] std::optional<std::array<std::uint8_t, 4>> cuiDottedAddress(std::string_view text);
