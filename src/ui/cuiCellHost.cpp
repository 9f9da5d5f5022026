#include "ui/cuiCellHost.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "ui/cuiFBitsR.h"
#include "ui/cuiFText.h"
#include "ui/cuiFlector.h"
#include "ui/indFlector.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
// The check mark style of the bit-field popup the cells open.
constexpr int checkMarks = 1;
} // namespace

cuiCellHost::cuiCellHost(indDocument& document, int zoomPercent)
    : document_(document), zoomPercent_(zoomPercent)
{
}

cuiCellHost::~cuiCellHost() = default;

void cuiCellHost::OpenSelectionPopup(const cmcCellCapsule& opener, const std::string& listName, int flexCode,
                                     int currentValue)
{
    last_ = new cuiFlector(opener, *this, MainText(), listName, flexCode, currentValue);
}

void cuiCellHost::OpenModelSelectionPopup(const cmcCellCapsule& opener, const std::string& listName,
                                          int flexCode, int currentValue, const std::string& title)
{
    last_ = new indFlector(opener, *this, flexCode, currentValue, MainText(), listName, title);
}

void cuiCellHost::OpenBitFieldPopup(const cmcCellCapsule& opener, unsigned bits, int first, int last,
                                    int labelStyle)
{
    last_ = new cuiFBitsR(opener, *this, MainText(), bits, first, last, labelStyle, checkMarks);
}

void cuiCellHost::OpenTextPopup(const cmcCellCapsule& opener, const std::string& escapedText, int maxLength)
{
    // Enter (or backspace) opens on the whole text, which the user then overwrites; a typed
    // character opens on that character with the caret after it.
    const bool selectAll = opener.key == '\r' || opener.key == '\b';
    last_ = new cuiFText(opener, *this, escapedText, selectAll, maxLength);
}

void cuiCellHost::OpenCharacterEditor(const cmcCellCapsule&, const std::string&, int, int)
{
    // The character editor is a window of its own, not built yet; the cell stays unchanged.
}

void cuiCellHost::SetClipboardText(const std::string& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}

void cuiCellHost::OpenHelp(const std::string& topic)
{
    if (help_)
        help_(topic);
}

void cuiCellHost::RunCommand(int logic, int arg, const std::string& text)
{
    if (command_)
        command_(logic, arg, text);
}

CellMenuState cuiCellHost::MenuState() const
{
    CellMenuState state;
    state.zoomPercent = zoomPercent_;
    return state;
}
