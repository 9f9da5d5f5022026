#pragma once
// The model's selection popup: like the list popup, but its sheet shows entries of the
// memory image (channels of a bank, banks, ID lists) under a title, and the entry chosen
// goes back to the opening cell with the popup's Flex code. Choosing in one such popup may
// open the next one (the scan channel selector: a zone, then a channel of it).
#include "ui/cuiFlector.h"

class indFlector : public cuiFlector {
    Q_OBJECT
public:
    indFlector(const cmcCellCapsule& opener, CellHost& host, int flexCode, int currentValue, cmcGTex& overlay,
               const std::string& sheetName, const std::string& title);
};
