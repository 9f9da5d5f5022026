#include "BuilderTestBed.h"

#include "cells/clLogic.h"
#include "ui/cuiIcons.h"
#include "ui/cuiMenu.h"

#include <QAction>
#include <QMenu>
#include <QTreeWidget>

#include <fstream>

namespace {
// The sheet test bed's overlay with the builder fixtures added before its end.
std::vector<std::string> definitionLines()
{
    std::vector<std::string> lines = UiTestBed::OverlayLines();
    if (!lines.empty() && lines.back() == "#End_Of_Ovl")
        lines.pop_back();
    std::ifstream in(std::string(UI_TEST_DATA) + "TestMenus.ovl");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    lines.push_back("#End_Of_Ovl");
    return lines;
}

std::string nodeText(const QTreeWidgetItem& node)
{
    std::string text = node.text(0).isEmpty() ? "~" : node.text(0).toStdString();
    if (node.childCount() == 0)
        return text;
    text += '(';
    for (int i = 0; i < node.childCount(); ++i) {
        if (i > 0)
            text += ',';
        text += nodeText(*node.child(i));
    }
    text += ')';
    return text;
}
} // namespace

CellMenuState BuilderHost::MenuState() const
{
    CellMenuState s = state;
    if (mainMenu != nullptr) {
        s.mainMenu = mainMenu->Identity();
        s.editMenuEmpty = mainMenu->IsEmptyAt(clIndex(clLogic::CL_Menu_Edit_Top));
    }
    return s;
}

std::optional<std::string> BuilderHost::RecentEntry(int n) const
{
    if (n < 0 || static_cast<std::size_t>(n) >= recent.size())
        return std::nullopt;
    return recent[static_cast<std::size_t>(n)];
}

void BuilderHost::RunCommand(int logic, int arg, const std::string& text)
{
    commands.push_back({logic, arg, text});
    if (onCommand)
        onCommand(commands.back());
}

BuilderTestBed::BuilderTestBed()
    : host(ui.document, 100), treeImages(cuiIcons::TreeImages()), toolImages(cuiIcons::ToolBarImages())
{
    (void)table.SetLines(definitionLines());
}

BuilderTestBed::~BuilderTestBed() = default;

std::string BuilderTestBed::Structure(const QWidget& container)
{
    std::string text;
    for (const QAction* action : container.actions()) {
        if (!text.empty())
            text += ",";
        if (action->isSeparator()) {
            text += "-";
            continue;
        }
        text += action->text().isEmpty() ? "~" : action->text().toStdString();
        if (action->menu() != nullptr && !action->menu()->actions().isEmpty()) {
            text += '(';
            text += Structure(*action->menu());
            text += ')';
        }
    }
    return text;
}

std::string BuilderTestBed::Structure(const QTreeWidget& tree)
{
    std::string text;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
        if (i > 0)
            text += ',';
        text += nodeText(*tree.topLevelItem(i));
    }
    return text;
}

std::vector<std::string> BuilderTestBed::Captions(const QWidget& container)
{
    std::vector<std::string> captions;
    for (const QAction* action : container.actions())
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    return captions;
}
