// Text codecs: texts in the radio's character set (edited in the text popup on an escaped
// form) and plain ASCII fields (edited in place).
#include "base/cmcText.h"
#include "cells/cmcCodecSupport.h"
#include "cells/cmcCodecs.h"
#include "cells/indDocument.h"

#include <algorithm>
#include <cctype>

using namespace cmcCodec;

namespace {
constexpr std::size_t MaxEscaped = 255;
constexpr int DisplayLinesPlace = 0x10B50; // bit 2 set: texts use their full length
constexpr std::uint8_t DisplayLinesBit = 0x04;
constexpr int ShortTextLength = 12;

bool IsAsciiPrintable(unsigned char ch)
{
    return ch >= 32 && ch <= 126;
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

std::string TrimTrailingBlanks(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// The characters a call sign may hold besides letters and digits.
constexpr std::string_view CallSignMarks = " \"'()*+,-./:=?";

std::string AsciiStored(std::string_view input, int n, cmcAsciiForm form)
{
    std::string stored;
    for (char raw : input) {
        auto ch = static_cast<unsigned char>(raw);
        switch (form) {
        case cmcAsciiForm::BlankPadded:
            stored.push_back(IsAsciiPrintable(ch) ? raw : ' ');
            break;
        case cmcAsciiForm::NulPadded:
        case cmcAsciiForm::NulPaddedLowerCase:
            if (!IsAsciiPrintable(ch) || ch == ' ')
                stored.push_back('\0');
            else
                stored.push_back(
                    form == cmcAsciiForm::NulPaddedLowerCase ? static_cast<char>(std::tolower(ch)) : raw);
            break;
        case cmcAsciiForm::NulPaddedKeepBlanks:
            stored.push_back(IsAsciiPrintable(ch) ? raw : '\0');
            break;
        case cmcAsciiForm::CallSign: {
            const auto upper = static_cast<char>(std::toupper(ch));
            if (std::isalnum(static_cast<unsigned char>(upper)) ||
                CallSignMarks.find(upper) != std::string_view::npos)
                stored.push_back(upper);
            break;
        }
        }
    }
    if (stored.size() > static_cast<std::size_t>(n))
        stored.resize(static_cast<std::size_t>(n));
    const bool blankPad = form == cmcAsciiForm::BlankPadded || form == cmcAsciiForm::CallSign;
    stored.resize(static_cast<std::size_t>(n), blankPad ? ' ' : '\0');
    return stored;
}

std::string AsciiShown(std::string_view bytes, cmcAsciiForm form)
{
    std::string shown;
    const bool blankPad = form == cmcAsciiForm::BlankPadded || form == cmcAsciiForm::CallSign;
    for (char raw : bytes) {
        const auto ch = static_cast<unsigned char>(raw);
        if (!blankPad && ch == 0)
            break;
        shown.push_back(IsAsciiPrintable(ch) ? raw : ' ');
    }
    return blankPad ? TrimTrailingBlanks(shown) : shown;
}
} // namespace

std::string cmcEscapeText(std::string_view bytes)
{
    std::string text;
    for (char raw : bytes) {
        const auto ch = static_cast<unsigned char>(raw);
        std::string piece;
        if (ch < 16)
            break;
        if (ch == '%')
            piece = "%%";
        else if (IsAsciiPrintable(ch))
            piece = std::string(1, raw);
        else
            piece = Format("%%%02X", ch);
        if (text.size() + piece.size() > MaxEscaped)
            break;
        text += piece;
    }
    return text;
}

std::string cmcUnescapeText(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size() && bytes.size() < MaxEscaped; ++i) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch == '%' && i + 1 < text.size() && text[i + 1] == '%') {
            bytes.push_back('%');
            ++i;
        } else if (ch == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
                   HexValue(text[i + 2]) >= 0) {
            const int code = HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]);
            if (code < 16) {
                bytes.push_back('%'); // a control code cannot be stored: the '%' stays literal
            } else {
                bytes.push_back(static_cast<char>(code));
                i += 2;
            }
        } else if (IsAsciiPrintable(ch) || ch >= 127) {
            bytes.push_back(static_cast<char>(ch));
        } else {
            bytes.push_back(' ');
        }
    }
    return bytes;
}

bool editText(const cmcCodecContext& c, std::string& bytes, int n, bool nulTerminated)
{
    cmcCellCapsule& cap = c.capsule;
    const bool fullLength = (c.host.Document().Working().GetByte(DisplayLinesPlace) & DisplayLinesBit) != 0;
    const int limit = fullLength ? n : std::min(n, ShortTextLength);
    const char pad = nulTerminated ? '\0' : ' ';
    bytes.resize(static_cast<std::size_t>(n), pad);
    auto shown = [&] {
        std::string text = cmcEscapeText(std::string_view(bytes).substr(0, static_cast<std::size_t>(limit)));
        return TrimTrailingBlanks(text);
    };

    const bool typed = cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent();
    if (typed || IsChoiceOf(c, clIndex(clLogic::Flex0))) {
        std::string stored = cmcUnescapeText(cap.input);
        if (stored.size() > static_cast<std::size_t>(limit))
            stored.resize(static_cast<std::size_t>(limit));
        stored.resize(static_cast<std::size_t>(n), pad);
        bytes = stored;
        Show(c, shown());
        cap.paintAs = cmcPaint::RadioText;
        return true;
    }
    if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || key == cmcKey::Backspace) {
            // The padding is not part of the text: it comes back when the result is stored.
            c.host.OpenTextPopup(cap, shown(), limit);
            c.result = cmcRunResult::PopupOpened;
        } else if (IsPrintable(key)) {
            c.host.OpenTextPopup(cap, cmcEscapeText(std::string(1, static_cast<char>(key))), limit);
            c.result = cmcRunResult::PopupOpened;
        }
    }
    Show(c, shown());
    cap.paintAs = cmcPaint::RadioText;
    return false;
}

bool editAscii(const cmcCodecContext& c, std::string& bytes, int n, cmcAsciiForm form)
{
    cmcCellCapsule& cap = c.capsule;
    const bool typed = cap.op == cmcCellCapsule::OpSetInput && cap.HasEvent();
    if (typed || IsChoiceOf(c, clIndex(clLogic::Flex0))) {
        bytes = AsciiStored(cap.input, n, form);
        Show(c, AsciiShown(bytes, form));
        return true;
    }
    if (IsKeyEvent(c)) {
        const int key = Key(c);
        if (key == cmcKey::Enter || IsStepKey(key)) {
            StartEditor(c, AsciiShown(bytes, form));
            return false;
        }
        if (IsPrintable(key)) {
            StartEditorWithKey(c);
            return false;
        }
    }
    Show(c, AsciiShown(bytes, form));
    return false;
}

bool editAsciiZ(const cmcCodecContext& c, std::string& bytes, int n)
{
    return editAscii(c, bytes, n, cmcAsciiForm::NulPaddedKeepBlanks);
}
