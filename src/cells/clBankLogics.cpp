// The bank cells: the channel count of a bank (which adds or removes channels at its end),
// its name and its two flags, and the channel counts shown in titles. Their argument is the
// bank, whatever category the cell has; they read and write the bank through the image.
#include "cells/clChannelFamily.h"
#include "cells/clFieldRow.h"

#include "base/cmcEvMan.h"
#include "base/cmcText.h"
#include "cells/cmcCodecs.h"
#include "cells/datCh.h"
#include "cells/datCounts.h"
#include "cells/datRecordEdit.h"
#include "cells/datRecordKind.h"
#include "image/cmcEeprom.h"

#include <array>

namespace {

using L = clLogic;

// The bank of the cell's argument; false after showing "error" for one past the bank
// records. The records of banks this family does not use hold no channels.
bool bankOf(clRun& run, int& bank)
{
    bank = run.Arg();
    if (bank >= 0 && bank < datSlotsOf(datKindBank))
        return true;
    run.capsule.output = "error";
    run.capsule.SetError();
    return false;
}

// CL_Mch_Bank: the bank's channel count, between the count less the channels that can go
// from its end and the count plus the channels that can still be added.
void channelCount(clRun& run)
{
    int bank = 0;
    if (!bankOf(run, bank))
        return;
    cmcEeprom& image = run.Image();
    const int count = datChannelCount(image, bank);
    int wanted = count;
    const bool used = bank < datBanks;
    cmcNumberForm form;
    form.lowest = used ? count - datRemovableChannels(image, bank) : count;
    form.highest = used ? count + datAddableChannels(image, bank) : count;
    if (!editNumber(run.Codec(), wanted, form) || wanted == count)
        return;
    const datEditResult result = datChangeChannelCount(image, bank, wanted);
    run.flags |= result.flags | cmcRepaint::SameLogic | cmcRepaint::All;
    run.capsule.output = Format("%d", datChannelCount(image, bank));
    run.capsule.selLength = static_cast<int>(run.capsule.output.size());
}

// CL_Mch_BankText: the bank's 12-character name; the tree takes it as the bank's caption.
void bankName(clRun& run)
{
    int bank = 0;
    if (!bankOf(run, bank))
        return;
    datCh rec(run.Image());
    rec.decode(datKindBank, bank);
    std::string name = rec.Text(datField::BankName);
    if (editText(run.Codec(), name, static_cast<int>(name.size()))) {
        rec.SetText(datField::BankName, name, ' ');
        rec.encode(datKindBank, bank);
        cmcEvents().Post(cmcEvCode::BankNameToCaption, 0, bank);
        run.flags |= cmcRepaint::SameLogic;
    }
}

// A bank flag on a two-item list: the tree shows it in the bank's image, the channel sheets
// in their title and in which cells apply.
void bankFlag(clRun& run, std::uint8_t flag, const char* list)
{
    int bank = 0;
    if (!bankOf(run, bank))
        return;
    datCh rec(run.Image());
    rec.decode(datKindBank, bank);
    int value = (rec.status & flag) != 0 ? 1 : 0;
    const int old = value;
    if (editChoice(run.Codec(), value, list) && value != old) {
        rec.status = static_cast<std::uint8_t>(value != 0 ? (rec.status | flag) : (rec.status & ~flag));
        rec.encode(datKindBank, bank);
        if (run.record.Kind() != 0)
            run.record.reload();
        cmcEvents().Post(cmcEvCode::RefreshBankImages);
        cmcEvents().Post(cmcEvCode::RefreshSheetTitle);
        run.flags |= cmcRepaint::All;
    }
    clMarkListError(run);
}
void smarTrunk(clRun& run)
{
    bankFlag(run, datStBank1, "GI_Sheet_Sel_Misc_OnOff2");
}
void trunkedBank(clRun& run)
{
    bankFlag(run, datStBank2, "GI_Sheet_Sel_Mch_BankType");
}

void showCount(clRun& run, int count)
{
    run.capsule.output = Format("%d", count);
    run.capsule.selLength = static_cast<int>(run.capsule.output.size());
}

// Channels of the bank, of all banks, and how many more can be added.
void channelsOfBank(clRun& run)
{
    int bank = 0;
    if (bankOf(run, bank))
        showCount(run, datChannelCount(run.Image(), bank));
}
void channelsInAll(clRun& run)
{
    showCount(run, datTotalChannels(run.Image()));
}
void channelsLeft(clRun& run)
{
    int bank = 0;
    if (bankOf(run, bank))
        showCount(run, bank < datBanks ? datAddableChannels(run.Image(), bank) : 0);
}
// CL_Mch_Rpt: the repeaters of the site of the argument (0 for a site this family lacks).
void repeatersOfSite(clRun& run)
{
    const int site = run.Arg();
    showCount(run, site >= 0 && site < datSites ? datRepeaterCount(run.Image(), site) : 0);
}

constexpr std::array Bindings{
    clBinding{L::CL_Mch_Bank, &channelCount},       clBinding{L::CL_Mch_BankText, &bankName},
    clBinding{L::CL_Bank_SmarTrunk, &smarTrunk},    clBinding{L::CL_Mch_SmarTrunk, &smarTrunk},
    clBinding{L::CL_Mch_LTR, &trunkedBank},         clBinding{L::CL_Mch_UsedCHs, &channelsOfBank},
    clBinding{L::CL_Bank_UsedQty, &channelsOfBank}, clBinding{L::CL_Bank_UsedTotal, &channelsInAll},
    clBinding{L::CL_Bank_UsedLeft, &channelsLeft},  clBinding{L::CL_Mch_Rpt, &repeatersOfSite},
};

} // namespace

std::span<const clBinding> clBankBindings()
{
    return Bindings;
}
