// The cell commands: the text a cell draws (get), what a user's Enter and answer do to it
// (set), and every kind-0 setting of the settings map as a list that can be applied to
// another file (settings).
//
// A cell is written as in the overlays, without braces: [CT_Name.]CL_Name[[arg]]. Texts on
// the command line, in the output and in a settings list escape a backslash as "\\", a line
// break as "\n" and a tab as "\t"; any other backslash stands for itself.
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/clDispatchTable.h"
#include "cells/clLogic.h"
#include "cells/cmcFCache.h"
#include "cells/ctCategory.h"
#include "cells/datRecordLayout.h"
#include "cells/datSettingsMap.h"
#include "cells/indActiveCell.h"
#include "cli/CliCellHost.h"
#include "base/cmcScriptedResponder.h"
#include "cli/CliCommands.h"
#include "cli/CliSession.h"
#include "image/cmcEeprom.h"

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

struct CellRef {
    std::string spec; // as written
    int category = ctNoCategory;
    int logic = clNoLogic;
    int arg = 0;
};

struct Assignment {
    CellRef cell;
    std::string text;
};

void complain(const std::string& text)
{
    std::fprintf(stderr, "torvane-cli: %s\n", text.c_str());
}

std::string escapeText(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\\')
            out += "\\\\";
        else if (ch == '\n')
            out += "\\n";
        else if (ch == '\t')
            out += "\\t";
        else
            out += ch;
    }
    return out;
}

std::string unescapeText(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '\\' && (next == '\\' || next == 'n' || next == 't')) {
            out += next == 'n' ? '\n' : next == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::optional<int> parseInt(std::string_view text)
{
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size())
        return std::nullopt;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (!std::isdigit(static_cast<unsigned char>(text[k])))
            return std::nullopt;
    }
    return std::atoi(std::string(text).c_str());
}

// "[CT_Name.]CL_Name[[arg]]", checked against the tables and the places the cell can address.
std::optional<CellRef> parseCell(std::string_view spec, std::string& error)
{
    CellRef cell;
    cell.spec = spec;
    std::string_view rest = spec;
    const std::size_t bracket = rest.find('[');
    const std::size_t dot = rest.find('.');
    if (dot != std::string_view::npos && dot < bracket) {
        const std::string_view category = rest.substr(0, dot);
        cell.category = ctCategoryIndex(category);
        if (cell.category < 0) {
            error = Format("unknown category '%s'", std::string(category).c_str());
            return std::nullopt;
        }
        rest.remove_prefix(dot + 1);
    }
    const std::size_t open = rest.find('[');
    const std::string_view name = rest.substr(0, open);
    cell.logic = clLogicIndex(name);
    if (cell.logic < 0) {
        error = Format("unknown cell '%s'", std::string(name).c_str());
        return std::nullopt;
    }
    if (open != std::string_view::npos) {
        const std::size_t close = rest.find(']', open);
        const std::optional<int> arg =
            close == rest.size() - 1 ? parseInt(rest.substr(open + 1, close - open - 1)) : std::nullopt;
        if (!arg) {
            error = Format("the argument of '%s' is not a number in brackets", std::string(spec).c_str());
            return std::nullopt;
        }
        cell.arg = *arg;
    }
    // The record or the setting element the argument selects must exist.
    const int kind = ctRecordKind(cell.category);
    int elements = 1;
    if (kind != 0)
        elements = datSlotsOf(kind);
    else if (const datSettingDef* row = datFindSetting(cell.logic))
        elements = datSettingElements(*row);
    else
        elements = cell.arg + 1; // cells without a record or a place take any argument
    if (cell.arg < 0 || cell.arg >= elements) {
        error =
            Format("'%s' addresses no record or element (0 to %d)", std::string(spec).c_str(), elements - 1);
        return std::nullopt;
    }
    return cell;
}

std::optional<Assignment> parseAssignment(std::string_view text, std::string& error)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        error = Format("'%s' is not CELL=TEXT", std::string(text).c_str());
        return std::nullopt;
    }
    std::optional<CellRef> cell = parseCell(text.substr(0, equals), error);
    if (!cell)
        return std::nullopt;
    return Assignment{*cell, unescapeText(text.substr(equals + 1))};
}

// The cells of one document and what a user does to them.
class CellDesk {
public:
    explicit CellDesk(indDocument& document) : host_(document) {}

    struct Drawn {
        std::string text;
        bool error = false;
        bool warning = false;
    };

    Drawn draw(const CellRef& ref)
    {
        cmcCellObj cell = cellOf(ref);
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        capsule.drawing = true;
        indActiveCell(host_).run(capsule);
        return {capsule.output, capsule.IsError(), capsule.IsWarning()};
    }

    // Enter on the cell (following the sheet's redirects), then the answer to whatever
    // opened. The refusal, or none when the cell now shows the value.
    std::optional<std::string> assign(const Assignment& a)
    {
        (void)host_.TakePopup();
        (void)host_.TakeRefusals();
        if (clHandlerOf(a.cell.logic) == nullptr)
            return std::string("the cell has no behaviour");
        const std::string before = draw(a.cell).text;
        // A cell that already shows the value has nothing to change.
        if (TrimBlanks(before) == TrimBlanks(a.text))
            return std::nullopt;
        fallbackReason_.reset();
        choseCurrent_ = false;

        cmcCellObj cell = cellOf(a.cell);
        int key = cmcKey::Enter;
        int result = cmcRunResult::Done;
        for (int hop = 0; hop < 4; ++hop) {
            cmcCellCapsule capsule = eventCapsule(cell);
            capsule.key = key;
            result = indActiveCell(host_).run(capsule);
            const auto& r = capsule.redirect;
            if (r[0] == 0 || r[4] == 0)
                break;
            cell.category = r[1];
            cell.logic = r[2];
            cell.arg = r[3];
            key = r[4];
        }
        std::optional<std::string> refused;
        if (result == cmcRunResult::StartEditor)
            refused = typeText(cell, a.text);
        else if (result == cmcRunResult::PopupOpened)
            refused = answerPopup(cell, a.text);
        else
            refused = "the cell opens nothing to type into or choose from";

        const std::vector<std::string> boxes = host_.TakeRefusals();
        if (!boxes.empty()) {
            std::string text;
            for (const std::string& box : boxes)
                text += (text.empty() ? "" : " / ") + escapeText(box);
            return text;
        }
        if (refused)
            return refused;
        const std::string after = draw(a.cell).text;
        if (after == before && TrimBlanks(after) != TrimBlanks(a.text) && !choseCurrent_)
            return fallbackReason_.value_or("the cell kept its value");
        return std::nullopt;
    }

private:
    static cmcCellObj cellOf(const CellRef& ref)
    {
        cmcCellObj cell;
        cell.category = ref.category;
        cell.logic = ref.logic;
        cell.arg = ref.arg;
        return cell;
    }

    cmcCellCapsule eventCapsule(cmcCellObj& cell)
    {
        cmcCellCapsule capsule;
        capsule.cell = &cell;
        capsule.eventSource = &eventTag_;
        return capsule;
    }

    std::optional<std::string> typeText(cmcCellObj& cell, const std::string& text)
    {
        cmcCellCapsule capsule = eventCapsule(cell);
        capsule.op = cmcCellCapsule::OpSetInput;
        capsule.input = text;
        indActiveCell(host_).run(capsule);
        return std::nullopt;
    }

    // A popup's result comes back as a run with op 2 and a source cell carrying the
    // popup's Flex code and the chosen value (the bit field, text and character editors
    // hand their result over in input).
    std::optional<std::string> choose(cmcCellObj& cell, int flex, int value, const std::string& input)
    {
        cmcCellObj chosen;
        chosen.logic = flex;
        chosen.arg = value;
        cmcCellCapsule source;
        source.cell = &chosen;
        cmcCellCapsule capsule = eventCapsule(cell);
        capsule.op = cmcCellCapsule::OpPopupChoice;
        capsule.source = &source;
        capsule.input = input;
        indActiveCell(host_).run(capsule);
        return std::nullopt;
    }

    std::optional<std::string> answerPopup(cmcCellObj& cell, const std::string& text)
    {
        const CliPopup popup = host_.TakePopup();
        switch (popup.kind) {
        case CliPopup::Kind::Selection:
        case CliPopup::Kind::ModelSelection: {
            if (const std::optional<int> value = itemOf(popup, text)) {
                choseCurrent_ = *value == popup.current;
                return choose(cell, popup.flex, *value, {});
            }
            // No item has that label: the user types the value into the cell instead (the
            // cells whose popup lists entries by another text take their value typed).
            fallbackReason_ = Format("no item '%s' in %s", escapeText(text).c_str(), popup.list.c_str());
            return typeText(cell, text);
        }
        case CliPopup::Kind::BitField: {
            const std::optional<unsigned> bits = bitSetOf(popup, text);
            if (!bits)
                return Format("'%s' is not a bit set", escapeText(text).c_str());
            choseCurrent_ = static_cast<int>(*bits) == popup.current;
            return choose(cell, clIndex(clLogic::Flex0), 0, std::to_string(*bits));
        }
        case CliPopup::Kind::Text:
            return choose(cell, clIndex(clLogic::Flex0), 0, text);
        case CliPopup::Kind::CharacterEditor:
            if (text.find_first_not_of("01") != std::string::npos)
                return "a character is written as '0' and '1', row by row";
            return choose(cell, clIndex(clLogic::Flex0), 0, text);
        case CliPopup::Kind::None:
            break;
        }
        return "the cell opened nothing";
    }

    // The item whose label is text, or "#N": the item of value N.
    static std::optional<int> itemOf(const CliPopup& popup, const std::string& text)
    {
        const bool hasList = MainText().HasKey(popup.list + "_Cells");
        const cmcFCacheRecord* list = hasList ? &SelectionLabels().Build(popup.list, popup.flex) : nullptr;
        if (text.size() > 1 && text[0] == '#') {
            const std::optional<int> value = parseInt(std::string_view(text).substr(1));
            if (!value)
                return std::nullopt;
            if (list == nullptr)
                return popup.kind == CliPopup::Kind::ModelSelection ? value : std::nullopt;
            for (const cmcFCacheItem& item : list->byValue) {
                if (item.value == *value)
                    return value;
            }
            return std::nullopt;
        }
        if (list == nullptr)
            return std::nullopt;
        for (const auto& same :
             {+[](const std::string&a, const std::string&b) { return a == b; },
              +[](const std::string&a, const std::string&b) { return TrimBlanks(a) == TrimBlanks(b); }}) {
            for (const cmcFCacheItem& item : list->byValue) {
                if (same(item.label, text))
                    return item.value;
            }
        }
        return std::nullopt;
    }

    // A decimal bit set, or the cell's own display: one character per position, '_' clear.
    static std::optional<unsigned> bitSetOf(const CliPopup& popup, const std::string& text)
    {
        const std::string typed = TrimBlanks(text);
        if (!typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos && typed.size() <= 9)
            return static_cast<unsigned>(std::strtoul(typed.c_str(), nullptr, 10));
        const int count = popup.last - popup.first + 1;
        if (count <= 0 || static_cast<int>(typed.size()) != count)
            return std::nullopt;
        unsigned bits = 0;
        for (int i = 0; i < count; ++i) {
            if (typed[static_cast<std::size_t>(i)] != '_')
                bits |= 1u << (count - 1 - i);
        }
        return bits;
    }

    CliCellHost host_;
    int eventTag_ = 0;                          // any address marks a run as an interactive event
    std::optional<std::string> fallbackReason_; // why the value was typed instead of chosen
    bool choseCurrent_ = false;                 // the answer was the popup's current value
};

std::string markedText(const CellDesk::Drawn& drawn)
{
    std::string line = escapeText(drawn.text);
    if (drawn.error)
        line += "\t!error";
    else if (drawn.warning)
        line += "\t!warning";
    return line;
}

int openFile(CliSession& session, const std::string& path)
{
    return static_cast<int>(session.Document().Open(path));
}

// Runs the assignments; when every one was taken, saves to out and prints the new texts
// (as settings lines when listed is set).
int applyAll(CliSession& session, const std::vector<Assignment>& assignments, const std::string& out,
             bool listed)
{
    CellDesk desk(session.Document());
    std::vector<const Assignment*> pending;
    for (const Assignment& a : assignments)
        pending.push_back(&a);
    // A settings list may hold a setting whose range depends on one listed after it (a
    // lower limit above the old upper one): the refused lines get further passes, quietly,
    // as long as each pass takes at least one more.
    if (listed) {
        while (!pending.empty()) {
            cmcScriptedResponder quiet;
            std::vector<const Assignment*> refusedNow;
            for (const Assignment* a : pending)
                if (desk.assign(*a))
                    refusedNow.push_back(a);
            if (refusedNow.size() == pending.size())
                break;
            pending = std::move(refusedNow);
        }
    }
    bool refused = false;
    for (const Assignment* a : pending) {
        if (const std::optional<std::string> refusal = desk.assign(*a)) {
            complain(a->cell.spec + "=" + escapeText(a->text) + ": " + *refusal);
            refused = true;
        }
    }
    if (refused)
        return cliRefused;
    if (const cmcIcfResult saved = session.Document().Save(out); saved != cmcIcfResult::Ok)
        return static_cast<int>(saved);
    for (const Assignment& a : assignments) {
        const CellDesk::Drawn drawn = desk.draw(a.cell);
        if (listed)
            std::printf("%s\t%s\n", a.cell.spec.c_str(), escapeText(drawn.text).c_str());
        else
            std::printf("%s\n", markedText(drawn).c_str());
    }
    return cliOk;
}

// Takes "-o OUT" out of the arguments; out is the file itself without it.
bool takeOutput(std::vector<std::string>& arguments, std::string& out)
{
    out = arguments[0];
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] != "-o")
            continue;
        if (i + 1 >= arguments.size())
            return false;
        out = arguments[i + 1];
        arguments.erase(arguments.begin() + static_cast<std::ptrdiff_t>(i),
                        arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        return true;
    }
    return true;
}

int get(CliSession& session, const std::vector<std::string>& arguments)
{
    std::vector<CellRef> cells;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string error;
        std::optional<CellRef> cell = parseCell(arguments[i], error);
        if (!cell) {
            complain(error);
            return cliUsage;
        }
        cells.push_back(*cell);
    }
    if (const int opened = openFile(session, arguments[0]); opened != 0)
        return opened;
    CellDesk desk(session.Document());
    for (const CellRef& cell : cells)
        std::printf("%s\n", markedText(desk.draw(cell)).c_str());
    return cliOk;
}

int set(CliSession& session, const std::vector<std::string>& given)
{
    std::vector<std::string> arguments = given;
    std::string out;
    if (!takeOutput(arguments, out) || arguments.size() < 2) {
        complain("set FILE CELL=TEXT... [-o OUT]");
        return cliUsage;
    }
    std::vector<Assignment> assignments;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        std::string error;
        std::optional<Assignment> a = parseAssignment(arguments[i], error);
        if (!a) {
            complain(error);
            return cliUsage;
        }
        assignments.push_back(*a);
    }
    if (const int opened = openFile(session, arguments[0]); opened != 0)
        return opened;
    return applyAll(session, assignments, out, false);
}

// Every kind-0 setting of the map, in map order; array logics once per element.
std::vector<CellRef> settingCells()
{
    std::vector<CellRef> cells;
    for (const datSettingDef& row : datSettingsMap()) {
        const int elements = datSettingElements(row);
        for (clLogic logic : {row.logic, row.logic2}) {
            if (logic == clLogic::Count_)
                continue;
            for (int n = 0; n < elements; ++n) {
                CellRef cell;
                cell.logic = clIndex(logic);
                cell.arg = n;
                cell.spec = std::string(clLogicName(cell.logic)) + (elements > 1 ? Format("[%d]", n) : "");
                cells.push_back(cell);
            }
        }
    }
    return cells;
}

// A settings list: "CELL<TAB>TEXT" lines; empty lines are skipped.
std::optional<std::vector<Assignment>> readSettingsList(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        complain(Format("cannot read '%s'", path.c_str()));
        return std::nullopt;
    }
    std::vector<Assignment> assignments;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        const std::size_t tab = line.find('\t');
        std::string error;
        std::optional<CellRef> cell =
            tab == std::string::npos ? std::nullopt : parseCell(std::string_view(line).substr(0, tab), error);
        if (!cell) {
            complain(Format("%s:%d: ", path.c_str(), number) + (error.empty() ? "not CELL<TAB>TEXT" : error));
            return std::nullopt;
        }
        assignments.push_back({*cell, unescapeText(std::string_view(line).substr(tab + 1))});
    }
    return assignments;
}

int settings(CliSession& session, const std::vector<std::string>& given)
{
    std::vector<std::string> arguments = given;
    std::string out;
    if (!takeOutput(arguments, out)) {
        complain("settings FILE [--apply LISTFILE [-o OUT]]");
        return cliUsage;
    }
    if (arguments.size() == 1) {
        if (const int opened = openFile(session, arguments[0]); opened != 0)
            return opened;
        CellDesk desk(session.Document());
        for (const CellRef& cell : settingCells())
            std::printf("%s\t%s\n", cell.spec.c_str(), escapeText(desk.draw(cell).text).c_str());
        return cliOk;
    }
    if (arguments.size() != 3 || arguments[1] != "--apply") {
        complain("settings FILE [--apply LISTFILE [-o OUT]]");
        return cliUsage;
    }
    const std::optional<std::vector<Assignment>> assignments = readSettingsList(arguments[2]);
    if (!assignments)
        return cliUsage;
    if (const int opened = openFile(session, arguments[0]); opened != 0)
        return opened;
    return applyAll(session, *assignments, out, true);
}

constexpr std::array kCommands{
    CliCommand{"get", "FILE CELL...", 2, -1, get},
    CliCommand{"set", "FILE CELL=TEXT... [-o OUT]", 2, -1, set},
    CliCommand{"settings", "FILE [--apply LISTFILE [-o OUT]]", 1, 5, settings},
};

} // namespace

std::span<const CliCommand> CliCellCommands()
{
    return kCommands;
}
