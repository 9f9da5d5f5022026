#include "ui/cuiSheetMenu.h"

#include "base/cmcGTex.h"
#include "cells/cmcCellCapsule.h"
#include "cells/cmcCellParser.h"
#include "cells/indActiveCell.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

cuiSheetMenu::cuiSheetMenu(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name,
                           ItemHandler onItem)
    : owner_(owner), host_(host), overlay_(overlay), name_(std::move(name)), onItem_(std::move(onItem)),
      menu_(std::make_unique<QMenu>())
{
}

cuiSheetMenu::~cuiSheetMenu()
{
    if (owner_ != nullptr) {
        for (QAction* action : shortcutActions_)
            owner_->removeAction(action);
    }
}

void cuiSheetMenu::Build()
{
    menu_->clear();
    cells_.clear();
    cmcParseCell(basicCell_, overlay_.GetEntry(name_ + "_BasicCell", 0), nullptr, nullptr);
    buildItems(*menu_, name_ + "_Body", 0);
}

// Builds the items of key from line first under parent; returns the lines consumed.
int cuiSheetMenu::buildItems(QMenu& parent, const std::string& key, int first)
{
    int levelIndent = -1;
    QAction* last = nullptr;
    int k = 0;
    while (true) {
        const std::string line = overlay_.GetEntry(key, first + k);
        if (!line.empty() && line[0] == '#')
            break;
        const std::size_t plus = line.find('+');
        const int indent = static_cast<int>(plus == std::string::npos ? line.size() : plus);
        if (levelIndent < 0) {
            levelIndent = indent;
        } else if (indent > levelIndent) {
            if (last == nullptr)
                break;
            QMenu* sub = last->menu();
            if (sub == nullptr) {
                sub = new QMenu(&parent);
                last->setMenu(sub);
            }
            k += buildItems(*sub, key, first + k);
            continue;
        } else if (indent < levelIndent) {
            break;
        }
        last = makeItem(parent, plus == std::string::npos ? std::string() : line.substr(plus + 1));
        ++k;
    }
    return k;
}

QAction* cuiSheetMenu::makeItem(QMenu& parent, const std::string& text)
{
    auto cell = std::make_unique<cmcCellObj>();
    cmcParseCell(*cell, text, nullptr, &basicCell_);
    if (cell->DisplayText() == "-")
        return parent.addSeparator();
    QAction* action = parent.addAction(QString::fromStdString(cell->DisplayText()));
    cmcCellObj* raw = cell.get();
    action->setData(QVariant::fromValue(static_cast<void*>(raw)));
    if (cell->argText && !cell->argText->empty()) {
        action->setShortcut(QKeySequence(QString::fromStdString(*cell->argText)));
        action->setShortcutContext(Qt::WidgetShortcut);
        if (owner_ != nullptr) {
            owner_->addAction(action);
            shortcutActions_.push_back(action);
        }
    }
    const int logic = cell->logic;
    QObject::connect(action, &QAction::triggered, action, [this, logic] {
        if (onItem_)
            onItem_(logic);
    });
    cells_.push_back(std::move(cell));
    return action;
}

cmcCellObj* cuiSheetMenu::CellOf(const QAction* action) const
{
    if (action == nullptr || action->isSeparator())
        return nullptr;
    return static_cast<cmcCellObj*>(action->data().value<void*>());
}

QAction* cuiSheetMenu::FindByLogic(int logic) const
{
    std::vector<QMenu*> menus{menu_.get()};
    while (!menus.empty()) {
        QMenu* menu = menus.front();
        menus.erase(menus.begin());
        for (QAction* action : menu->actions()) {
            const cmcCellObj* cell = CellOf(action);
            if (cell != nullptr && cell->logic == logic)
                return action;
            if (action->menu() != nullptr)
                menus.push_back(action->menu());
        }
    }
    return nullptr;
}

void cuiSheetMenu::Refresh(const cmcCellCapsule& source)
{
    refreshMenu(*menu_, source);
}

void cuiSheetMenu::refreshMenu(QMenu& menu, const cmcCellCapsule& source)
{
    for (QAction* action : menu.actions()) {
        cmcCellObj* cell = CellOf(action);
        if (cell != nullptr) {
            cell->marks &= static_cast<std::uint8_t>(~cmcCellObj::FlagMask);
            cell->extra &= static_cast<std::uint8_t>(~cmcCellObj::ExtraFlag);
            cmcCellCapsule capsule;
            capsule.owner = owner_;
            capsule.cell = cell;
            capsule.source = &source;
            indActiveCell active(host_);
            active.run(capsule);
            const bool checked = (cell->marks & cmcCellObj::Flag0) != 0;
            action->setCheckable(checked || action->isCheckable());
            action->setChecked(checked);
            action->setVisible((cell->marks & cmcCellObj::Flag1) == 0);
            action->setEnabled((cell->marks & cmcCellObj::Flag2) == 0);
            if ((cell->marks & cmcCellObj::Flag3) != 0) {
                const QString caption = QString::fromStdString(cell->DisplayText());
                if (caption != action->text())
                    action->setText(caption);
            }
        } else if (!action->isSeparator()) {
            action->setChecked(false);
        }
        if (action->menu() != nullptr)
            refreshMenu(*action->menu(), source);
    }
}
