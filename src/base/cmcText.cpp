#include "base/cmcText.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
std::optional<std::string> fieldAt(std::string_view text, int i, auto isSeparator)
{
    if (i < 0)
        return std::nullopt;
    std::size_t begin = 0;
    for (int field = 0; field < i; ++field) {
        std::size_t pos = begin;
        while (pos < text.size() && !isSeparator(text[pos]))
            ++pos;
        if (pos >= text.size())
            return std::nullopt;
        begin = pos + 1;
    }
    std::size_t end = begin;
    while (end < text.size() && !isSeparator(text[end]))
        ++end;
    return std::string(text.substr(begin, end - begin));
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<std::string> FieldOf(std::string_view text, char sep, int i)
{
    return fieldAt(text, i, [sep](char c) { return c == sep; });
}

std::optional<std::string> FieldOfAny(std::string_view text, std::string_view seps, int i)
{
    return fieldAt(text, i, [seps](char c) { return seps.find(c) != std::string_view::npos; });
}

std::string TrimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string RemoveBlanks(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (!isBlank(c))
            out += c;
    return out;
}

std::string EscapeAmpersands(std::string_view text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '&')
            out += '&';
    }
    return out;
}

bool IsPrintableAscii(std::string_view text)
{
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u > 126)
            return false;
    }
    return true;
}

std::string HexEncodeText(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        out += digits[u >> 4];
        out += digits[u & 0x0F];
    }
    return out;
}

std::string HexDecodeText(std::string_view hex)
{
    std::string out;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (std::size_t k = i; k < i + 2 && k < hex.size(); ++k) {
            const int digit = hexValue(hex[k]);
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }
        out += static_cast<char>(value);
    }
    return out;
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string out;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        out.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(args);
    return out;
}
