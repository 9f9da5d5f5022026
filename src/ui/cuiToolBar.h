#pragma once
// A tool bar built from an overlay definition N: N + "_BasicCell" (the parent of every
// button's cell) and N + "_Body", one cell text per line up to the first "#". A display text
// of exactly "-" (after trimming) is a separator 8 pixels wide, exactly "/" a line break (a
// 1-pixel separator after which the buttons continue on a new row; a bar with a line break
// no longer wraps by itself); any other line is a button showing image imageIndex of the
// tool bar images, with the display text as its hint.
//
// State refresh (event 20): each button's logic runs without a key; Flag0 shows it as a
// pressed check button, Flag2 disables it, and a changed image index changes its image.
// Choosing a button runs the given handler, else the button's cell with Enter.
#include "cells/cmcCellObj.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CellHost;
class QObject;
class QToolButton;
class QWidget;
class cmcGTex;
class cuiImageList;
class cuiToolBarLayout;
struct cmcEvent;

class cuiToolBar {
public:
    // The chosen button's index (its line) and a copy of its cell.
    using ClickHandler = std::function<void(int index, const cmcCellObj& cell)>;
    enum class Kind { Button, Separator, LineBreak };

    static constexpr int SeparatorWidth = 8;

    // owner: the window the bar belongs to (the capsules' owner and the bar widget's parent).
    // images: the tool bar images, kept by the caller for the bar's life.
    cuiToolBar(QWidget* owner, CellHost& host, cmcGTex& overlay, std::string name,
               const cuiImageList& images);
    ~cuiToolBar();
    cuiToolBar(const cuiToolBar&) = delete;
    cuiToolBar& operator=(const cuiToolBar&) = delete;

    // Parses the basic cell and creates one button, separator or line break per line.
    void BuildButtons(ClickHandler onClick = {});
    // Recomputes every button's state.
    void Refresh();

    // The bar widget (a child of the owner, placed by it).
    [[nodiscard]] QWidget* Bar() const { return bar_.data(); }
    [[nodiscard]] int ButtonCount() const { return static_cast<int>(entries_.size()); }
    [[nodiscard]] Kind KindAt(int index) const;
    // The button of line index; none for separators, line breaks and indexes out of range.
    [[nodiscard]] QToolButton* Button(int index) const;
    [[nodiscard]] const cmcCellObj* CellAt(int index) const;

private:
    struct Entry {
        Kind kind = Kind::Button;
        std::unique_ptr<cmcCellObj> cell;
        QPointer<QToolButton> button;
        bool down = false;
        int image = -1;
    };

    static void onEvent(void* user, const cmcEvent& event);
    void addEntry(const std::string& line);
    void clicked(int index);
    void applyImage(Entry& entry);

    QPointer<QWidget> owner_;
    CellHost& host_;
    cmcGTex& overlay_;
    std::string name_;
    const cuiImageList& images_;
    ClickHandler onClick_;
    QPointer<QWidget> bar_;
    cuiToolBarLayout* layout_ = nullptr; // owned by bar_
    cmcCellObj basicCell_;
    std::vector<Entry> entries_;
    // Receiver of the buttons' signals: destroying it first cuts every connection to this.
    std::unique_ptr<QObject> context_;
};
