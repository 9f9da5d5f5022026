#pragma once
// A menu built from an overlay definition N: N + "_BasicCell" (the parent of every item's
// cell) and N + "_Body" (item lines nested by indentation, cuiItemLines.h). Every item is a
// cell: its display text is the caption ("-" makes a separator), its text argument the
// keyboard shortcut in Qt's portable key-sequence form ("Ctrl+C", "Enter"), its image
// index the icon. The menu knows no command: choosing an item runs its cell's logic.
//
// State refresh: before a menu shows, on event 9 and after every click of the default
// handler, each item's Flag0 to Flag3 are cleared and its logic runs without a key; then
// Flag0 checks the item, Flag1 hides it, Flag2 disables it and Flag3 takes the caption from
// the display text the logic left. Items of a sheet's popup menu learn the sheet's current
// cell by asking event 12 with their owner (the popup menu's root), so the record commands
// of the popup menu and of its copy in the Edit menu show the state of that cell.
//
// The Edit menu: event 11 builds, under the item whose logic is the event's second
// argument, the items of the definition named by the event's text; event 10 removes them.
// When the first argument is a sheet's popup menu (a live QMenu), the copied items belong to
// that menu: event 12 is asked with it, and choosing one runs the sheet's own item of the
// same logic. A fill request that does not come from a sheet (the "no item" menu that the
// Edit item's display rule asks for) is dropped when the item has sub-items by the time it
// is delivered; a sheet's copy replaces whatever the item held, and goes with the sheet's
// popup menu when that is destroyed without event 10.
#include "cells/cmcCellCapsule.h"
#include "cells/cmcCellObj.h"

#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CellHost;
class QAction;
class QMenu;
class QObject;
class QWidget;
class cmcGTex;
class cuiImageList;
struct cmcEvent;
struct cuiItemLine;

class cuiMenu {
public:
    // Handler of a chosen item, with a copy of the item's cell (the handler may rebuild the
    // menu). Without one, the menu's default handler runs the cell with Enter, then
    // refreshes every item.
    using ClickHandler = std::function<void(const cmcCellObj& cell)>;

    // owner: the window owning the menu (the capsules' owner; for a popup menu, the widget
    // its shortcuts work in). root: the main menu bar or a popup menu, not owned. Registers
    // for events; nothing is built yet.
    cuiMenu(QWidget* owner, QWidget* root, CellHost& host, cmcGTex& overlay, std::string name,
            ClickHandler onClick = {}, const cuiImageList* images = nullptr);
    ~cuiMenu();
    cuiMenu(const cuiMenu&) = delete;
    cuiMenu& operator=(const cuiMenu&) = delete;

    // Replaces the table and the definition name (a change of display language), for the
    // next Build.
    void SetSource(cmcGTex& overlay, std::string name);
    // Removes every item under the root, then builds the definition's items.
    void Build();
    // Builds the items of the record key (a "_Body" key) under item. ownerMenu: a sheet's
    // popup menu (QMenu*) the new items belong to, or 0 (also taken for an address that is no
    // live popup menu).
    void BuildUnder(QAction* item, const std::string& key, std::intptr_t ownerMenu = 0);
    // Removes the item's sub-items and frees their cells.
    void ClearItem(QAction* item);
    // The first item, depth first from the root, whose cell has logic; none when there is none.
    [[nodiscard]] QAction* FindItemByLogic(int logic) const;
    // Recomputes the state of every item.
    void Refresh();

    // What events 11 and the Edit item's display rule carry for this menu: the root's address.
    [[nodiscard]] std::intptr_t Identity() const;
    [[nodiscard]] QWidget* Root() const { return root_.data(); }
    // The cell of an item of this menu; none for separators, lines without a cell and
    // actions that are not this menu's.
    [[nodiscard]] cmcCellObj* CellOf(const QAction* item) const;
    // The live popup menu (QMenu) at address, none for 0 or anything else: events carry
    // menus as addresses.
    [[nodiscard]] static QMenu* PopupMenuAt(std::intptr_t address);
    // Whether the item holds sub-items.
    [[nodiscard]] static bool HasSubItems(const QAction* item);
    // The item carrying logic exists and holds no sub-items (the Edit item waiting for a fill).
    [[nodiscard]] bool IsEmptyAt(int logic) const;

private:
    struct Item {
        QPointer<QAction> action;
        std::unique_ptr<cmcCellObj> cell; // none for separators and lines without a cell
        std::intptr_t owner = 0;          // what event 12 is asked with
        QPointer<QMenu> forwardTo;        // a copied popup item: the popup menu that runs it
        bool copied = false;              // a copy of a sheet's popup item
        int image = -1;                   // image index shown
    };

    static void onEvent(void* user, const cmcEvent& event);
    QAction* makeItem(QWidget& container, const cuiItemLine& line, std::intptr_t owner, QMenu* forwardTo);
    QMenu& subMenuOf(QAction& item);
    void removeItem(QWidget& container, QAction* action);
    void removeCopiesOf(std::intptr_t ownerMenu);
    void clearRoot();
    void buildInto(QAction* under, const std::string& key, std::intptr_t ownerMenu);
    void refreshItems(QWidget& container);
    void refreshItem(Item& item);
    void askSource(std::intptr_t owner);
    void clicked(QAction* action);
    void defaultClick(const cmcCellObj& cell);
    void applyImage(Item& item);

    QPointer<QWidget> owner_;
    QPointer<QWidget> root_;
    CellHost& host_;
    cmcGTex* overlay_;
    std::string name_;
    ClickHandler onClick_;
    const cuiImageList* images_;
    cmcCellObj basicCell_;
    std::unordered_map<const QAction*, Item> items_;
    std::vector<QPointer<QMenu>> subMenus_;
    // Receiver of the items' signals: destroying it first cuts every connection to this.
    std::unique_ptr<QObject> context_;
    // State of the current refresh: the owner asked last and the answer it gave.
    std::optional<std::intptr_t> lastOwner_;
    cmcCellObj sourceCell_;
    cmcCellCapsule sourceCapsule_;
    bool hasSource_ = false;
    // Expires with the menu: a command run from a click may destroy it.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};
