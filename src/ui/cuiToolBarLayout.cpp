#include "ui/cuiToolBarLayout.h"

#include <QWidget>

#include <algorithm>
#include <climits>

cuiToolBarLayout::cuiToolBarLayout(QWidget* parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

cuiToolBarLayout::~cuiToolBarLayout() = default;

void cuiToolBarLayout::AddLineBreak()
{
    if (!entries_.empty())
        entries_.back().breakAfter = true;
    explicitBreaks_ = true;
    invalidate();
}

void cuiToolBarLayout::addItem(QLayoutItem* item)
{
    entries_.push_back({std::unique_ptr<QLayoutItem>(item), false});
    invalidate();
}

int cuiToolBarLayout::count() const
{
    return static_cast<int>(entries_.size());
}

QLayoutItem* cuiToolBarLayout::itemAt(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return entries_[static_cast<std::size_t>(index)].item.get();
}

QLayoutItem* cuiToolBarLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    const auto it = entries_.begin() + index;
    QLayoutItem* item = it->item.release();
    entries_.erase(it);
    invalidate();
    return item;
}

int cuiToolBarLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false).height();
}

QSize cuiToolBarLayout::sizeHint() const
{
    // One row for a bar that wraps by itself; its own rows for a bar with line breaks.
    return arrange(QRect(0, 0, INT_MAX / 2, 0), false);
}

QSize cuiToolBarLayout::minimumSize() const
{
    QSize size(Indent, 0);
    for (const Entry& entry : entries_)
        size = size.expandedTo(entry.item->minimumSize() + QSize(Indent, 0));
    return size;
}

void cuiToolBarLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    (void)arrange(rect, true);
}

QSize cuiToolBarLayout::arrange(const QRect& rect, bool apply) const
{
    const int left = rect.x() + Indent;
    int x = left;
    int y = rect.y();
    int rowHeight = 0;
    int widest = 0;
    std::size_t rowStart = 0;
    // Every item of a finished row takes the row's height (separators run from top to bottom).
    auto endRow = [&](std::size_t end) {
        if (apply) {
            for (std::size_t i = rowStart; i < end; ++i) {
                QLayoutItem& item = *entries_[i].item;
                if (item.isEmpty())
                    continue;
                const QRect placed = item.geometry();
                item.setGeometry(QRect(placed.x(), y, placed.width(), rowHeight));
            }
        }
        widest = std::max(widest, x - rect.x());
        y += rowHeight;
        x = left;
        rowHeight = 0;
        rowStart = end;
    };
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        QLayoutItem& item = *entries_[i].item;
        if (item.isEmpty())
            continue;
        const QSize size = item.sizeHint();
        if (!explicitBreaks_ && x > left && x + size.width() > rect.x() + rect.width())
            endRow(i);
        if (apply)
            item.setGeometry(QRect(QPoint(x, y), size));
        x += size.width();
        rowHeight = std::max(rowHeight, size.height());
        if (entries_[i].breakAfter)
            endRow(i + 1);
    }
    if (x > left)
        endRow(entries_.size());
    return {widest, y - rect.y()};
}
