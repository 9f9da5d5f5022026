// The tone codec: off, a CTCSS tone of the tone list, or a DTCS code with its polarity.
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/cmcFCache.h"

#include <cctype>

using namespace cmcCodec;

namespace {
const std::string ToneList = "GI_Sheet_Sel_Mch_CTone";

std::string Upper(std::string_view text)
{
    std::string s(text);
    for (char& ch : s)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

bool IsOctal(char ch)
{
    return ch >= '0' && ch <= '7';
}

// A typed tone: three octal digits with 'N' or 'I' (DTCS), or the beginning of a tone
// name. None after a message when it is neither.
std::optional<datTone> ReadTone(const std::string& input, const datTone& current)
{
    const std::string text = Upper(TrimBlanks(input));
    if (text.empty())
        return std::nullopt;
    datTone tone = current;
    if ((text.size() == 3 || (text.size() == 4 && (text[3] == 'N' || text[3] == 'I'))) && IsOctal(text[0]) &&
        IsOctal(text[1]) && IsOctal(text[2])) {
        tone.on = true;
        tone.dtcs = true;
        tone.inverted = text.size() == 4 && text[3] == 'I';
        tone.dtcsCode = (text[0] - '0') * 64 + (text[1] - '0') * 8 + (text[2] - '0');
        return tone;
    }
    if (const std::optional<int> index = cmcToneIndexOfName(text)) {
        tone.on = true;
        tone.dtcs = false;
        tone.inverted = false;
        tone.toneIndex = *index;
        return tone;
    }
    Refuse("GI_AppMess_ValueErr_Tone", TrimBlanks(input));
    return std::nullopt;
}

// One tone field; the display is left to the caller when it shows "<-".
bool EditToneField(const cmcCodecContext& c, datTone& tone)
{
    cmcCellCapsule& cap = c.capsule;
    SetRightAligned(c);
    if (IsChoiceOf(c, clIndex(clLogic::FlexDtcs))) {
        // A code from the DTCS popup: the sheet opens the in-place editor on it.
        Show(c, ChosenLabel(c));
        if (cap.notifyAux)
            cap.notifyAux(cap, 0);
        return false;
    }
    if (cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent()) {
        const std::optional<datTone> typed = ReadTone(cap.input, tone);
        if (typed)
            tone = *typed;
        Show(c, cmcToneListValue(tone) == cmcToneDtcsValue
                    ? cmcDtcsText(tone)
                    : SelectionLabels().GetLabel(ToneList, clIndex(clLogic::Flex0), cmcToneListValue(tone)));
        return typed.has_value();
    }
    const bool dtcs = cmcToneListValue(tone) == cmcToneDtcsValue;
    if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (dtcs && IsStepKey(key)) {
            tone.inverted = !tone.inverted;
            Show(c, cmcDtcsText(tone));
            return true;
        }
        if (IsPrintable(key) && key != ' ') {
            StartEditorWithKey(c);
            return false;
        }
    }
    int value = cmcToneListValue(tone);
    bool changed = editChoice(c, value, ToneList, cmcForeignSource::Absent);
    if (changed && IsKeyEvent(c) && value == cmcToneDtcsValue) {
        // Stepping passes over the DTCS item: a DTCS code is typed or chosen, not stepped to.
        const int step = Key(c) == cmcKey::Space ? 1 : -1;
        value =
            SelectionLabels().Step(ToneList, clIndex(clLogic::Flex0), value, step).value_or(cmcToneOffValue);
        Show(c, SelectionLabels().GetLabel(ToneList, clIndex(clLogic::Flex0), value));
    }
    if (changed) {
        if (value == cmcToneDtcsValue) {
            if (!tone.dtcs || !tone.on) {
                tone.inverted = false;
                tone.dtcsCode = cmcDefaultDtcsCode;
            }
            tone.on = true;
            tone.dtcs = true;
            // Let the sheet open the editor on the code, so the user can type another one.
            Show(c, cmcDtcsText(tone));
            if (cap.notifyAux)
                cap.notifyAux(cap, 0);
        } else {
            tone.dtcs = false;
            tone.inverted = false;
            tone.on = value != cmcToneOffValue;
            tone.toneIndex = value == cmcToneOffValue ? 0 : value;
        }
    }
    if (c.result != cmcRunResult::StartEditor && cmcToneListValue(tone) == cmcToneDtcsValue)
        Show(c, cmcDtcsText(tone));
    return changed;
}
} // namespace

std::string cmcDtcsText(const datTone& tone)
{
    const int code = tone.dtcsCode & 0x1FF;
    return Format("%d%d%d%c", (code >> 6) & 7, (code >> 3) & 7, code & 7, tone.inverted ? 'i' : 'N');
}

int cmcToneListValue(const datTone& tone)
{
    if (!tone.on)
        return cmcToneOffValue;
    if (tone.dtcs)
        return cmcToneDtcsValue;
    return tone.toneIndex;
}

bool cmcSameTone(const datTone& a, const datTone& b)
{
    if (!a.on || !b.on)
        return a.on == b.on;
    if (a.dtcs != b.dtcs)
        return false;
    if (a.dtcs)
        return a.dtcsCode == b.dtcsCode && a.inverted == b.inverted;
    return a.toneIndex == b.toneIndex;
}

std::optional<int> cmcToneIndexOfName(std::string_view typed)
{
    const std::string text = Upper(TrimBlanks(typed));
    if (text.empty())
        return std::nullopt;
    int index = 0;
    int matches = 0;
    int first = -1;
    for (int line = 0;; ++line) {
        const std::string names = MainText().GetEntry("GI_AppItem_Ctcss", line);
        if (names.starts_with('#'))
            break;
        for (int i = 0;; ++i) {
            const std::optional<std::string> name = FieldOf(names, ',', i);
            if (!name)
                break;
            if (Upper(TrimBlanks(*name)).starts_with(text)) {
                if (matches++ == 0)
                    first = index;
            }
            ++index;
        }
    }
    if (matches == 1 || (matches > 1 && text.size() > 1))
        return first;
    return std::nullopt;
}

bool editTone(const cmcCodecContext& c, datTone& tone)
{
    return EditToneField(c, tone);
}

bool editTone(const cmcCodecContext& c, cmcTonePair& tones, cmcSide side)
{
    const bool receive = side == cmcSide::Receive;
    const bool wereEqual = cmcSameTone(tones.rx, tones.tx);
    const bool changed = EditToneField(c, receive ? tones.rx : tones.tx);
    if (changed && receive && wereEqual)
        tones.tx = tones.rx;
    if (!receive && c.result != cmcRunResult::StartEditor && tones.tx.on && cmcSameTone(tones.rx, tones.tx)) {
        SetCentred(c);
        Show(c, "<-");
    }
    return changed;
}
