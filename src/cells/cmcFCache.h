#pragma once
// The selection label cache: for a (list name, logic) pair, the cells of the list's sheet
// definition "%s_Cells" whose logic is that one (Flex0 items, FlexMark items, ...), each with
// its row, column, index parameter (the value it stands for) and label (its text argument,
// else its display text). Kept in two orders: by value (label lookup) and column by column,
// each column top to bottom (stepping, as the popup lays the items out). Built on first use
// from the main text table and kept for the program's life.
#include "base/cmcHash2.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct cmcFCacheItem {
    int row = 0;
    int column = 0;
    int value = 0; // the index parameter: the stored value the item stands for
    std::string label;
};

struct cmcFCacheRecord {
    int rows = 0;         // rows of the definition
    int widestRow = 0;    // largest number of cells in a row
    std::vector<cmcFCacheItem> byValue;        // ascending value, stable
    std::vector<cmcFCacheItem> byDisplayOrder; // column by column, top to bottom
};

class cmcFCache {
public:
    cmcFCache();
    ~cmcFCache();
    cmcFCache(const cmcFCache&) = delete;
    cmcFCache& operator=(const cmcFCache&) = delete;

    // The record of (list, logic), built when missing.
    const cmcFCacheRecord& Build(const std::string& listName, int logic);
    // The record when it was built already, else none (Step never builds).
    [[nodiscard]] const cmcFCacheRecord* Find(const std::string& listName, int logic) const;
    // The label of the item standing for value; "error" when no item does.
    std::string GetLabel(const std::string& listName, int logic, int value);
    // The value step (+1 or -1) places from current in display order, wrapping; the first
    // value in display order when current is not in the list; none without a record.
    [[nodiscard]] std::optional<int> Step(const std::string& listName, int logic, int current, int step) const;
    // Forgets every record (after a language change the lists are read again).
    void Clear();

private:
    cmcHash2<cmcFCacheRecord> index_;
    std::vector<std::unique_ptr<cmcFCacheRecord>> records_;
};

// The process-wide cache (created on first use).
cmcFCache& SelectionLabels();
