#include "ui/cuiTree.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcTask.h"
#include "cells/cmcCellParser.h"
#include "cells/indActiveCell.h"
#include "ui/cuiCellStyle.h"
#include "ui/cuiImageList.h"
#include "ui/cuiItemLines.h"

#include <QPainter>
#include <QTreeWidget>

#include <vector>

namespace {
constexpr int cellRole = Qt::UserRole;
constexpr int imageRole = Qt::UserRole + 1;
constexpr int overlayRole = Qt::UserRole + 2;

// The node and every node below it, in list order.
void collect(QTreeWidgetItem* node, std::vector<QTreeWidgetItem*>& out)
{
    out.push_back(node);
    for (int i = 0; i < node->childCount(); ++i)
        collect(node->child(i), out);
}
} // namespace

cuiTree::cuiTree(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name,
                 const cuiImageList& images)
    : owner_(owner), host_(host), overlay_(overlay), name_(std::move(name)), images_(images),
      view_(new QTreeWidget(owner)), changeTask_(std::make_unique<cmcTask>()),
      context_(std::make_unique<QObject>())
{
    view_->setHeaderHidden(true);
    view_->setColumnCount(1);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setIconSize(QSize(images_.Size(), images_.Size()));
    QObject::connect(view_, &QTreeWidget::currentItemChanged, context_.get(), [this] { selectionChanged(); });
    changeTask_->SetHandler([this](cmcTask& task) {
        task.SetPeriod(-1);
        selectionSettled();
    });
    cmcEvents().Register(&cuiTree::onEvent, this);
    registered_ = true;
}

cuiTree::~cuiTree()
{
    release();
    // The delayed selection may be what destroys the tree: a task inside its handler must
    // outlive this call, and Release lets go of it only when it still runs.
    if (changeTask_->InHandler())
        changeTask_->SetPeriod(1);
    cmcTask::Release(std::move(changeTask_));
}

void cuiTree::release()
{
    if (registered_) {
        cmcEvents().Unregister(&cuiTree::onEvent, this);
        registered_ = false;
    }
    context_.reset();
    if (changeTask_)
        changeTask_->SetPeriod(-1);
    if (!view_.isNull()) {
        view_->hide();
        view_->deleteLater();
        view_.clear();
    }
    cells_.clear();
}

// --- building ---------------------------------------------------------------------------------

void cuiTree::Build()
{
    if (view_.isNull())
        return;
    view_->clear();
    cells_.clear();
    cmcParseCell(basicCell_, overlay_.GetEntry(name_ + "_BasicCell", 0), nullptr, nullptr);
    const cmcCellFont* font = basicCell_.EffectiveFont();
    view_->setFont(cuiCellStyle::Font(font));
    QPalette palette = view_->palette();
    palette.setColor(QPalette::Base, cuiCellStyle::Colour(basicCell_.colour));
    palette.setColor(QPalette::Text, cuiCellStyle::Colour(cuiCellStyle::FontColour(font)));
    view_->setPalette(palette);

    auto make = [this](QTreeWidgetItem* parent, const cuiItemLine& line) { return makeNode(parent, line); };
    cuiBuildItemLines<QTreeWidgetItem*>(overlay_, name_ + "_Body", 0, nullptr, make);
    if (QTreeWidgetItem* first = view_->topLevelItem(0))
        first->setExpanded(true);
}

QTreeWidgetItem* cuiTree::AddNode(QTreeWidgetItem* parent, std::string_view line)
{
    if (view_.isNull())
        return nullptr;
    return makeNode(parent, cuiSplitItemLine(line));
}

QTreeWidgetItem* cuiTree::makeNode(QTreeWidgetItem* parent, const cuiItemLine& line)
{
    auto* node = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(view_.data());
    node->setData(0, overlayRole, NoOverlay);
    node->setData(0, imageRole, -1);
    if (line.cellText) {
        auto cell = std::make_unique<cmcCellObj>();
        cmcParseCell(*cell, *line.cellText, nullptr, &basicCell_);
        node->setText(0, QString::fromStdString(cell->DisplayText()));
        node->setData(0, cellRole, QVariant::fromValue(static_cast<void*>(cell.get())));
        node->setData(0, imageRole, cell->imageIndex);
        cells_[node] = std::move(cell);
    }
    updateIcon(node);
    return node;
}

void cuiTree::freeCells(QTreeWidgetItem* node)
{
    std::vector<QTreeWidgetItem*> nodes;
    collect(node, nodes);
    for (QTreeWidgetItem* n : nodes)
        cells_.erase(n);
}

void cuiTree::ClearChildren(QTreeWidgetItem* node)
{
    if (node == nullptr || view_.isNull())
        return;
    const QList<QTreeWidgetItem*> children = node->takeChildren();
    for (QTreeWidgetItem* child : children) {
        freeCells(child);
        delete child;
    }
}

// --- queries ----------------------------------------------------------------------------------

cmcCellObj* cuiTree::CellOf(const QTreeWidgetItem* node) const
{
    const auto it = cells_.find(node);
    return it == cells_.end() ? nullptr : it->second.get();
}

cmcCellObj* cuiTree::SelectedCell() const
{
    return view_.isNull() ? nullptr : CellOf(view_->currentItem());
}

QTreeWidgetItem* cuiTree::FindNodeByReference(std::string_view reference) const
{
    if (view_.isNull())
        return nullptr;
    for (int i = 0; i < view_->topLevelItemCount(); ++i) {
        std::vector<QTreeWidgetItem*> nodes;
        collect(view_->topLevelItem(i), nodes);
        for (QTreeWidgetItem* node : nodes) {
            const cmcCellObj* cell = CellOf(node);
            if (cell != nullptr && cell->argText && *cell->argText == reference)
                return node;
        }
    }
    return nullptr;
}

// --- images and marks -------------------------------------------------------------------------

int cuiTree::ImageOf(const QTreeWidgetItem* node)
{
    return node == nullptr ? -1 : node->data(0, imageRole).toInt();
}

int cuiTree::OverlayOf(const QTreeWidgetItem* node)
{
    return node == nullptr ? NoOverlay : node->data(0, overlayRole).toInt();
}

void cuiTree::SetImage(QTreeWidgetItem* node, int image)
{
    if (node == nullptr || ImageOf(node) == image)
        return;
    node->setData(0, imageRole, image);
    updateIcon(node);
}

void cuiTree::setOverlay(QTreeWidgetItem* node, int overlay)
{
    if (OverlayOf(node) == overlay)
        return;
    node->setData(0, overlayRole, overlay);
    updateIcon(node);
}

// The node's picture with its mark in the lower right corner.
void cuiTree::updateIcon(QTreeWidgetItem* node)
{
    const int image = ImageOf(node);
    const int overlay = OverlayOf(node);
    if (image < 0 && overlay == NoOverlay) {
        node->setIcon(0, {});
        return;
    }
    const int size = images_.Size();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (image >= 0)
        painter.drawPixmap(0, 0, images_.At(image));
    if (overlay != NoOverlay) {
        const QPixmap& mark = images_.At(overlay == ErrorOverlay ? ErrorImage : WarningImage);
        const int markSize = size * 5 / 8;
        painter.drawPixmap(QRect(size - markSize, size - markSize, markSize, markSize), mark);
    }
    painter.end();
    node->setIcon(0, QIcon(pixmap));
}

int cuiTree::MarkNodes(QTreeWidgetItem* node, const std::set<std::string>& references, int overlay)
{
    if (node == nullptr || references.empty())
        return 0;
    std::vector<QTreeWidgetItem*> nodes;
    collect(node, nodes);
    int found = 0;
    auto mark = [&](QTreeWidgetItem* target) {
        // The error mark outranks the warning mark.
        if (overlay == WarningOverlay && OverlayOf(target) == ErrorOverlay)
            return;
        setOverlay(target, overlay);
    };
    for (QTreeWidgetItem* n : nodes) {
        const cmcCellObj* cell = CellOf(n);
        if (cell == nullptr || !cell->argText || references.count(*cell->argText) == 0)
            continue;
        ++found;
        mark(n);
        if (n == node)
            continue;
        for (QTreeWidgetItem* up = n->parent(); up != nullptr; up = up->parent()) {
            if (!up->isExpanded())
                mark(up);
            if (up == node)
                break;
        }
    }
    return found;
}

void cuiTree::ClearMarks(QTreeWidgetItem* node)
{
    if (node == nullptr)
        return;
    std::vector<QTreeWidgetItem*> nodes;
    collect(node, nodes);
    for (QTreeWidgetItem* n : nodes)
        setOverlay(n, NoOverlay);
}

// --- selection --------------------------------------------------------------------------------

void cuiTree::selectionChanged()
{
    changeTask_->SetPeriod(-1);
    if (changeDelay_ <= 0)
        selectionSettled();
    else
        changeTask_->SetPeriod(changeDelay_);
}

void cuiTree::selectionSettled()
{
    const cmcCellObj* cell = SelectedCell();
    if (cell == nullptr)
        return;
    const cmcCellObj copy = *cell; // the command may rebuild the tree
    if (onSelect_) {
        onSelect_(copy);
        return;
    }
    cmcCellObj run = copy;
    indActiveCell active(host_);
    (void)active.activate(run, cmcKey::Enter);
}

// --- events -----------------------------------------------------------------------------------

void cuiTree::onEvent(void* user, const cmcEvent& event)
{
    static_cast<cuiTree*>(user)->HandleEvent(event);
}

void cuiTree::HandleEvent(const cmcEvent& event)
{
    if (event.code == cmcEvCode::ControlDestroyed && !owner_.isNull() &&
        event.arg2 == reinterpret_cast<std::intptr_t>(owner_.data()))
        release();
}
