#include "cells/indDataCheck.h"

#include "base/cmcGTex.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCellCapsule.h"
#include "cells/cmcCellParser.h"
#include "cells/ctCategory.h"
#include "cells/datCounts.h"
#include "cells/indActiveCell.h"

namespace {
constexpr char checkListKey[] = "GI_WarningCheckList";
constexpr int maxListEntries = 256;

bool flagsError(indActiveCell& cells, cmcCellObj& cell, int record)
{
    cmcCellCapsule capsule;
    capsule.cell = &cell;
    capsule.record = record;
    capsule.drawing = true;
    cells.run(capsule);
    return capsule.IsError();
}
} // namespace

int indCountDataErrors(CellHost& host)
{
    indActiveCell cells(host);
    int errors = 0;
    cmcGTex& texts = MainText();
    if (texts.HasKey(checkListKey)) {
        for (int i = 0; i < maxListEntries; ++i) {
            const std::string entry = texts.GetEntry(checkListKey, i);
            if (!entry.empty() && entry.front() == '#')
                break;
            cmcCellObj cell;
            cmcResetCell(cell, nullptr);
            (void)cmcParseCell(cell, entry, nullptr, nullptr);
            if (flagsError(cells, cell, 0))
                ++errors;
        }
    }
    cmcCellObj bankCheck;
    bankCheck.category = static_cast<int>(ctCategory::CT_Null);
    bankCheck.logic = clIndex(clLogic::CL_Check_Mch);
    for (int bank = 0; bank < datBanks; ++bank)
        if (flagsError(cells, bankCheck, bank))
            ++errors;
    return errors;
}
