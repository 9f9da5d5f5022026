// The repeaters of the trunked system's sites: a repeater row (number, frequencies with the
// 5 MHz duplex offset, data, bandwidth, telephone and power flags, the home repeater mark)
// and the site's text and area bit. The receive frequency of the blank row adds a repeater.
// The cells run in the repeater window, whose sheet has the opening cell as its source:
// the choices treat that source as absent.
#include "cells/clRecordFamily.h"

#include "base/cmcEvMan.h"
#include "base/cmcGTex.h"
#include "base/cmcText.h"
#include "base/cmcTextTables.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datMemoryMap.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <algorithm>
#include <array>

namespace {

using L = clLogic;
using F = datField;
constexpr const char* OnOff2 = "GI_Sheet_Sel_Misc_OnOff2";
constexpr std::uint32_t RepeaterDuplexOffset = 5'000'000;
constexpr int SiteStride = 8;
constexpr int SiteHomeByte = 7;

// clang-format off
constexpr std::array Rows{
    clRow(L::CL_Rpt_RxDat, F::RptRxData).Choice(OnOff2),
    clRow(L::CL_Rpt_TxDat, F::RptTxData).Choice(OnOff2),
    clRow(L::CL_Rpt_Nar, F::RptNarrow).Choice("GI_Sheet_Sel_Mch_Nar"),
    clRow(L::CL_Rpt_Phone, F::RptPhone).Choice(OnOff2),
    clRow(L::CL_Rpt_RfPo, F::RptPower).Choice("GI_Sheet_Sel_Mch_RfPwr"),
};
// clang-format on

bool repeaterOf(clRun& run)
{
    if (clEnsureRecord(run, datKindRepeater))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

// CL_Rpt_No: the repeater's number within its site, or the new-repeater title.
void repeaterNumber(clRun& run)
{
    if (run.blank) {
        run.capsule.output = MainText().GetText("GI_NewChTitle");
        return;
    }
    if (!repeaterOf(run))
        return;
    const cmcEeprom& image = run.Image();
    const int site = datSiteOfRepeater(image, run.Arg());
    run.capsule.output = Format("%3d", run.Arg() - datFirstRepeater(image, site) + 1);
}

// A key on the blank row adds a repeater there (event 30) when fewer than 20 exist in all
// and at the site and the radio's memory has room.
bool addRepeaterAtBlankRow(clRun& run)
{
    if (!clIsAddKey(run.capsule)) {
        run.capsule.output.clear();
        return false;
    }
    cmcEeprom& image = run.Image();
    const int slot = run.Arg();
    const int site = datSiteOfRepeater(image, std::min(slot, datMaxRepeaters - 1));
    if (datTotalRepeaters(image) >= datMaxRepeaters || datRepeaterCount(image, site) >= datMaxRepeaters ||
        !fits(image, datFitsRepeaters, 1, 0)) {
        clShowOverflow();
        run.capsule.output.clear();
        return false;
    }
    cmcEvents().Send(cmcEvCode::InsertRepeater, site, slot);
    const int first = datFirstRepeater(image, site);
    if (slot < first || slot >= first + datRepeaterCount(image, site)) {
        run.capsule.output.clear();
        return false;
    }
    run.record.decode(datKindRepeater, slot);
    run.kind = datKindRepeater;
    run.blank = false;
    run.flags |= cmcRepaint::All;
    return true;
}

void frequencyOf(clRun& run, cmcSide side)
{
    if (run.blank && (side == cmcSide::Transmit || !addRepeaterAtBlankRow(run))) {
        run.capsule.output.clear();
        return;
    }
    if (!repeaterOf(run))
        return;
    cmcFrequencyPair f;
    f.rx = run.record.Get(F::RptRxFreq);
    f.tx = run.record.Get(F::RptTxFreq);
    f.inUse = run.record.inUse;
    if (editFrequency(run.Codec(), f, side, RepeaterDuplexOffset)) {
        run.record.Set(F::RptRxFreq, f.rx);
        run.record.Set(F::RptTxFreq, f.tx);
        run.record.store();
    }
}
void receiveFrequency(clRun& run)
{
    frequencyOf(run, cmcSide::Receive);
}
void transmitFrequency(clRun& run)
{
    frequencyOf(run, cmcSide::Transmit);
}

// CL_Rpt_Atr: "H" for the site's home repeater; on a repeater in use the list makes it the
// home repeater (value 1) or takes the mark away (value 0).
void homeMark(clRun& run)
{
    if (run.blank) {
        run.capsule.output.clear();
        return;
    }
    if (!repeaterOf(run))
        return;
    if (!run.record.inUse) {
        run.capsule.output.clear();
        return;
    }
    const bool home = (run.record.status & datStHome) != 0;
    int value = home ? 1 : 0;
    if (editChoice(run.Codec(), value, "GI_Sheet_Sel_Rpt_Atr", cmcForeignSource::Absent) &&
        (value != 0) != home) {
        if (value != 0) {
            run.record.status |= datStHome;
            run.record.store();
        } else {
            cmcEeprom& image = run.Image();
            const int site = datSiteOfRepeater(image, run.Arg());
            image.SetByte(datSiteRecordPlace + SiteStride * site + SiteHomeByte, 0);
            run.record.reload();
        }
        cmcEvents().Post(cmcEvCode::RedrawAll);
        run.flags |= cmcRepaint::All;
    }
    if (run.result != cmcRunResult::PopupOpened) {
        run.capsule.output.clear();
        if ((run.record.status & datStHome) != 0)
            run.capsule.output.push_back('H');
        run.capsule.selLength = static_cast<int>(run.capsule.output.size());
    }
}

// A cell of the site: any row addresses its site, the row below a full table the last one.
bool siteOf(clRun& run)
{
    if (run.record.Kind() == datKindRepeater)
        return true;
    if (run.Arg() < 0)
        return repeaterOf(run);
    run.record.decode(datKindRepeater, std::min(run.Arg(), datMaxRepeaters - 1));
    run.kind = datKindRepeater;
    return true;
}

// CL_Rpt_Text: the site's 12-character text, shown on every row of the site.
void siteText(clRun& run)
{
    if (!siteOf(run))
        return;
    std::string text = run.record.Text(F::RptSiteText);
    if (editText(run.Codec(), text, static_cast<int>(text.size()))) {
        run.record.SetText(F::RptSiteText, text, ' ');
        run.record.store();
        run.flags |= cmcRepaint::SameLogic;
    }
}

// The site's area bit, shown as entry 0 or 1 of GI_AreaSetBit_Bar; space, backspace and
// Enter switch it. CL_Rpt_AreaBit takes the site of its repeater, CL_Mch_AreaBit the site
// of its argument.
void areaBitOf(clRun& run, int site)
{
    cmcEeprom& image = run.Image();
    if (site < 0 || site >= datSites) {
        clShowNotApplicable(run); // a site this family does not have
        return;
    }
    const int place = datSiteRecordPlace + SiteStride * site;
    std::uint8_t byte = image.GetByte(place);
    cmcCellCapsule& c = run.capsule;
    const int key = c.HasEvent() && c.op == cmcCellCapsule::OpKeyOrDraw ? c.key : 0;
    if (key == cmcKey::Space || key == cmcKey::Backspace || key == cmcKey::Enter) {
        byte ^= 0x80;
        image.SetByte(place, byte);
        if (run.record.Kind() != 0)
            run.record.reload();
        run.flags |= cmcRepaint::SameLogic;
    }
    c.output = MainText().GetEntry("GI_AreaSetBit_Bar", (byte & 0x80) != 0 ? 1 : 0);
    c.selStart = 0;
    c.selLength = static_cast<int>(c.output.size());
}
void repeaterAreaBit(clRun& run)
{
    if (siteOf(run))
        areaBitOf(run, datSiteOfRepeater(run.Image(), run.record.Index()));
}
void bankAreaBit(clRun& run)
{
    areaBitOf(run, run.Arg());
}

constexpr std::array Bindings{
    clBinding{L::CL_Rpt_No, &repeaterNumber},       clBinding{L::CL_Rpt_FreqR, &receiveFrequency},
    clBinding{L::CL_Rpt_FreqT, &transmitFrequency}, clBinding{L::CL_Rpt_Atr, &homeMark},
    clBinding{L::CL_Rpt_Text, &siteText},           clBinding{L::CL_Rpt_AreaBit, &repeaterAreaBit},
    clBinding{L::CL_Mch_AreaBit, &bankAreaBit},
};

} // namespace

std::span<const clFieldRow> clRepeaterFieldRows()
{
    return Rows;
}

std::span<const clBinding> clRepeaterBindings()
{
    return Bindings;
}
