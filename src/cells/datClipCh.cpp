#include "cells/datClipCh.h"

#include "image/cmcEeprom.h"

void datClipCh::WriteOne(cmcEeprom& image, datCh& rec, int index)
{
    datCh target(image, rec.Switches());
    target.decode(rec.Kind(), index);
    const std::uint8_t fromTarget = wholeMarks_ ? 0xFF : datStSlotMarks;
    rec.status = static_cast<std::uint8_t>((rec.status & ~fromTarget) | (target.status & fromTarget));
    rec.AdoptSharedParts(target);
    cmcClipCh::WriteOne(image, rec, index);
}
