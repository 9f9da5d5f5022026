// Selection codecs: a stored value shown as the label of the list item standing for it.
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/cmcFCache.h"

#include <cctype>
#include <cstdlib>
#include <functional>

using namespace cmcCodec;

namespace {

// The value step places from value in the popup's order; none for an empty list.
std::optional<int> StepIn(const std::string& list, int flexCode, int value, int step)
{
    SelectionLabels().Build(list, flexCode);
    return SelectionLabels().Step(list, flexCode, value, step);
}

// What the variants add to the plain choice: keys that open the editor, the reading of a
// committed text, and what Enter opens.
struct ChoiceForm {
    std::function<bool(int key)> startsEditor;                    // none: no editor
    std::function<std::optional<int>(std::string_view)> readText; // none: op 1 ignored
    std::function<void()> openPopup;
    std::optional<std::string> shown;
    bool modelSheet = false; // the list is a model sheet (large lists)
};

bool RunChoice(const cmcCodecContext& c, int& value, const std::string& list, int flexCode,
               cmcForeignSource foreign, const ChoiceForm& form)
{
    // A model sheet built at run time has no cells in the overlay: its entries have no
    // labels here, and stepping through them is left to its popup.
    const bool labelled = !form.modelSheet || MainText().HasKey(list + "_Cells");
    auto label = [&](int v) {
        if (labelled)
            return SelectionLabels().GetLabel(list, flexCode, v);
        return Format("%d", v);
    };
    const cmcCellCapsule& cap = c.capsule;
    if (cap.source != nullptr) {
        if (IsChoiceOf(c, flexCode)) {
            value = ChosenValue(c);
            Show(c, form.shown ? *form.shown : label(value));
            return true;
        }
        if (foreign == cmcForeignSource::Blank) {
            Show(c, "");
            return false;
        }
    }
    bool changed = false;
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent() && form.readText) {
        if (const std::optional<int> chosen = form.readText(cap.input)) {
            value = *chosen;
            changed = true;
        }
    } else if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (IsStepKey(key)) {
            const std::optional<int> next =
                labelled ? StepIn(list, flexCode, value, key == cmcKey::Space ? 1 : -1) : std::nullopt;
            if (next) {
                value = *next;
                changed = true;
            }
        } else if (key == cmcKey::Enter) {
            if (form.openPopup)
                form.openPopup();
            else
                OpenList(c, list, flexCode, value);
        } else if (form.startsEditor && form.startsEditor(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    if (form.shown && !changed)
        Show(c, *form.shown);
    else
        Show(c, label(value));
    return changed;
}

// A label read as a decimal number the way a C conversion reads it: leading blanks, a
// sign and digits; a label without leading digits reads as 0.
long LabelNumber(const std::string& label)
{
    return std::strtol(label.c_str(), nullptr, 10);
}

} // namespace

bool editFlexChoice(const cmcCodecContext& c, int& value, const std::string& list, int flexCode,
                    cmcForeignSource foreign)
{
    return RunChoice(c, value, list, flexCode, foreign, {});
}

bool editChoice(const cmcCodecContext& c, int& value, const std::string& list, cmcForeignSource foreign)
{
    return editFlexChoice(c, value, list, clIndex(clLogic::Flex0), foreign);
}

bool editMarkedChoice(const cmcCodecContext& c, int& value, const std::string& list, cmcForeignSource foreign)
{
    return editFlexChoice(c, value, list, clIndex(clLogic::FlexMark), foreign);
}

bool editLargeChoice(const cmcCodecContext& c, int& value, const std::string& list, int flexCode,
                     const std::string& title, const std::optional<std::string>& shown)
{
    ChoiceForm form;
    form.openPopup = [&] {
        c.host.OpenModelSelectionPopup(c.capsule, list, flexCode, value, title);
        c.result = cmcRunResult::PopupOpened;
    };
    form.shown = shown;
    form.modelSheet = true;
    return RunChoice(c, value, list, flexCode, cmcForeignSource::Blank, form);
}

bool editTypedChoice(const cmcCodecContext& c, int& value, const std::string& list)
{
    const int flex = clIndex(clLogic::Flex0);
    ChoiceForm form;
    form.startsEditor = [](int key) { return IsDigit(key) || key == 'o' || key == 'O'; };
    form.readText = [&](std::string_view input) -> std::optional<int> {
        std::string text = TrimBlanks(input.substr(0, 10));
        long number = 0;
        if (text.size() > 1 && (text[0] == 'o' || text[0] == 'O') && (text[1] == 'f' || text[1] == 'F')) {
            number = 0;
        } else {
            const std::optional<long long> read = ReadScaled(Keep(text, "0123456789-", 10), 0);
            if (!read) {
                if (!text.empty())
                    Refuse("GI_AppMess_ValueErr_Text", text);
                return std::nullopt;
            }
            number = static_cast<long>(*read);
        }
        const cmcFCacheRecord& record = SelectionLabels().Build(list, flex);
        const cmcFCacheItem* nearest = nullptr;
        long best = 0;
        for (const cmcFCacheItem& item : record.byDisplayOrder) {
            const long distance = std::labs(LabelNumber(item.label) - number);
            if (nearest == nullptr || distance < best) {
                nearest = &item;
                best = distance;
            }
        }
        if (nearest == nullptr)
            return std::nullopt;
        return nearest->value;
    };
    return RunChoice(c, value, list, flex, cmcForeignSource::Blank, form);
}

bool editLabelChoice(const cmcCodecContext& c, int& value, const std::string& list)
{
    const int flex = clIndex(clLogic::Flex0);
    ChoiceForm form;
    form.startsEditor = [](int key) { return IsPrintable(key) && key != ' '; };
    form.readText = [&](std::string_view input) -> std::optional<int> {
        const std::string text = TrimBlanks(input);
        if (text.empty())
            return std::nullopt;
        auto upper = [](std::string s) {
            for (char& ch : s)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            return s;
        };
        const std::string wanted = upper(text);
        for (const cmcFCacheItem& item : SelectionLabels().Build(list, flex).byDisplayOrder)
            if (upper(item.label).starts_with(wanted))
                return item.value;
        Refuse("GI_AppMess_ValueErr_Text", text);
        return std::nullopt;
    };
    return RunChoice(c, value, list, flex, cmcForeignSource::Blank, form);
}
