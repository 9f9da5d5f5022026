#include "cells/cmcFCache.h"

#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCellParser.h"

#include <algorithm>

namespace {
std::string HashKey(const std::string& listName, int logic)
{
    return Format("%s#%d", listName.c_str(), logic);
}

// Reads the rows of "<list>_Cells" up to the first row beginning with "#" and keeps the
// cells of the logic. The cells are parsed as a popup parses them: no parent, one counter
// array zeroed before the first row.
std::unique_ptr<cmcFCacheRecord> ReadRecord(const std::string& listName, int logic)
{
    auto record = std::make_unique<cmcFCacheRecord>();
    const std::string key = listName + "_Cells";
    cmcRowCounters counters{};
    std::vector<cmcFCacheItem> items;
    for (int row = 0;; ++row) {
        const std::string text = MainText().GetEntry(key, row);
        if (text.starts_with('#'))
            break;
        ++record->rows;
        const std::vector<cmcCellObj> cells = cmcParseRow(text, &counters, nullptr);
        record->widestRow = std::max(record->widestRow, static_cast<int>(cells.size()));
        for (std::size_t column = 0; column < cells.size(); ++column) {
            const cmcCellObj& cell = cells[column];
            if (cell.logic != logic)
                continue;
            items.push_back(
                {row, static_cast<int>(column), cell.arg, cell.argText ? *cell.argText : cell.DisplayText()});
        }
    }
    record->byValue = items;
    std::stable_sort(record->byValue.begin(), record->byValue.end(),
                     [](const cmcFCacheItem& a, const cmcFCacheItem& b) { return a.value < b.value; });
    const long long rows = record->rows;
    record->byDisplayOrder = std::move(items);
    std::stable_sort(record->byDisplayOrder.begin(), record->byDisplayOrder.end(),
                     [rows](const cmcFCacheItem& a, const cmcFCacheItem& b) {
                         return a.row + rows * a.column < b.row + rows * b.column;
                     });
    return record;
}
} // namespace

cmcFCache::cmcFCache() = default;
cmcFCache::~cmcFCache() = default;

const cmcFCacheRecord& cmcFCache::Build(const std::string& listName, int logic)
{
    if (const cmcFCacheRecord* known = Find(listName, logic))
        return *known;
    std::unique_ptr<cmcFCacheRecord> record = ReadRecord(listName, logic);
    index_.Insert(HashKey(listName, logic), record.get());
    records_.push_back(std::move(record));
    return *records_.back();
}

const cmcFCacheRecord* cmcFCache::Find(const std::string& listName, int logic) const
{
    const auto* node = index_.Find(HashKey(listName, logic));
    return node != nullptr ? node->value : nullptr;
}

std::string cmcFCache::GetLabel(const std::string& listName, int logic, int value)
{
    const cmcFCacheRecord& record = Build(listName, logic);
    const auto it = std::lower_bound(record.byValue.begin(), record.byValue.end(), value,
                                     [](const cmcFCacheItem& item, int v) { return item.value < v; });
    if (it == record.byValue.end() || it->value != value)
        return "error";
    return it->label;
}

std::optional<int> cmcFCache::Step(const std::string& listName, int logic, int current, int step) const
{
    const cmcFCacheRecord* record = Find(listName, logic);
    if (record == nullptr || record->byDisplayOrder.empty())
        return std::nullopt;
    const auto& items = record->byDisplayOrder;
    const auto it = std::find_if(items.begin(), items.end(),
                                 [current](const cmcFCacheItem& item) { return item.value == current; });
    if (it == items.end())
        return items.front().value;
    const auto count = static_cast<long long>(items.size());
    long long position = (it - items.begin()) + step;
    if (position >= count)
        position = 0;
    else if (position < 0)
        position = count - 1;
    return items[static_cast<std::size_t>(position)].value;
}

void cmcFCache::Clear()
{
    index_ = cmcHash2<cmcFCacheRecord>();
    records_.clear();
}

cmcFCache& SelectionLabels()
{
    static cmcFCache cache;
    return cache;
}
