// The record family: the cells of every record kind but the channels, joined from the
// parts declared in clRecordFamily.h.
#include "cells/clFamilies.h"
#include "cells/clRecordFamily.h"

#include <vector>

namespace {

template <class T, class Part> std::vector<T> joined(std::initializer_list<Part> parts)
{
    std::vector<T> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<clBinding> joinBindings()
{
    std::vector<clBinding> all = clBindingsOf(clRecordFieldRows());
    for (const auto part : {clListBindings(), clRepeaterBindings(), clScanDtmfBindings(), clMskBindings(),
                            clCodeTableBindings()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

} // namespace

std::span<const clFieldRow> clRecordFieldRows()
{
    static const std::vector<clFieldRow> rows =
        joined<clFieldRow>({clListFieldRows(), clRepeaterFieldRows(), clScanDtmfFieldRows(), clMskFieldRows(),
                            clCodeTableFieldRows()});
    return rows;
}

std::span<const clBinding> clRecordLogics()
{
    static const std::vector<clBinding> all = joinBindings();
    return all;
}
