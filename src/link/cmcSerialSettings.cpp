#include "link/cmcSerialSettings.h"

#include "base/cmcText.h"

#include <algorithm>

namespace {
// Leading decimal digits after leading blanks, as a C conversion reads them; 0 when none.
int LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), 1'000'000'000);
    return static_cast<int>(value);
}
} // namespace

cmcSerialSettings ParseSerialSettings(std::string_view text)
{
    cmcSerialSettings s;
    const auto baud = FieldOf(text, ',', 0);
    const auto parity = FieldOf(text, ',', 1);
    const auto data = FieldOf(text, ',', 2);
    const auto stop = FieldOf(text, ',', 3);
    s.complete = baud && parity && data && stop;

    s.baud = LeadingNumber(baud.value_or(""));
    const std::string parityText = TrimBlanks(parity.value_or(""));
    const char letter = parityText.empty() ? '\0' : parityText.front();
    s.parityCheck = letter == 'M' || letter == 'm' || letter == 'O' || letter == 'o';
    s.dataBits = std::clamp(LeadingNumber(data.value_or("")), 4, 8);
    const std::string stopText = TrimBlanks(stop.value_or(""));
    s.stopBits = stopText == "1.5" ? cmcStopBits::OneAndHalf
                 : stopText == "2" ? cmcStopBits::Two
                                   : cmcStopBits::One;
    return s;
}
