// The frequency codec: typed megahertz snapped to the channel raster and checked against
// the coverage table, the transmit frequency following the receive frequency.
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"

#include <algorithm>
#include <cstdio>

using namespace cmcCodec;

namespace {
constexpr std::uint32_t RasterA = 2500;
constexpr std::uint32_t RasterB = 3125;
constexpr std::uint32_t SearchStep = 625;
constexpr std::uint32_t UhfSplit = 470'000'000; // duplex offsets shrink by 2 MHz from here on
constexpr std::uint32_t UhfOffsetCut = 2'000'000;
constexpr std::size_t CoverageLineLength = 21; // "0:136000000-174000000"

bool OnRaster(std::uint32_t hz)
{
    return hz % RasterA == 0 || hz % RasterB == 0;
}

std::uint32_t ClampFrequency(long long hz)
{
    return static_cast<std::uint32_t>(std::clamp<long long>(hz, 0, cmcMaxFrequency));
}

// The transmit frequency a first receive frequency brings with it.
std::uint32_t TransmitFor(std::uint32_t rx, std::uint32_t duplexOffset)
{
    if (duplexOffset == 0)
        return rx;
    const long long tx = static_cast<long long>(rx) + duplexOffset - (rx >= UhfSplit ? UhfOffsetCut : 0);
    const std::uint32_t clamped =
        static_cast<std::uint32_t>(std::clamp<long long>(tx, 0, cmcMaxTypedFrequency));
    return ClampFrequency(cmcSnapToRaster(clamped).value_or(clamped));
}

// Reads a typed frequency; none (after a message, unless the text was empty) when the text
// is no frequency, lies off the raster or in a refused range.
std::optional<std::uint32_t> ReadFrequency(const std::string& input)
{
    const std::string kept = Keep(input, DigitsDot, 9);
    const std::optional<long long> hz = ReadScaled(kept, 6);
    if (!hz) {
        const std::string typed = TrimBlanks(input);
        if (!typed.empty())
            Refuse("GI_AppMess_ValueErr_Text", typed);
        return std::nullopt;
    }
    const auto clamped = static_cast<std::uint32_t>(std::clamp<long long>(*hz, 0, cmcMaxTypedFrequency));
    const std::optional<std::uint32_t> snapped = cmcSnapToRaster(clamped);
    if (!snapped) {
        Refuse("GI_AppMess_FreqErr_Raster", kept);
        return std::nullopt;
    }
    if (cmcFrequencyRefused(*snapped)) {
        Refuse("GI_AppMess_FreqErr_Coverage", cmcFrequencyText(*snapped));
        return std::nullopt;
    }
    return ClampFrequency(*snapped);
}
} // namespace

std::string cmcFrequencyText(std::uint32_t hz)
{
    return Format("%u.%06u", hz / 1'000'000, hz % 1'000'000);
}

std::optional<std::uint32_t> cmcSnapToRaster(std::uint32_t hz)
{
    // The precision the user typed: the largest power of ten up to 100 kHz dividing hz.
    std::uint32_t precision = 1;
    for (std::uint32_t p = 10; p <= 100'000; p *= 10)
        if (hz % p == 0)
            precision = p;
    std::uint32_t candidate = hz - hz % 100'000;
    while (candidate < hz || !OnRaster(candidate))
        candidate += SearchStep;
    if (candidate <= hz + precision - 1)
        return candidate;
    return std::nullopt;
}

bool cmcFrequencyRefused(std::uint32_t hz)
{
    for (int i = 0;; ++i) {
        const std::string line = MainText().GetEntry("GI_Sys_FCL", i);
        if (line.starts_with('#'))
            return false;
        if (line.size() != CoverageLineLength)
            continue;
        char cls = 0;
        long low = 0;
        long high = 0;
        if (std::sscanf(line.c_str(), "%c:%ld-%ld", &cls, &low, &high) != 3)
            continue;
        if (static_cast<long>(hz) < low || static_cast<long>(hz) > high)
            continue;
        if (cls == '0')
            return false;
        if (cls == '1')
            return true;
    }
}

bool editFrequency(const cmcCodecContext& c, cmcFrequencyPair& f, cmcSide side, std::uint32_t duplexOffset)
{
    cmcCellCapsule& cap = c.capsule;
    const bool receive = side == cmcSide::Receive;
    bool changed = false;

    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        if (const std::optional<std::uint32_t> value = ReadFrequency(cap.input)) {
            changed = true;
            if (receive) {
                const bool wasInUse = f.inUse;
                if (f.tx == f.rx)
                    f.tx = *value;
                f.rx = *value;
                if (*value == 0) {
                    f.inUse = false;
                } else if (!wasInUse) {
                    f.tx = TransmitFor(*value, duplexOffset);
                    f.inUse = true;
                }
            } else {
                f.tx = *value;
            }
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        const std::string current = f.rx == 0 ? std::string() : cmcFrequencyText(receive ? f.rx : f.tx);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, current);
            return false;
        }
        if (key == '.') {
            const std::size_t point = current.find('.');
            if (point == std::string::npos)
                StartEditorWithKey(c);
            else
                StartEditor(c, current, static_cast<int>(point) + 1);
            return false;
        }
        if (key == '=' && !receive) {
            StartEditor(c, f.rx == 0 ? std::string() : cmcFrequencyText(f.rx));
            return false;
        }
        if (IsDigit(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }

    const std::uint32_t value = receive ? f.rx : f.tx;
    const bool blank = receive ? f.rx == 0 : f.txOff;
    if (!receive && !f.txOff && f.rx != 0 && f.tx == f.rx) {
        SetCentred(c);
        Show(c, "<-");
    } else {
        SetRightAligned(c);
        Show(c, receive && f.rx == 0 ? std::string() : cmcFrequencyText(value));
    }
    if (blank)
        cap.fontColour = clOliveColour;
    if (receive && f.rx != 0 && cmcFrequencyRefused(f.rx))
        cap.SetError();
    return changed;
}
