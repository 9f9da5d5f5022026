#pragma once
// The bit-field popup: a row of bit cells under a row of labels, with OK and Cancel. Space
// or a double click toggles a bit; OK, Enter, event 21 or a click elsewhere sends the value
// (as a decimal number in the result's input); Cancel or Escape closes without it. Without
// a sheet name the popup lays out its own sheet "GI_Sheet_FBitsR" from a built-in overlay.
//
// The bits are kept as the flag codec keeps them: position first + k - 1 (bit cell k,
// counted from 1) is bit last - position of the value.
#include "ui/cuiPopup.h"

#include <memory>
#include <string>
#include <vector>

class QPushButton;
class cmcGTex;
class cuiSheet;

class cuiFBitsR : public cuiPopup {
    Q_OBJECT
public:
    // Label types: 1 hexadecimal, 2 decimal with 10 as "0", 3 decimal then letters and
    // "Z" for 17, 4 letters from "A", 5 GPS sentence names, 6 "B" counting down to "B0",
    // other decimal. Mark style 0 shows "o" for a set bit, 1 draws a check mark.
    cuiFBitsR(const cmcCellCapsule& opener, CellHost& host, cmcGTex& overlay, unsigned value, int first,
              int last, int labelType, int markStyle, const std::string& sheetName = {});
    ~cuiFBitsR() override;

    [[nodiscard]] unsigned Value() const { return value_; }
    [[nodiscard]] cuiSheet& Sheet() { return *sheet_; }
    [[nodiscard]] QPushButton& OkButton() { return *ok_; }
    [[nodiscard]] QPushButton& CancelButton() { return *cancel_; }

    // The built-in overlay lines of the bit sheet for a range and label type.
    [[nodiscard]] static std::vector<std::string> BuiltInLines(int first, int last, int labelType);
    [[nodiscard]] static std::string Label(int index, int last, int labelType);

protected:
    void SendResult() override;
    [[nodiscard]] bool AcceptsOnDeactivation() const override { return true; }

private:
    int handleCell(cmcCellCapsule& capsule, int mode);
    [[nodiscard]] int setCount() const;
    [[nodiscard]] unsigned bitOf(int cellArg) const;

    unsigned value_;
    int first_;
    int last_;
    int labelType_;
    int markStyle_;
    std::unique_ptr<cmcGTex> ownOverlay_;
    cuiSheet* sheet_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
