#include "ui/cuiMenu.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "cells/cmcCellParser.h"
#include "cells/indActiveCell.h"
#include "ui/cuiImageList.h"
#include "ui/cuiItemLines.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

#include <algorithm>

namespace {
// The cell an action carries in its data (this menu's items and a sheet's popup items).
cmcCellObj* cellInData(const QAction* action)
{
    if (action == nullptr || action->isSeparator())
        return nullptr;
    return static_cast<cmcCellObj*>(action->data().value<void*>());
}

// The first action, depth first, of a popup menu whose cell has logic.
QAction* findByLogic(const QWidget& container, int logic)
{
    for (QAction* action : container.actions()) {
        const cmcCellObj* cell = cellInData(action);
        if (cell != nullptr && cell->logic == logic)
            return action;
        if (action->menu() != nullptr) {
            if (QAction* found = findByLogic(*action->menu(), logic))
                return found;
        }
    }
    return nullptr;
}
} // namespace

cuiMenu::cuiMenu(QWidget* owner, QWidget* root, CellHost& host, cmcGTex& overlay, std::string name,
                 ClickHandler onClick, const cuiImageList* images)
    : owner_(owner), root_(root), host_(host), overlay_(&overlay), name_(std::move(name)),
      onClick_(std::move(onClick)), images_(images), context_(std::make_unique<QObject>())
{
    cmcEvents().Register(&cuiMenu::onEvent, this);
}

cuiMenu::~cuiMenu()
{
    cmcEvents().Unregister(&cuiMenu::onEvent, this);
    context_.reset();
    // The items leave the widgets at once; the objects go once the event loop is back, as
    // one of them may be the item whose click is destroying this menu.
    for (auto& [key, item] : items_) {
        if (item.action.isNull())
            continue;
        for (QObject* object : item.action->associatedObjects()) {
            if (auto* widget = qobject_cast<QWidget*>(object))
                widget->removeAction(item.action);
        }
        item.action->deleteLater();
    }
    for (const QPointer<QMenu>& menu : subMenus_) {
        if (!menu.isNull())
            menu->deleteLater();
    }
}

void cuiMenu::SetSource(cmcGTex& overlay, std::string name)
{
    overlay_ = &overlay;
    name_ = std::move(name);
}

std::intptr_t cuiMenu::Identity() const
{
    return reinterpret_cast<std::intptr_t>(root_.data());
}

cmcCellObj* cuiMenu::CellOf(const QAction* item) const
{
    const auto it = items_.find(item);
    return it == items_.end() ? nullptr : it->second.cell.get();
}

QMenu* cuiMenu::PopupMenuAt(std::intptr_t address)
{
    if (address == 0)
        return nullptr;
    // Compared by address only: nothing is read through a value that is not a live widget.
    const QWidgetList widgets = QApplication::allWidgets();
    const auto it = std::find_if(widgets.begin(), widgets.end(), [address](const QWidget* widget) {
        return reinterpret_cast<std::intptr_t>(widget) == address;
    });
    return it == widgets.end() ? nullptr : qobject_cast<QMenu*>(*it);
}

bool cuiMenu::HasSubItems(const QAction* item)
{
    return item != nullptr && item->menu() != nullptr && !item->menu()->actions().isEmpty();
}

bool cuiMenu::IsEmptyAt(int logic) const
{
    const QAction* item = FindItemByLogic(logic);
    return item != nullptr && !HasSubItems(item);
}

// --- building ---------------------------------------------------------------------------------

void cuiMenu::Build()
{
    if (root_.isNull())
        return;
    clearRoot();
    cmcParseCell(basicCell_, overlay_->GetEntry(name_ + "_BasicCell", 0), nullptr, nullptr);
    buildInto(nullptr, name_ + "_Body", 0);
}

void cuiMenu::BuildUnder(QAction* item, const std::string& key, std::intptr_t ownerMenu)
{
    if (item == nullptr || root_.isNull() || items_.count(item) == 0)
        return;
    buildInto(item, key, ownerMenu);
}

// Builds the record key under the item under (none: the root). Items of a sheet's popup
// menu (ownerMenu) belong to it; the others belong to the menu that holds them.
void cuiMenu::buildInto(QAction* under, const std::string& key, std::intptr_t ownerMenu)
{
    QMenu* forwardTo = PopupMenuAt(ownerMenu);
    if (forwardTo == nullptr) {
        ownerMenu = 0;
    } else {
        // A sheet that goes without taking its copy back (event 10) leaves nothing behind.
        QObject::connect(forwardTo, &QObject::destroyed, context_.get(),
                         [this, ownerMenu] { removeCopiesOf(ownerMenu); });
    }
    auto make = [&](QAction* parent, const cuiItemLine& line) -> QAction* {
        QAction* target = parent != nullptr ? parent : under;
        QWidget& container = target != nullptr ? static_cast<QWidget&>(subMenuOf(*target)) : *root_;
        const std::intptr_t owner = ownerMenu != 0 ? ownerMenu : reinterpret_cast<std::intptr_t>(&container);
        return makeItem(container, line, owner, forwardTo);
    };
    cuiBuildItemLines<QAction*>(*overlay_, key, 0, nullptr, make);
}

QAction* cuiMenu::makeItem(QWidget& container, const cuiItemLine& line, std::intptr_t owner, QMenu* forwardTo)
{
    std::unique_ptr<cmcCellObj> cell;
    if (line.cellText) {
        cell = std::make_unique<cmcCellObj>();
        cmcParseCell(*cell, *line.cellText, nullptr, &basicCell_);
    }
    auto* action = new QAction(&container);
    if (cell && cell->DisplayText() == "-") {
        action->setSeparator(true);
        cell.reset();
    } else if (cell) {
        action->setText(QString::fromStdString(cell->DisplayText()));
        action->setData(QVariant::fromValue(static_cast<void*>(cell.get())));
        if (cell->argText && !cell->argText->empty()) {
            action->setShortcut(
                QKeySequence(QString::fromStdString(*cell->argText), QKeySequence::PortableText));
            // A copied popup item shows its key but leaves it to the sheet's own item; a
            // popup menu's keys work while its owner (the grid) has the focus.
            if (forwardTo != nullptr) {
                action->setShortcutContext(Qt::WidgetShortcut);
            } else if (qobject_cast<QMenu*>(root_.data()) != nullptr && !owner_.isNull()) {
                action->setShortcutContext(Qt::WidgetShortcut);
                owner_->addAction(action);
            }
        }
    }
    container.addAction(action);
    QObject::connect(action, &QAction::triggered, context_.get(), [this, action] { clicked(action); });

    Item item;
    item.action = action;
    item.cell = std::move(cell);
    item.owner = owner;
    item.forwardTo = forwardTo;
    item.copied = forwardTo != nullptr;
    Item& stored = items_[action] = std::move(item);
    applyImage(stored);
    return action;
}

QMenu& cuiMenu::subMenuOf(QAction& item)
{
    if (QMenu* menu = item.menu())
        return *menu;
    auto* parent = qobject_cast<QWidget*>(item.parent());
    auto* menu = new QMenu(parent);
    item.setMenu(menu);
    subMenus_.emplace_back(menu);
    QObject::connect(menu, &QMenu::aboutToShow, context_.get(), [this] { Refresh(); });
    return *menu;
}

void cuiMenu::applyImage(Item& item)
{
    if (item.cell == nullptr || item.action.isNull() || item.cell->imageIndex == item.image)
        return;
    item.image = item.cell->imageIndex;
    if (images_ == nullptr || item.image < 0)
        item.action->setIcon({});
    else
        item.action->setIcon(QIcon(images_->At(item.image)));
}

// --- removing ---------------------------------------------------------------------------------

void cuiMenu::ClearItem(QAction* item)
{
    if (item == nullptr || items_.count(item) == 0 || item->menu() == nullptr)
        return;
    QMenu& menu = *item->menu();
    for (QAction* action : menu.actions())
        removeItem(menu, action);
}

// Takes an item of this menu (and its sub-items) out of container and frees its cell. The
// action object goes later: it may be the item whose click is running.
void cuiMenu::removeItem(QWidget& container, QAction* action)
{
    const auto it = items_.find(action);
    if (it == items_.end())
        return;
    if (QMenu* sub = action->menu()) {
        for (QAction* child : sub->actions())
            removeItem(*sub, child);
        subMenus_.erase(std::remove(subMenus_.begin(), subMenus_.end(), QPointer<QMenu>(sub)),
                        subMenus_.end());
        sub->deleteLater();
    }
    container.removeAction(action);
    if (!owner_.isNull())
        owner_->removeAction(action);
    items_.erase(it);
    action->deleteLater();
}

void cuiMenu::removeCopiesOf(std::intptr_t ownerMenu)
{
    while (true) {
        const auto it = std::find_if(items_.begin(), items_.end(), [ownerMenu](const auto& entry) {
            return entry.second.copied && entry.second.owner == ownerMenu && !entry.second.action.isNull();
        });
        if (it == items_.end())
            return;
        QAction* action = it->second.action.data();
        if (auto* container = qobject_cast<QWidget*>(action->parent()))
            removeItem(*container, action);
        else
            items_.erase(it);
    }
}

void cuiMenu::clearRoot()
{
    for (QAction* action : root_->actions())
        removeItem(*root_, action);
    // Items whose widgets went away without this menu knowing.
    items_.clear();
}

QAction* cuiMenu::FindItemByLogic(int logic) const
{
    if (root_.isNull())
        return nullptr;
    struct Walk {
        const cuiMenu& menu;
        int logic;
        QAction* operator()(const QWidget& container) const
        {
            for (QAction* action : container.actions()) {
                const cmcCellObj* cell = menu.CellOf(action);
                if (cell != nullptr && cell->logic == logic)
                    return action;
                if (action->menu() != nullptr && menu.items_.count(action) != 0) {
                    if (QAction* found = (*this)(*action->menu()))
                        return found;
                }
            }
            return nullptr;
        }
    };
    return Walk{*this, logic}(*root_);
}

// --- state ------------------------------------------------------------------------------------

void cuiMenu::Refresh()
{
    if (root_.isNull())
        return;
    lastOwner_.reset();
    refreshItems(*root_);
    hasSource_ = false;
}

void cuiMenu::refreshItems(QWidget& container)
{
    for (QAction* action : container.actions()) {
        const auto it = items_.find(action);
        if (it == items_.end())
            continue;
        refreshItem(it->second);
        if (QMenu* sub = action->menu())
            refreshItems(*sub);
    }
}

void cuiMenu::refreshItem(Item& item)
{
    QAction* action = item.action.data();
    if (action == nullptr || action->isSeparator())
        return;
    if (!lastOwner_ || *lastOwner_ != item.owner) {
        lastOwner_ = item.owner;
        askSource(item.owner);
    }
    if (item.cell == nullptr) {
        action->setChecked(false);
        action->setCheckable(false);
        return;
    }
    cmcCellObj& cell = *item.cell;
    cell.marks &= static_cast<std::uint8_t>(~cmcCellObj::FlagMask);
    cell.extra &= static_cast<std::uint8_t>(~cmcCellObj::ExtraFlag);
    cmcCellCapsule capsule;
    capsule.owner = owner_.data();
    capsule.cell = &cell;
    capsule.source = hasSource_ ? &sourceCapsule_ : nullptr;
    indActiveCell active(host_);
    (void)active.run(capsule);

    // Only a checked item is checkable: an unchecked check box would show in some styles.
    const bool checked = (cell.marks & cmcCellObj::Flag0) != 0;
    action->setCheckable(checked);
    action->setChecked(checked);
    action->setVisible((cell.marks & cmcCellObj::Flag1) == 0);
    action->setEnabled((cell.marks & cmcCellObj::Flag2) == 0);
    if ((cell.marks & cmcCellObj::Flag3) != 0) {
        const QString caption = QString::fromStdString(cell.DisplayText());
        if (caption != action->text())
            action->setText(caption);
    }
    applyImage(item);
}

// The cell of the sheet whose popup menu is owner, copied; none when nobody answers.
void cuiMenu::askSource(std::intptr_t owner)
{
    hasSource_ = false;
    const cmcEvAnswers answers = cmcEvents().Ask(cmcEvCode::AskCurrentCell, owner, 0);
    for (const cmcEvAns& answer : answers) {
        if (answer.value == 0)
            continue;
        sourceCell_ = *reinterpret_cast<const cmcCellObj*>(answer.value);
        sourceCapsule_.Reset();
        sourceCapsule_.cell = &sourceCell_;
        hasSource_ = true;
        break;
    }
}

// --- choosing ---------------------------------------------------------------------------------

void cuiMenu::clicked(QAction* action)
{
    const auto it = items_.find(action);
    if (it == items_.end())
        return;
    const Item& item = it->second;
    if (item.cell == nullptr)
        return;
    if (item.copied) {
        // A copy of a sheet's popup item runs the sheet's own item of the same logic; nothing
        // once that popup menu is gone.
        if (!item.forwardTo.isNull()) {
            if (QAction* original = findByLogic(*item.forwardTo, item.cell->logic))
                original->trigger();
        }
        return;
    }
    const cmcCellObj cell = *item.cell; // the command may rebuild this menu
    if (onClick_)
        onClick_(cell);
    else
        defaultClick(cell);
}

void cuiMenu::defaultClick(const cmcCellObj& cell)
{
    const std::weak_ptr<int> alive = alive_;
    // Nobody answers a question without an owner: commands from the main menu have no source.
    (void)cmcEvents().Ask(cmcEvCode::AskCurrentCell, 0, 0);
    cmcCellObj copy = cell;
    cmcCellCapsule capsule;
    capsule.owner = owner_.data();
    capsule.cell = &copy;
    capsule.key = cmcKey::Enter;
    indActiveCell active(host_);
    (void)active.run(capsule);
    if (!alive.expired())
        Refresh();
}

// --- events -----------------------------------------------------------------------------------

void cuiMenu::onEvent(void* user, const cmcEvent& event)
{
    auto& menu = *static_cast<cuiMenu*>(user);
    switch (event.code) {
    case cmcEvCode::RefreshMenus:
        menu.Refresh();
        break;
    case cmcEvCode::DeleteSubItems:
        menu.ClearItem(menu.FindItemByLogic(static_cast<int>(event.arg2)));
        break;
    case cmcEvCode::BuildSubItems: {
        QAction* item = menu.FindItemByLogic(static_cast<int>(event.arg2));
        const std::string name(event.Text());
        if (item == nullptr || name.empty())
            break;
        if (event.arg1 != menu.Identity() && PopupMenuAt(event.arg1) != nullptr) {
            menu.ClearItem(item);
            menu.BuildUnder(item, name + "_Body", event.arg1);
        } else if (!HasSubItems(item)) {
            menu.BuildUnder(item, name + "_Body", 0);
        }
        break;
    }
    default:
        break;
    }
}
