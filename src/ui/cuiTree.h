#pragma once
// The navigation tree built from an overlay definition N: N + "_BasicCell" (the parent of
// every node's cell; its font and colour become the tree's font and background) and
// N + "_Body" (item lines nested by indentation, cuiItemLines.h). Every node is a cell: its
// display text is the caption, its image index the picture, its text argument the sheet
// reference the node opens.
//
// Choosing a node: when the selection settles (after the change delay, on the installed
// timer service), the selection handler gets the node's cell; without one the node's cell
// runs with Enter (CallSheet then opens its sheet).
//
// Tree marks: a node can carry one of two overlays drawn over its picture, the error mark
// (overlay 0, image 11) or the warning mark (overlay 1, image 10). An error mark is never
// replaced by a warning mark, so a node that has both shows the error.
//
// The tree frees itself (nodes, cells, view) when event 1 names its owner.
#include "cells/cmcCellObj.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

class CellHost;
class QObject;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class cmcGTex;
class cmcTask;
class cuiImageList;
struct cmcEvent;
struct cuiItemLine;

class cuiTree {
public:
    using SelectionHandler = std::function<void(const cmcCellObj& cell)>;

    static constexpr int NoOverlay = -1;
    static constexpr int ErrorOverlay = 0;
    static constexpr int WarningOverlay = 1;
    static constexpr int WarningImage = 10;
    static constexpr int ErrorImage = 11;

    // owner: the pane the tree view is made in. images: the tree images, kept by the caller
    // for the tree's life. Registers for events; nothing is built yet.
    cuiTree(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name, const cuiImageList& images);
    virtual ~cuiTree();
    cuiTree(const cuiTree&) = delete;
    cuiTree& operator=(const cuiTree&) = delete;

    // Parses the basic cell, builds the nodes and expands the first one.
    void Build();
    // Adds one node from an item line (its indentation is not looked at) under parent, or at
    // the top level when parent is none.
    QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, std::string_view line);
    // Deletes the node's children and frees their cells.
    void ClearChildren(QTreeWidgetItem* node);
    // The first node, in list order, whose cell's text argument equals reference exactly.
    [[nodiscard]] QTreeWidgetItem* FindNodeByReference(std::string_view reference) const;
    [[nodiscard]] cmcCellObj* SelectedCell() const;
    [[nodiscard]] cmcCellObj* CellOf(const QTreeWidgetItem* node) const;

    // Within node's subtree, every node whose reference is in references gets overlay, and
    // so does each of its collapsed ancestors up to node; returns the number of nodes found.
    int MarkNodes(QTreeWidgetItem* node, const std::set<std::string>& references, int overlay);
    // Removes the overlay from every node of node's subtree.
    void ClearMarks(QTreeWidgetItem* node);
    [[nodiscard]] static int OverlayOf(const QTreeWidgetItem* node);
    // The node's image (normal and selected), -1 for none.
    void SetImage(QTreeWidgetItem* node, int image);
    [[nodiscard]] static int ImageOf(const QTreeWidgetItem* node);

    // The tree view; none once the tree has freed itself.
    [[nodiscard]] QTreeWidget* View() const { return view_.data(); }
    // Milliseconds the selection must rest before it is handled (0: at once).
    void SetChangeDelay(int ms) { changeDelay_ = ms; }
    [[nodiscard]] int ChangeDelay() const { return changeDelay_; }
    void SetSelectionHandler(SelectionHandler handler) { onSelect_ = std::move(handler); }

protected:
    // Events for the tree; derived trees handle their own and pass the rest on.
    virtual void HandleEvent(const cmcEvent& event);
    [[nodiscard]] CellHost& Host() { return host_; }
    [[nodiscard]] QWidget* Owner() const { return owner_.data(); }

private:
    static void onEvent(void* user, const cmcEvent& event);
    QTreeWidgetItem* makeNode(QTreeWidgetItem* parent, const cuiItemLine& line);
    void freeCells(QTreeWidgetItem* node);
    void setOverlay(QTreeWidgetItem* node, int overlay);
    void updateIcon(QTreeWidgetItem* node);
    void selectionChanged();
    void selectionSettled();
    void release();

    QPointer<QWidget> owner_;
    CellHost& host_;
    cmcGTex& overlay_;
    std::string name_;
    const cuiImageList& images_;
    QPointer<QTreeWidget> view_;
    cmcCellObj basicCell_;
    std::unordered_map<const QTreeWidgetItem*, std::unique_ptr<cmcCellObj>> cells_;
    int changeDelay_ = 0;
    SelectionHandler onSelect_;
    std::unique_ptr<cmcTask> changeTask_;
    std::unique_ptr<QObject> context_;
    bool registered_ = false;
};
