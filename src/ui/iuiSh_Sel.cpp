#include "ui/iuiSh_Sel.h"

#include "cells/CellHost.h"
#include "cells/clLogic.h"
#include "cells/cmcCodecs.h"
#include "cells/datCounts.h"
#include "cells/indDocument.h"

std::string iuiSh_Sel::KindOfFlex(int flexCode)
{
    switch (static_cast<clLogic>(flexCode)) {
    case clLogic::FlexCHSel:
    case clLogic::FlexCHSelNum:
        return "C";
    case clLogic::FlexZoneSel:
    case clLogic::FlexZoneSelNum:
        return "B";
    case clLogic::Flex_InvIDList_ChNo:
        return "Z";
    case clLogic::Flex_TgIDList_ChNo:
        return "W";
    default:
        return {};
    }
}

void iuiSh_Sel::ApplyDirective(const std::string& directive, ScanState& scan)
{
    if (directive != "LoopFrom" || Kind().empty()) {
        cuiSheet::ApplyDirective(directive, scan);
        return;
    }
    const cmcEeprom& image = Host().Document().Working();
    int count = 0;
    switch (Kind().front()) {
    case 'C':
        count = datChannelCount(image, cmcScanSelectorBank());
        break;
    case 'B':
        count = datBanks; // every bank of this family is in use
        break;
    case 'Z':
        count = datIndividualIdCount(image);
        break;
    case 'W':
        count = datTalkGroupCount(image);
        break;
    default:
        cuiSheet::ApplyDirective(directive, scan);
        return;
    }
    if (count <= 0) {
        scan.skip = 1;
        return;
    }
    scan.loopStart = scan.line;
    scan.loopEnd = -1;
    scan.loopCount = count;
    scan.bodyRows = 0;
}
