#pragma once
// Text helpers shared by every layer. Texts are std::string of UTF-8 bytes; a multi-byte
// character never contains an ASCII byte, so splitting at an ASCII separator never cuts one.
#include <optional>
#include <string>
#include <string_view>

// Field i (from 0) of text split at sep; none when the text has fewer fields. An empty
// text has one empty field.
std::optional<std::string> FieldOf(std::string_view text, char sep, int i);
// The same, split at any character of seps.
std::optional<std::string> FieldOfAny(std::string_view text, std::string_view seps, int i);

// Blanks and tabs removed at both ends.
std::string TrimBlanks(std::string_view text);
// Every blank and tab removed.
std::string RemoveBlanks(std::string_view text);
// "&" doubled, for menu captions.
std::string EscapeAmpersands(std::string_view text);
// True when every byte is printable ASCII (32 to 126).
bool IsPrintableAscii(std::string_view text);
inline bool InRange(long long value, long long low, long long high) { return value >= low && value <= high; }

// Each byte as two upper-case hexadecimal digits.
std::string HexEncodeText(std::string_view text);
// Two characters at a time, each pair read as a hexadecimal number (leading hex digits
// only, like a C conversion); an odd last character is read alone.
std::string HexDecodeText(std::string_view hex);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
