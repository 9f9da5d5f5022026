#include "link/indWriteImage.h"

#include "base/cmcGTex.h"
#include "base/cmcMessageBox.h"
#include "base/cmcTextTables.h"
#include "cells/datCh.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "cells/indCloneInfo.h"
#include "cells/indDocument.h"
#include "image/cmcBigEndian.h"
#include "image/cmcImageGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int twoToneSlots = 11;
constexpr std::uint32_t fieldMax = 4095; // the tone fields are 12 bits wide

std::uint32_t scaled(std::uint32_t edge, double factor)
{
    const long value = std::lround(static_cast<double>(edge) * factor);
    return static_cast<std::uint32_t>(std::clamp<long>(value, 0, fieldMax));
}
} // namespace

double indFrequencyLimitMargin(std::uint8_t mainRevision)
{
    if (mainRevision < 0x10)
        return 0.03;
    if (mainRevision >= 0x20 || (mainRevision & 0x0F) != 0)
        return 0.02;
    return 0.03;
}

void indFixFrequencyLimits(cmcEeprom& image, std::uint8_t mainRevision)
{
    const double p = indFrequencyLimitMargin(mainRevision);
    datCh record(image);
    for (int slot = 0; slot < twoToneSlots; ++slot) {
        record.decode(datKindTwoTone, slot);
        const std::uint32_t edge1 = record.Get(datField::TtEdge1);
        const std::uint32_t edge2 = record.Get(datField::TtEdge2);
        record.Set(datField::TtLow1, scaled(edge1, 1.0 - p));
        record.Set(datField::TtHigh1, scaled(edge1, 1.0 + p));
        record.Set(datField::TtLow2, scaled(edge2, 1.0 - p));
        record.Set(datField::TtHigh2, scaled(edge2, 1.0 + p));
        record.encode(datKindTwoTone, slot);
    }
}

bool indPrepareWriteImage(indDocument& document, const indCloneInfo& info, bool makerMode, cmcEeprom& copy,
                          AddressRangeList& ranges)
{
    copy.CopyFrom(document.Working());
    ranges = indAddressRanges(makerMode ? 1 : 0);
    indBeforeSave(copy, document.Default(), indSaveStage::BeforeSave, document.Words(),
                  document.LcdFontSize());
    // The two-tone table lives in the static form: fixed before the last packing, so the
    // windows travel with the packed tables.
    indFixFrequencyLimits(copy, info.MainRevision());
    if (Static2Dynamic(copy, true)) {
        cmcMessageBox(MainText().GetMultiLineText("GI_AppMess_ChErr_Overflow"),
                      MainText().GetText("GI_Sys_AppTitle"), cmcMbButtons::Ok, cmcMbIcon::Error);
        return false;
    }
    // The write ends with the 128-byte block that holds the end of the used dynamic area,
    // and never beyond the radio memory area.
    const int end = std::min(GetBE16(copy.Bytes() + datUsedEndPlace) | 0x7F, cmcRadioMemoryEnd);
    if (!ranges.IsEmpty())
        ranges.Ranges().front().end = end;
    copy.SetByte(datModeBytePlace, info.MapRevision());
    return true;
}
