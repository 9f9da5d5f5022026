// Timer codecs: seconds with a unit of 1/u second, and minutes:seconds in units of c seconds.
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"

#include <algorithm>
#include <cctype>
#include <cmath>

using namespace cmcCodec;

namespace {
int StepWrapped(int value, int delta, int lowest, int highest)
{
    const int next = value + delta;
    if (next > highest)
        return lowest;
    if (next < lowest)
        return highest;
    return next;
}

// A text whose letters spell "of" or "off", in any case.
bool IsOffText(std::string_view text)
{
    std::string letters;
    for (char ch : text)
        if (std::isalpha(static_cast<unsigned char>(ch)))
            letters.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
    return letters == "of" || letters == "off";
}

std::string OffText()
{
    return MainText().GetText("GI_AppInd_TimerOff");
}
} // namespace

bool editSeconds(const cmcCodecContext& c, int& value, const cmcSecondsForm& form)
{
    cmcCellCapsule& cap = c.capsule;
    const double units = form.unitsPerSecond > 0 ? form.unitsPerSecond : 1;
    auto text = [&](int v) {
        const auto thousandths = static_cast<long long>(std::floor(v * 1000.0 / units + 1e-9));
        std::string s = Format("%3lld.%03lld", thousandths / 1000, thousandths % 1000);
        for (int i = 0; i < form.trim && s.back() == '0'; ++i)
            s.pop_back();
        if (s.back() == '.')
            s.pop_back();
        return s;
    };
    bool changed = false;
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string kept = Keep(cap.input, DigitsDot, 9);
        if (IsOffText(cap.input)) {
            value = 0;
            changed = true;
        } else if (kept.find_first_of("0123456789") != std::string::npos) {
            const double seconds = std::strtod(kept.c_str(), nullptr);
            const auto n = static_cast<long long>((seconds + 0.0005) * units);
            value = static_cast<int>(std::clamp<long long>(n, form.lowest, form.highest));
            changed = true;
        } else if (!TrimBlanks(cap.input).empty()) {
            Refuse("GI_AppMess_ValueErr_Text", TrimBlanks(cap.input));
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key)) {
            value = StepWrapped(value, key == cmcKey::Space ? 1 : -1, form.lowest, form.highest);
            changed = true;
        } else if (key == cmcKey::Enter) {
            StartEditor(c, TrimBlanks(text(value)));
            return false;
        } else if (IsDigit(key) || key == '.' || key == 'O' || key == 'o') {
            StartEditorWithKey(c);
            return false;
        }
    }
    if (!cap.HasEvent() && form.zeroIsOff && value == 0)
        Show(c, OffText());
    else
        Show(c, text(value));
    return changed;
}

bool editMinSec(const cmcCodecContext& c, int& value, int unitSeconds, int lowestSeconds, int highestSeconds,
                bool zeroIsOff)
{
    cmcCellCapsule& cap = c.capsule;
    const int unit = std::max(unitSeconds, 1);
    const int lowest = lowestSeconds / unit;
    const int highest = highestSeconds / unit;
    auto text = [&](int v) {
        const long long seconds = static_cast<long long>(v) * unit;
        return Format("%2lld:%02lld", seconds / 60, seconds % 60);
    };
    bool changed = false;
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::string kept = Keep(cap.input, "0123456789:", 255);
        const std::string typed = TrimBlanks(cap.input);
        if (zeroIsOff && IsOffText(typed)) {
            // The cell shows the off text for 0, so typing it back means 0.
            value = std::clamp(0, lowest, highest);
            changed = true;
        } else if (kept.size() > 6 ||
                   (kept.find_first_of("0123456789") == std::string::npos && !typed.empty())) {
            Refuse("GI_AppMess_ValueErr_Text", typed);
        } else if (!kept.empty() && kept.find_first_of("0123456789") != std::string::npos) {
            const std::size_t colon = kept.find(':');
            const std::string minutesPart = kept.substr(0, colon);
            const std::string secondsPart =
                colon == std::string::npos ? std::string() : kept.substr(colon + 1);
            const long long minutes = minutesPart.empty() ? 0 : std::atoll(minutesPart.c_str());
            const long long seconds = secondsPart.empty() ? 0 : std::atoll(secondsPart.c_str());
            long long n = seconds / unit + minutes * 60 / unit;
            if (2 * (seconds % unit) >= unit)
                ++n;
            value = static_cast<int>(std::clamp<long long>(n, lowest, highest));
            changed = true;
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key)) {
            value = StepWrapped(value, key == cmcKey::Space ? 1 : -1, lowest, highest);
            changed = true;
        } else if (key == cmcKey::Enter) {
            StartEditor(c, TrimBlanks(text(value)));
            return false;
        } else if (IsDigit(key) || key == ':' || (zeroIsOff && (key == 'o' || key == 'O'))) {
            StartEditorWithKey(c);
            return false;
        }
    }
    if (!cap.HasEvent() && zeroIsOff && value == 0)
        Show(c, OffText());
    else
        Show(c, text(value));
    return changed;
}
