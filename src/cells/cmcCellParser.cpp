#include "cells/cmcCellParser.h"

#include "base/cmcFatal.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCellNames.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string>

namespace {
// Cell models naming models deeper than this are taken for a loop in the definitions.
constexpr int MaxModelDepth = 16;
// A counter inserted into a display text gives at most this many characters.
constexpr std::size_t MaxCounterChars = 6;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view SkipBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

bool OnlyBlanks(std::string_view s)
{
    return SkipBlanks(s).empty();
}

// A leading decimal number after blanks, with an optional sign, clamped to int; none
// without digits.
std::optional<int> LeadingInt(std::string_view s)
{
    s = SkipBlanks(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !IsDigit(s.front()))
        return std::nullopt;
    long long value = 0;
    while (!s.empty() && IsDigit(s.front())) {
        if (value <= INT_MAX)
            value = value * 10 + (s.front() - '0');
        s.remove_prefix(1);
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

// Position of the first character of s at or after from that a backslash does not escape,
// or npos.
std::size_t FindPlain(std::string_view s, char c, std::size_t from = 0)
{
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == c)
            return i;
    }
    return std::string_view::npos;
}

std::string RemoveBackslashes(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
            if (i >= s.size())
                break;
        }
        out += s[i];
    }
    return out;
}

// "ch" and exactly one digit at s[pos]; pos moves past the digit. Anything else, or a cell
// without row counters, is a definition error.
int ChannelCounter(std::string_view s, std::size_t& pos, const cmcRowCounters* counters)
{
    if (counters == nullptr || s.substr(pos, 2) != "ch" || pos + 2 >= s.size() || !IsDigit(s[pos + 2]) ||
        (pos + 3 < s.size() && IsDigit(s[pos + 3])))
        cmcFatalStop("Ch No. Error");
    pos += 3;
    return s[pos - 1] - '0';
}

std::string_view AfterEquals(std::string_view group)
{
    const std::size_t eq = group.find('=');
    return eq == std::string_view::npos ? std::string_view{} : group.substr(eq + 1);
}

// Height or size: "%n" scales the current value (1 when the product truncates to 0), a
// plain number replaces it, an empty field or 0 keeps it.
int ScaledValue(int current, std::string_view field)
{
    field = SkipBlanks(field);
    if (!field.empty() && field.front() == '%') {
        const std::optional<int> percent = LeadingInt(field.substr(1));
        if (!percent)
            return current;
        long long value = static_cast<long long>(current) * *percent / 100;
        if (value == 0)
            value = 1;
        return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    }
    const std::optional<int> value = LeadingInt(field);
    return value && *value != 0 ? *value : current;
}

void ApplyFont(cmcCellObj& cell, std::string_view fields)
{
    if (!cell.font) {
        const cmcCellFont* inherited = cell.parent != nullptr ? cell.parent->EffectiveFont() : nullptr;
        cell.font = inherited != nullptr ? *inherited : cmcDefaultCellFont();
    }
    cmcApplyFontFields(*cell.font, fields);
}

// "%[Category.]Logic[arg]:text" without its '%'.
void ApplyLogicReference(cmcCellObj& cell, std::string_view ref)
{
    const std::size_t nameEnd = std::min(ref.find_first_of("[:"), ref.size());
    const std::string_view head = ref.substr(0, nameEnd);
    std::string_view logicName = head;
    const std::size_t dot = FindPlain(head, '.');
    if (dot != std::string_view::npos) {
        const std::string_view categoryName = head.substr(0, dot);
        if (categoryName.empty()) {
            cell.category = ctNoCategory;
        } else {
            const int category = ctCategoryIndex(categoryName);
            if (category < 0)
                cmcFatalStop(
                    Format("Cannot use the specified category.\n'%s'", std::string(categoryName).c_str()));
            cell.category = category;
        }
        logicName = head.substr(dot + 1);
    }
    if (logicName.empty()) {
        cell.logic = clNoLogic;
    } else {
        const int logic = clLogicIndex(logicName);
        if (logic < 0)
            cmcFatalStop(Format("Cannot use the specified cell.\n'%s'", std::string(logicName).c_str()));
        cell.logic = logic;
    }

    std::string_view rest = ref.substr(nameEnd);
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        const std::string_view inner = rest.substr(1, close == std::string_view::npos ? close : close - 1);
        if (inner.starts_with('@')) {
            std::size_t pos = 1;
            const int counter = ChannelCounter(inner, pos, cell.counters);
            cell.arg = (*cell.counters)[static_cast<std::size_t>(counter)];
        } else if (const auto value = LeadingInt(inner)) {
            cell.arg = *value;
        }
        rest = close == std::string_view::npos ? std::string_view{} : rest.substr(close + 1);
    }
    const std::size_t colon = rest.find(':');
    if (colon != std::string_view::npos)
        cell.argText = RemoveBackslashes(rest.substr(colon + 1));
}

// "@chN++" or "@chN=value".
void ApplyCounterCommand(cmcCellObj& cell, std::string_view command)
{
    std::size_t pos = 1;
    const auto counter = static_cast<std::size_t>(ChannelCounter(command, pos, cell.counters));
    const std::string_view rest = command.substr(pos);
    int& value = (*cell.counters)[counter];
    if (rest.starts_with("++"))
        value = value < INT_MAX ? value + 1 : value;
    else if (rest.starts_with('='))
        value = LeadingInt(rest.substr(1)).value_or(0);
}

void ApplyAttributeText(cmcCellObj& cell, std::string_view text, int depth);

void ApplyGroup(cmcCellObj& cell, std::string_view group, int depth)
{
    if (group.starts_with('$')) {
        const std::string key = "CellModel_" + std::string(group.substr(1));
        if (depth >= MaxModelDepth)
            cmcFatalStop(Format("Cell models nested too deep.\n'%s'", key.c_str()));
        ApplyAttributeText(cell, MainText().GetText(key), depth + 1);
    } else if (group.starts_with("Color")) {
        if (group.find('=') == std::string_view::npos)
            return;
        if (const auto colour = cmcColourByName(AfterEquals(group)))
            cell.colour = *colour;
    } else if (group.starts_with("Font")) {
        if (group.find('=') != std::string_view::npos)
            ApplyFont(cell, AfterEquals(group));
    } else if (group.starts_with('%')) {
        ApplyLogicReference(cell, group.substr(1));
    } else if (group.starts_with('@')) {
        ApplyCounterCommand(cell, group);
    } else if (group.starts_with("ImageIndex")) {
        if (group.find('=') == std::string_view::npos)
            return;
        if (const auto index = LeadingInt(AfterEquals(group)))
            cell.imageIndex = *index;
    } else if (group.starts_with("PopupMenu")) {
        if (group.find('=') != std::string_view::npos)
            cell.popupMenu = std::string(AfterEquals(group));
    } else if (group.starts_with("Flag")) {
        if (group.size() < 7 || !IsDigit(group[4]) || group[5] != '=' || (group[6] != '0' && group[6] != '1'))
            return;
        const int k = group[4] - '0';
        const bool set = group[6] == '1';
        if (k <= 3) {
            const auto bit = static_cast<std::uint8_t>(cmcCellObj::Flag0 << k);
            cell.marks = static_cast<std::uint8_t>(set ? cell.marks | bit : cell.marks & ~bit);
        } else if (k <= 8) {
            cell.extra = static_cast<std::uint8_t>(set ? cell.extra | cmcCellObj::ExtraFlag
                                                       : cell.extra & ~cmcCellObj::ExtraFlag);
        }
    }
}

void SetLayoutBit(cmcCellObj& cell, std::uint8_t bit, bool clear)
{
    cell.layout = static_cast<std::uint8_t>(clear ? cell.layout & ~bit : cell.layout | bit);
}

void SetMarkBits(cmcCellObj& cell, std::uint8_t mask, std::uint8_t value)
{
    cell.marks = static_cast<std::uint8_t>((cell.marks & ~mask) | value);
}

void ApplyLetter(cmcCellObj& cell, char letter, bool clear)
{
    switch (letter) {
    case '<':
        cell.SetHorizontalAlignment(0);
        break;
    case '^':
        cell.SetHorizontalAlignment(1);
        break;
    case '>':
        cell.SetHorizontalAlignment(2);
        break;
    case '~':
        cell.SetVerticalAlignment(0);
        break;
    case '-':
        cell.SetVerticalAlignment(1);
        break;
    case '_':
        cell.SetVerticalAlignment(2);
        break;
    case 'W':
        SetLayoutBit(cell, cmcCellObj::AutoWidth, clear);
        break;
    case 'H':
        SetLayoutBit(cell, cmcCellObj::AutoHeight, clear);
        break;
    case '+':
        SetLayoutBit(cell, cmcCellObj::Joined, clear);
        break;
    case 'B':
        SetLayoutBit(cell, cmcCellObj::BottomRule, clear);
        break;
    case 'X':
        SetMarkBits(cell, cmcCellObj::RightRuleMask, clear ? 0 : 1);
        break;
    case 'Q':
        SetMarkBits(cell, cmcCellObj::RightRuleMask, clear ? 0 : 2);
        break;
    case 'S':
        SetMarkBits(cell, cmcCellObj::Stop, clear ? 0 : cmcCellObj::Stop);
        break;
    case 'T':
        SetMarkBits(cell, cmcCellObj::Tail, clear ? 0 : cmcCellObj::Tail);
        break;
    default:
        break; // other characters mean nothing here
    }
}

void ApplyAttributeText(cmcCellObj& cell, std::string_view text, int depth)
{
    bool negate = false;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\\') { // an escaped character is neither a letter nor a group
            i += 2;
            negate = false;
        } else if (c == '(') {
            const std::size_t close = std::min(FindPlain(text, ')', i + 1), text.size());
            ApplyGroup(cell, text.substr(i + 1, close - i - 1), depth);
            i = close + 1;
            negate = false;
        } else {
            ApplyLetter(cell, c, negate);
            negate = c == '!';
            ++i;
        }
    }
}

bool IsBlankOrControl(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

// "\(@chN+k)" from the '@': the counter's value plus k.
std::string CounterInsertion(std::string_view s, std::size_t& pos, const cmcRowCounters* counters)
{
    ++pos; // '@'
    const int counter = ChannelCounter(s, pos, counters);
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
    long long k = 0;
    if (pos < s.size() && s[pos] == '+') {
        ++pos;
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
        while (pos < s.size() && IsDigit(s[pos])) {
            if (k < INT_MAX)
                k = k * 10 + (s[pos] - '0');
            ++pos;
        }
    }
    while (pos < s.size() && IsBlank(s[pos]))
        ++pos;
    if (pos >= s.size() || s[pos] != ')')
        cmcFatalStop("Illegal Ch No.");
    ++pos;
    std::string digits = std::to_string((*counters)[static_cast<std::size_t>(counter)] + k);
    if (digits.size() > MaxCounterChars)
        digits.resize(MaxCounterChars);
    return digits;
}

std::optional<std::string> DisplayText(std::string_view raw, const cmcRowCounters* counters)
{
    while (!raw.empty() && IsBlankOrControl(raw.front()))
        raw.remove_prefix(1);
    while (!raw.empty() && IsBlankOrControl(raw.back()))
        raw.remove_suffix(1);
    if (raw.empty())
        return std::nullopt;
    std::string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        const char c = raw[i++];
        if (c != '\\') {
            out += c;
            continue;
        }
        if (i >= raw.size())
            break;
        const char next = raw[i++];
        if (next == 'n' || next == 'N')
            out += '\n';
        else if (next == '_')
            out += ' ';
        else if (next == '(' && i < raw.size() && raw[i] == '@')
            out += CounterInsertion(raw, i, counters);
        else
            out += next;
    }
    return out;
}

// Sets the cell's row counters for the duration of one parse.
class CounterScope {
public:
    CounterScope(cmcCellObj& cell, cmcRowCounters* counters) : cell_(cell) { cell_.counters = counters; }
    ~CounterScope() { cell_.counters = nullptr; }
    CounterScope(const CounterScope&) = delete;
    CounterScope& operator=(const CounterScope&) = delete;

private:
    cmcCellObj& cell_;
};

std::size_t CellEnd(std::string_view row)
{
    return std::min(FindPlain(row, '|'), row.size());
}
} // namespace

std::string_view cmcSplitCell(std::string_view row)
{
    const std::size_t end = CellEnd(row);
    return end < row.size() ? row.substr(end + 1) : std::string_view{};
}

int cmcCountCells(std::string_view row)
{
    int count = 1;
    for (std::size_t end = CellEnd(row); end < row.size(); end = CellEnd(row)) {
        row = row.substr(end + 1);
        ++count;
    }
    return count;
}

void cmcResetCell(cmcCellObj& cell, const cmcCellObj* parent)
{
    if (parent != nullptr) {
        cell = *parent;
        cell.parent = parent;
        cell.counters = nullptr;
        cell.font.reset();
        cell.popupMenu.clear();
        return;
    }
    // Without a parent the category stays: the only field a reset leaves alone.
    const int category = cell.category;
    cell = cmcCellObj{};
    cell.category = category;
}

std::string_view cmcParseCell(cmcCellObj& cell, std::string_view row, cmcRowCounters* counters,
                              const cmcCellObj* parent, bool countOnly)
{
    const std::size_t end = CellEnd(row);
    const std::string_view rest = end < row.size() ? row.substr(end + 1) : std::string_view{};
    if (countOnly)
        return rest;
    const std::string_view cellText = row.substr(0, end);

    cmcResetCell(cell, parent);
    CounterScope scope(cell, counters);

    std::string attributes;
    std::string display;
    bool inBraces = false;
    for (const char c : cellText) {
        if (!inBraces && c == '{')
            inBraces = true;
        else if (inBraces && c == '}')
            inBraces = false;
        else
            (inBraces ? attributes : display) += c;
    }
    ApplyAttributeText(cell, attributes, 0);
    cell.text = DisplayText(display, counters);
    return rest;
}

std::vector<cmcCellObj> cmcParseRow(std::string_view row, cmcRowCounters* counters, const cmcCellObj* parent)
{
    std::vector<cmcCellObj> cells(static_cast<std::size_t>(cmcCountCells(row)));
    for (cmcCellObj& cell : cells)
        row = cmcParseCell(cell, row, counters, parent);
    return cells;
}

void cmcApplyFontFields(cmcCellFont& font, std::string_view fields)
{
    for (int index = 0; index < 7; ++index) {
        const std::optional<std::string> field = FieldOf(fields, ',', index);
        if (!field)
            break;
        const std::string_view f = *field;
        if (f.empty())
            continue;
        switch (index) {
        case 0: // character set: a name followed by nothing but blanks
            for (const cmcIntName& charset : cmcCharsetNames) {
                if (f.starts_with(charset.name) && OnlyBlanks(f.substr(charset.name.size()))) {
                    font.charset = charset.value;
                    break;
                }
            }
            break;
        case 1:
            if (!OnlyBlanks(f))
                font.face = std::string(SkipBlanks(f));
            break;
        case 2:
            if (const auto colour = cmcColourByName(f))
                font.colour = *colour;
            break;
        case 3:
            font.height = ScaledValue(font.height, f);
            break;
        case 4:
            font.size = ScaledValue(font.size, f);
            break;
        case 5: { // names joined by '+': the first known one starts the style afresh
            bool known = false;
            std::uint8_t style = font.style;
            for (int part = 0;; ++part) {
                const std::optional<std::string> name = FieldOf(f, '+', part);
                if (!name)
                    break;
                if (const auto bit = cmcFindName(cmcStyleNames, TrimBlanks(*name))) {
                    if (!known)
                        style = 0;
                    known = true;
                    style = static_cast<std::uint8_t>(style | *bit);
                }
            }
            font.style = style;
            break;
        }
        default:
            if (const auto pitch = cmcFindName(cmcPitchNames, SkipBlanks(f)))
                font.pitch = *pitch;
            break;
        }
    }
}

cmcCellFont cmcDefaultCellFont()
{
    // The face "" stands for the platform's default face; 9 points, 12 pixels at 96 dpi.
    cmcCellFont font;
    font.height = -12;
    font.size = 9;
    return font;
}

cmcCellObj cmcParseBasicCell(std::string_view basicCellText, int heightOverride, int zoomPercent,
                             int printScalePercent)
{
    std::string text(basicCellText.substr(0, CellEnd(basicCellText)));
    if (heightOverride != 0)
        text += Format("{(Font=,,,%d,,,)}", heightOverride);
    else
        text += Format("{(Font=,,,%%%d,,,)}", zoomPercent);
    if (printScalePercent != 100)
        text += Format("{(Font=,,,%%%d,,,)}", printScalePercent);
    cmcCellObj cell;
    cmcParseCell(cell, text, nullptr, nullptr);
    return cell;
}
