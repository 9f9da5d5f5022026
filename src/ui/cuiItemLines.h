#pragma once
// The item lines of a menu or tree definition (the "_Body" record): an indentation, a "+",
// then a cell text. The indentation is the number of characters before the first "+"
// (blanks, tabs, dots: any character counts); a line without "+" has no cell text.
//
// Nesting follows the indentation: the first line of a level fixes that level's
// indentation; a deeper line starts a sub-level under the item made last (its own first
// line fixing the sub-level's indentation); a line of the same indentation is a sibling; a
// shallower line ends the level and is read again by the enclosing level - which, when it
// is still deeper than that level, opens a further sub-level under the enclosing level's
// last item. The record ends at the first line that begins with "#".
#include "base/cmcGTex.h"

#include <optional>
#include <string>
#include <string_view>

struct cuiItemLine {
    int indent = 0;
    std::optional<std::string> cellText; // the text after the first "+"; none without "+"
};

[[nodiscard]] inline cuiItemLine cuiSplitItemLine(std::string_view line)
{
    const std::size_t plus = line.find('+');
    if (plus == std::string_view::npos)
        return {static_cast<int>(line.size()), std::nullopt};
    return {static_cast<int>(plus), std::string(line.substr(plus + 1))};
}

// Builds the items of key from entry first on under parent and returns the number of lines
// consumed. make(parent, line) creates one item and returns the handle deeper lines are
// built under; Handle{} stands for the top (the root, or the item a build was asked under).
template <class Handle, class Make>
int cuiBuildItemLines(cmcGTex& overlay, std::string_view key, int first, Handle parent, Make& make)
{
    int levelIndent = -1;
    Handle last{};
    int k = 0;
    while (true) {
        const std::string text = overlay.GetEntry(key, first + k);
        if (!text.empty() && text.front() == '#')
            break;
        const cuiItemLine line = cuiSplitItemLine(text);
        if (levelIndent < 0) {
            levelIndent = line.indent;
        } else if (line.indent > levelIndent) {
            k += cuiBuildItemLines(overlay, key, first + k, last, make);
            continue;
        } else if (line.indent < levelIndent) {
            break;
        }
        last = make(parent, line);
        ++k;
    }
    return k;
}
