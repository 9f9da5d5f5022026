#pragma once
// What the menu, tool bar and tree builders need around them in the tests: the sheet test
// bed (shipped overlay with the sheet fixtures as the main text, virtual timers, event
// manager, document), a definition table that adds the builder fixtures of
// data/TestMenus.ovl to it, a cell host whose menu state and recent files the test sets and
// which records the commands the cells run, and the two image lists.
#include "UiTestBed.h"

#include "base/cmcGTex.h"
#include "ui/cuiCellHost.h"
#include "ui/cuiImageList.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QTreeWidget;
class QWidget;
class cuiMenu;

class BuilderHost : public cuiCellHost {
public:
    struct Command {
        int logic = 0;
        int arg = 0;
        std::string text;
    };

    using cuiCellHost::cuiCellHost;

    [[nodiscard]] CellMenuState MenuState() const override;
    [[nodiscard]] std::optional<std::string> RecentEntry(int n) const override;
    void RunCommand(int logic, int arg, const std::string& text) override;

    CellMenuState state;
    std::vector<std::optional<std::string>> recent;
    // The main menu whose Edit item the display rule asks about.
    const cuiMenu* mainMenu = nullptr;
    std::vector<Command> commands;
    std::function<void(const Command&)> onCommand;
};

class BuilderTestBed {
public:
    BuilderTestBed();
    ~BuilderTestBed();
    BuilderTestBed(const BuilderTestBed&) = delete;
    BuilderTestBed& operator=(const BuilderTestBed&) = delete;

    void Settle() { ui.Settle(); }

    // A menu (or menu bar) as text: captions in order, sub-items in parentheses, "-" for a
    // separator, "~" for an item without a cell text.
    [[nodiscard]] static std::string Structure(const QWidget& container);
    // The same for a tree's nodes ("~" for a node without a cell text).
    [[nodiscard]] static std::string Structure(const QTreeWidget& tree);
    // The captions of a menu's items, separators as "-".
    [[nodiscard]] static std::vector<std::string> Captions(const QWidget& container);

    UiTestBed ui;
    cmcGTex table;
    BuilderHost host;
    cuiImageList treeImages;
    cuiImageList toolImages;
};
