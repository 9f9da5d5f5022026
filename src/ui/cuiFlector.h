#pragma once
// The selection list popup: the list's sheet (its "_Style", "_BasicCell" and "_Cells"
// records) in popup mode in a borderless window under the opening cell. The cursor follows
// the mouse; Enter, a double click or a click chooses (the list cell goes back to the
// opening cell as the source of a popup-choice run); Escape or a click elsewhere closes
// without a choice. A list larger than the screen gets scroll bars and the work area's size.
#include "ui/cuiPopup.h"

class cmcGTex;
class cuiSheet;

class cuiFlector : public cuiPopup {
    Q_OBJECT
public:
    // The cell with logic startLogic and argument startArg starts as the current one.
    cuiFlector(const cmcCellCapsule& opener, CellHost& host, cmcGTex& overlay, const std::string& listName,
               int startLogic, int startArg);

    [[nodiscard]] cuiSheet& Sheet() { return *sheet_; }

protected:
    // The list sheet sends the choice itself (popup mode of the sheet).
    void SendResult() override {}
    [[nodiscard]] bool AcceptsOnDeactivation() const override { return false; }
    // Sizes the window to the sheet (scroll bars when it does not fit), places and shows it.
    void Open(const std::string& title);
    void SetSheet(cuiSheet* sheet) { sheet_ = sheet; }
    cuiFlector(const cmcCellCapsule& opener, CellHost& host);

private:
    cuiSheet* sheet_ = nullptr;
};
