#pragma once
// The program's channel clipboard. Writing a record first decodes the record it replaces:
// with the whole-marks switch on (paste, clear) the written record takes every status bit
// of the one it replaces, so priority and reference marks stay where they were; with it
// off (carry up and down) it takes only bits 3, 4 and 5 and keeps its own bits 0-2 and
// 6-7, so the marks travel with the moved record. Site data of a repeater always stays
// with the destination.
#include "cells/cmcClipCh.h"

class datClipCh : public cmcClipCh {
public:
    explicit datClipCh(bool wholeMarks = true) : wholeMarks_(wholeMarks) {}

    void SetWholeMarks(bool on) { wholeMarks_ = on; }
    [[nodiscard]] bool WholeMarks() const { return wholeMarks_; }

    void WriteOne(cmcEeprom& image, datCh& rec, int index) override;

private:
    bool wholeMarks_;
};

// The status bits a written record takes from the record it replaces when whole marks
// are off.
inline constexpr std::uint8_t datStSlotMarks = datStThirdOff | datStBank1 | datStBank2;
