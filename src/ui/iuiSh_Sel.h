#pragma once
// The sheet of the model selection popup: a plain sheet whose "LoopFrom" without a number
// loops over entries the memory image holds, chosen by the first kind letter: "C" the
// channels of the bank the channel selector shows, "B" the banks in use, "Z" the individual
// list, "W" the talk-group list. A count of 0 skips the loop body.
#include "ui/cuiSheet.h"

class iuiSh_Sel : public cuiSheet {
    Q_OBJECT
public:
    using cuiSheet::cuiSheet;

    // The kind letter for the Flex code a model popup returns ("" for none).
    [[nodiscard]] static std::string KindOfFlex(int flexCode);

protected:
    void ApplyDirective(const std::string& directive, ScanState& scan) override;
};
