#include "cells/cmcCodecSupport.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"

namespace cmcCodec {

bool IsChoiceOf(const cmcCodecContext& c, int flexCode)
{
    const cmcCellCapsule& cap = c.capsule;
    return cap.op == cmcCellCapsule::OpPopupChoice && cap.source != nullptr && cap.source->cell != nullptr &&
           cap.source->cell->logic == flexCode;
}

int ChosenValue(const cmcCodecContext& c)
{
    return c.capsule.source->cell->arg;
}

std::string ChosenLabel(const cmcCodecContext& c)
{
    const cmcCellObj& cell = *c.capsule.source->cell;
    return cell.argText ? *cell.argText : cell.DisplayText();
}

void Show(const cmcCodecContext& c, std::string text)
{
    c.capsule.output = std::move(text);
    c.capsule.selStart = 0;
    c.capsule.selLength = static_cast<int>(c.capsule.output.size());
}

void StartEditor(const cmcCodecContext& c, std::string text, std::optional<int> caret)
{
    Show(c, std::move(text));
    if (caret) {
        c.capsule.selStart = *caret;
        c.capsule.selLength = 0;
    }
    c.result = cmcRunResult::StartEditor;
}

void StartEditorWithKey(const cmcCodecContext& c)
{
    StartEditor(c, std::string(1, static_cast<char>(c.capsule.key)), 1);
}

void OpenList(const cmcCodecContext& c, const std::string& list, int flexCode, int current)
{
    c.host.OpenSelectionPopup(c.capsule, list, flexCode, current);
    c.result = cmcRunResult::PopupOpened;
}

void SetRightAligned(const cmcCodecContext& c)
{
    if (c.capsule.cell != nullptr)
        c.capsule.cell->SetHorizontalAlignment(2);
}

void SetCentred(const cmcCodecContext& c)
{
    if (c.capsule.cell != nullptr) {
        c.capsule.cell->SetHorizontalAlignment(1);
        c.capsule.cell->SetVerticalAlignment(1);
    }
}

namespace {
// The message of key with each "%s" replaced by the next of the values, in order.
std::string Fill(const char* key, std::initializer_list<std::string_view> values)
{
    std::string text = MainText().GetMultiLineText(key);
    std::size_t from = 0;
    for (std::string_view value : values) {
        const std::size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}
} // namespace

void Refuse(const char* key, std::string_view shown)
{
    cmcMessageBox(Fill(key, {shown}), MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok,
                  cmcMbIcon::Error);
}

void RefuseRange(std::string_view shown, std::string_view lowest, std::string_view highest)
{
    cmcMessageBox(Fill("GI_AppMess_ValueErr_Range", {shown, lowest, highest}),
                  MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
}

std::string Keep(std::string_view text, std::string_view keep, std::size_t limit)
{
    std::string kept;
    for (char ch : text)
        if (keep.find(ch) != std::string_view::npos)
            kept.push_back(ch);
    if (kept.size() > limit)
        kept.resize(limit);
    return kept;
}

long long Pow10(int e)
{
    long long p = 1;
    for (int i = 0; i < e; ++i)
        p *= 10;
    return p;
}

long long FloorDiv(long long n, long long d)
{
    long long q = n / d;
    if ((n % d != 0) && (n < 0))
        --q;
    return q;
}

long long DivRound(long long n, long long d)
{
    const long long magnitude = ((n < 0 ? -n : n) * 2 + d) / (2 * d);
    return n < 0 ? -magnitude : magnitude;
}

std::optional<long long> ReadScaled(std::string_view text, int scale)
{
    // Exact decimal reading: the sign, the whole part up to the first '.', the fraction up
    // to the next '.' or the end (like a C conversion that stops at a second point).
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    bool digit = false;
    long long whole = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digit = true;
        if (whole < 1'000'000'000'000LL)
            whole = whole * 10 + (text[i] - '0');
    }
    long long fraction = 0; // scaled by 10^scale
    bool roundUp = false;
    if (i < text.size() && text[i] == '.') {
        ++i;
        int place = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++place) {
            digit = true;
            if (place < scale)
                fraction = fraction * 10 + (text[i] - '0');
            else if (place == scale)
                roundUp = text[i] >= '5';
        }
        for (; place < scale; ++place)
            fraction *= 10;
    }
    if (!digit)
        return std::nullopt;
    long long magnitude = whole * Pow10(scale) + fraction + (roundUp ? 1 : 0);
    return negative ? -magnitude : magnitude;
}

} // namespace cmcCodec
