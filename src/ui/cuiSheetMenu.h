#pragma once
// The popup menu of a sheet's current cell, built from a menu definition of the overlay:
// N + "_BasicCell" (the parent of every item's cell) and N + "_Body" (item lines: an
// indentation, a "+", then a cell text; deeper indentation nests under the item above; a
// display text of "-" is a separator). Every item is a cell: choosing it hands the item
// cell's logic to the sheet as a command for its current cell, and before the menu shows
// the cell-logic dispatcher sets each item's state (Flag0 checked, Flag1 hidden, Flag2
// disabled, Flag3 caption from the display text). The item's text argument is its
// keyboard shortcut ("Ctrl+C", "Del"), active while the owning grid has the focus.
#include "cells/cmcCellObj.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CellHost;
class QAction;
class QMenu;
class cmcGTex;
struct cmcCellCapsule;

class cuiSheetMenu {
public:
    using ItemHandler = std::function<void(int logic)>;

    // owner: the widget whose shortcuts the items become (the grid).
    cuiSheetMenu(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name, ItemHandler onItem);
    ~cuiSheetMenu();
    cuiSheetMenu(const cuiSheetMenu&) = delete;
    cuiSheetMenu& operator=(const cuiSheetMenu&) = delete;

    void Build();
    // Sets every item's state for the cell of source (the cell owning the menu).
    void Refresh(const cmcCellCapsule& source);
    [[nodiscard]] QMenu& Menu() { return *menu_; }
    [[nodiscard]] const std::string& Name() const { return name_; }
    // The first item, depth first, whose cell has this logic; none when there is none.
    [[nodiscard]] QAction* FindByLogic(int logic) const;
    // The cell of an item, none for separators.
    [[nodiscard]] cmcCellObj* CellOf(const QAction* action) const;

private:
    int buildItems(QMenu& parent, const std::string& key, int first);
    QAction* makeItem(QMenu& parent, const std::string& text);
    void refreshMenu(QMenu& menu, const cmcCellCapsule& source);

    QPointer<QWidget> owner_;
    CellHost& host_;
    cmcGTex& overlay_;
    std::string name_;
    ItemHandler onItem_;
    cmcCellObj basicCell_;
    std::vector<std::unique_ptr<cmcCellObj>> cells_;
    std::unique_ptr<QMenu> menu_;
    std::vector<QAction*> shortcutActions_; // added to the owner for their shortcuts
};
