// The clone information cells: each shows one field of the record the host holds (the
// radio's latest answer, or the built-in sample), made into text by indCloneInfoText. The
// cells take no input; the serial number is copied by the popup menu's WinCopy item.
#include "cells/clFamilies.h"
#include "cells/indCloneInfo.h"

#include <array>

namespace {

void showField(clRun& run)
{
    static const indCloneInfo blank;
    const indCloneInfo* info = run.host.CloneInfo();
    run.capsule.output = indCloneInfoText(info ? *info : blank, static_cast<clLogic>(run.Cell().logic));
}

constexpr std::size_t fieldCount =
    clIndex(clLogic::CL_CloneInfo_Dummy) - clIndex(clLogic::CL_CloneInfo_Model) + 1;

constexpr std::array<clBinding, fieldCount> cloneInfoRows = [] {
    std::array<clBinding, fieldCount> rows{};
    for (std::size_t i = 0; i < fieldCount; ++i)
        rows[i] = {static_cast<clLogic>(clIndex(clLogic::CL_CloneInfo_Model) + static_cast<int>(i)),
                   showField};
    return rows;
}();

} // namespace

std::span<const clBinding> clCloneInfoLogics()
{
    return cloneInfoRows;
}
