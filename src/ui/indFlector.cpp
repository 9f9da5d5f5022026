#include "ui/indFlector.h"

#include "ui/cuiImageList.h"
#include "ui/iuiSh_Sel.h"

indFlector::indFlector(const cmcCellCapsule& opener, CellHost& host, int flexCode, int currentValue,
                       cmcGTex& overlay, const std::string& sheetName, const std::string& title)
    : cuiFlector(opener, host)
{
    auto* sheet = new iuiSh_Sel(this, host, &Opener(), flexCode, currentValue, overlay, sheetName,
                                static_cast<const cuiImageList*>(opener.images));
    sheet->SetKind(iuiSh_Sel::KindOfFlex(flexCode));
    sheet->SetPopupMode(true);
    SetSheet(sheet);
    Open(title);
}
